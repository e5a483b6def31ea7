"""Each card on the real ISO against peers on the test network: dnsmasq's lease configures it; an HTTP GET brings
http.server's file byte for byte, up to the 512000-byte response buffer (the browser test GETs by name); Moss Store,
with our store server at the kernel's default address, lists and downloads, lists an upload, and fails cleanly on a
server that is down (its dialogs, drawing, failed lists and transfers cut short are unit-tested)."""
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
        result, ticks = self.cmd.run(netns.NetCommands.GET, f"http://{netns.HOST_IP}:8080/exact.bin")
        head, body = self.cmd.body()
        self.assertEqual((result, len(head) + 4 + len(body)), (1, EXACT))
        self.assertEqual(body, self.exact[:EXACT - len(head) - 4])
        print(f"\n[{self.nic}] GET of a {EXACT}-byte response: {ticks} ticks in the guest")

    def u32(self, offset):
        return self.m.read_u32("vuzedezoz_idir", offset)

    def text(self, offset):
        return self.m.read_cstring("vuzedezoz_idir", 64, offset)

    def names(self):
        return [self.text(NAMES + 64 * i) for i in range(self.u32(COUNT))]

    def click_and_wait(self, dx, dy, started, *ends):
        """Clicks at (dx, dy) in the Store's content until `started` holds; the status the action ends with."""
        win = find_window(self.m, STORE)[1]
        self.m.click_until(win["x"] + 1 + dx, win["y"] + 30 + dy, started)
        return self.wait_status(*ends)

    def wait_status(self, *ends):
        return self.m.wait_until(lambda: self.text(STATUS) in ends and self.text(STATUS),
                                 timeout=120, interval=0.2, message=f"status {ends}")

    def download(self, index):
        """Its card's Download button: cards three to a row, 184 pixels apart."""
        card_w = (find_window(self.m, STORE)[1]["w"] - 52) // 3
        busy = lambda: self.text(STATUS) in ("Downloading...", "Downloaded", "Download failed")
        return self.click_and_wait(10 + index % 3 * (card_w + 10) + 10 + (card_w - 30) // 2, 194 + index // 3 * 184,
                                   busy, "Downloaded", "Download failed")

    def refresh_after_the_wait(self):
        """RE, once 15 s have passed since the last list."""
        last = self.u32(LAST_REFRESH)
        self.m.wait_until(lambda: self.m.read_u32("pit_ticks") - last > 1500, 60, 0.5, "15 s since the last list")
        return self.click_and_wait(26, 15, lambda: self.u32(LAST_REFRESH) != last, "Files: 4", "HTTP get failed")

    def test_store_lists_downloads_uploads_and_fails_cleanly(self):
        m = self.m
        self.assertEqual(self.wait_status("Files: 3", "HTTP get failed"), "Files: 3")
        self.assertEqual(self.names(), ["alpha.txt", "beta.png", "gamma.bin"])
        self.assertEqual(self.download(2), "Downloaded")
        self.assertEqual(node_content(m, find_node(m, "gamma.bin", "Downloads")), self.files["gamma.bin"])

        store = f"http://{netns.STORE_IP}:{netns.STORE_PORT}"
        self.assertEqual(self.cmd.run(netns.NetCommands.UPLOAD, store, "/Downloads/gamma.bin", "delta.bin")[0], 1)
        with open(os.path.join(self.store, "delta.bin"), "rb") as f:
            self.assertEqual(f.read(), self.files["gamma.bin"])
        self.assertEqual(self.refresh_after_the_wait(), "Files: 4")

        self.server.stop()  # nothing listens now
        self.assertEqual(self.download(0), "Download failed")
        self.assertIsNone(find_node(m, "alpha.txt", "Downloads"))


class NetOverRtl8139(NetOverE1000):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
