"""Each card on the real ISO against test network peers: dnsmasq's lease configures it; a GET brings http.server's
file byte for byte, up to the 512000-byte response buffer; Moss Store, with our store server at the kernel's default
address, lists, downloads, lists an upload, and fails cleanly on a server that is down."""
import os
import random
import socket
import unittest

from desktop import STORE, find_node, find_window, node_content
import netns

EXACT = 512000
# Offsets in the first Store state (kernel/apps/store.h).
NAMES, COUNT, STATUS, LAST_REFRESH = 128, 14688, 14700, 14768


class NetOverE1000(netns.LanTestCase):
    app = STORE

    @classmethod
    def start_peers(cls):
        rng = random.Random(19)
        cls.exact = rng.randbytes(EXACT)
        cls.files = {"alpha.txt": b"A short note from the store.\n" * 10, "beta.png": rng.randbytes(900),
                     "gamma.bin": rng.randbytes(20000)}
        cls.store = netns.write_files(f"{cls.work}/store", cls.files)
        cls.peer(netns.start_dnsmasq(cls.work))
        cls.peer(netns.start_http_server(cls.work, netns.write_files(f"{cls.work}/web", {"exact.bin": cls.exact})))
        cls.server = cls.peer(netns.start_store_server(cls.work, cls.store))

    def test_dhcp_lease_configures_the_card(self):
        m = self.m
        ip = socket.inet_ntoa(m.read_bytes("net_my_ip", 4))
        with open(f"{self.work}/dnsmasq.log") as log:
            self.assertIn(f"DHCPACK(tap0) {ip}", log.read())
        fields = ("net_netmask", 0), ("net_gateway_ip", 0), ("net_dns_servers", 0), ("net_dns_servers", 4)
        addresses = [socket.inet_ntoa(m.read_bytes(name, 4, at)) for name, at in fields]
        self.assertEqual((addresses, m.read_i32("net_dns_count")),
                         ([netns.NETMASK, netns.HOST_IP, netns.HOST_IP, netns.SECOND_DNS_IP], 2))

    def test_get_up_to_a_full_buffer(self):
        result, ticks = self.net_command(netns.GET, f"http://{netns.HOST_IP}:8080/exact.bin")
        head, body = self.response()
        self.assertEqual((result, len(head) + 4 + len(body)), (1, EXACT))
        self.assertEqual(body, self.exact[:EXACT - len(head) - 4])
        print(f"\n[{self.nic}] GET of a {EXACT}-byte response: {ticks} ticks in the guest")

    def u32(self, offset):
        return self.m.read_u32("vuzedezoz_idir", offset)

    def text(self, offset):
        return self.m.read_cstring("vuzedezoz_idir", 64, offset)

    def click_and_wait(self, dx, dy, started, *ends):
        """Clicks at (dx, dy) in the Store's content until `started` holds; the status the action ends with."""
        win = find_window(self.m, STORE)[1]
        self.m.click_until(win["x"] + 1 + dx, win["y"] + 30 + dy, started)
        return self.wait_status(*ends)

    def wait_status(self, *ends):
        return self.m.wait_until(lambda: self.text(STATUS) in ends and self.text(STATUS), 120, 0.2, f"status {ends}")

    def download(self, index):
        """Its card's Download button: cards three to a row, 184 pixels apart."""
        card_w = (find_window(self.m, STORE)[1]["w"] - 52) // 3
        busy = lambda: self.text(STATUS) in ("Downloading...", "Downloaded", "Download failed")
        return self.click_and_wait(10 + index % 3 * (card_w + 10) + 10 + (card_w - 30) // 2, 194 + index // 3 * 184,
                                   busy, "Downloaded", "Download failed")

    def test_store_lists_downloads_uploads_and_fails_cleanly(self):
        m = self.m
        self.assertEqual(self.wait_status("Files: 3", "HTTP get failed"), "Files: 3")
        self.assertEqual([self.text(NAMES + 64 * i) for i in range(self.u32(COUNT))], list(self.files))
        self.assertEqual(self.download(2), "Downloaded")
        self.assertEqual(node_content(m, find_node(m, "gamma.bin", "Downloads")), self.files["gamma.bin"])

        self.assertEqual(self.net_command(netns.UPLOAD, netns.STORE_URL, "/Downloads/gamma.bin", "delta.bin")[0], 1)
        with open(os.path.join(self.store, "delta.bin"), "rb") as f:
            self.assertEqual(f.read(), self.files["gamma.bin"])
        last = self.u32(LAST_REFRESH)  # RE lists again once 15 s have passed since the last list
        m.wait_until(lambda: m.read_u32("pit_ticks") - last > 1500, 60, 0.5, "15 s since the last list")
        refreshed = lambda: self.u32(LAST_REFRESH) != last
        self.assertEqual(self.click_and_wait(26, 15, refreshed, "Files: 4", "HTTP get failed"), "Files: 4")

        self.server.stop()  # nothing listens now
        self.assertEqual(self.download(0), "Download failed")
        self.assertIsNone(find_node(m, "alpha.txt", "Downloads"))


class NetOverRtl8139(NetOverE1000):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
