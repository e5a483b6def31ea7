"""Moss Store on the real ISO over the private test network, with either card and
our store server at the kernel's default address: the list as cards, a download, an
upload picked with the file picker's keys and its description on the next
list, a transfer cut short, a server that is down. Driven by QMP clicks and
keys; the Store's state is read back from guest memory."""
import os
import random
import unittest

from desktop import STORE, children, find_node, find_window, node_content, read_nodes
import netns

ROOT = 1
# Offsets in the first Store state and in the upload dialog (kernel/apps/store.h).
NAMES, DESCS, COUNT, STATUS, LAST_REFRESH = 128, 4224, 14688, 14700, 14768
ACTIVE, DESC, FILE_PATH, PICKER_OPEN, POPIN_SCALE, BROWSE = 0, 72, 328, 456, 860, 880


def short_body(conn):
    """An answer that promises 30000 bytes, sends 3000 and closes."""
    conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 30000\r\n\r\n" + b"x" * 3000)


class Store(netns.LanTestCase):
    app = STORE

    @classmethod
    def start_peers(cls):
        rng = random.Random(19)
        cls.files = {"alpha.txt": b"A short note from the store.\n" * 10, "beta.png": rng.randbytes(900),
                     "gamma.bin": rng.randbytes(20000)}
        cls.store = netns.write_files(f"{cls.work}/store", cls.files)
        cls.peer(netns.start_dnsmasq(cls.work))
        cls.server = cls.peer(netns.start_store_server(cls.work, cls.store))

    def state(self, offset, size=None, table="vuzedezoz_idir"):
        return self.m.read_cstring(table, size, offset) if size else self.m.read_u32(table, offset)

    def dialog(self, offset, size=None):
        return self.state(offset, size, "upload_dialog")

    def names(self):
        return [self.state(NAMES + 64 * i, 64) for i in range(self.state(COUNT))]

    def content(self):
        win = find_window(self.m, STORE)[1]
        return win["x"] + 1, win["y"] + 30, win["w"] - 2

    def wait_status(self, *words):
        return self.m.wait_until(lambda: self.state(STATUS, 64) in words and self.state(STATUS, 64),
                                 timeout=120, interval=0.2, message=f"status {words}")

    def download(self, index):
        """Its card's Download button: cards three to a row, 184 pixels apart."""
        x, y, w = self.content()
        card_w = (w - 50) // 3
        self.m.click_until(x + 10 + index % 3 * (card_w + 10) + 10 + (card_w - 30) // 2, y + 194 + index // 3 * 184,
                           lambda: self.state(STATUS, 64) in ("Downloading...", "Downloaded", "Download failed"))
        return self.wait_status("Downloaded", "Download failed")

    def refresh_after_the_wait(self):
        self.m.wait_until(lambda: self.m.read_u32("pit_ticks") - self.state(LAST_REFRESH) > 1500,
                          timeout=60, interval=0.5, message="15 s since the last refresh")
        x, y, _w = self.content()
        before = self.state(LAST_REFRESH)
        self.m.click_until(x + 26, y + 15, lambda: self.state(LAST_REFRESH) != before)  # "RE"
        return self.wait_status("Files: 4", "HTTP get failed")

    def upload(self, path, name, description):
        """UP, Browse, the file picked by the keys, a name and a description, Upload."""
        m, (cx, cy, cw) = self.m, self.content()
        m.click_until(cx + cw - 26, cy + 15, lambda: self.dialog(ACTIVE) == 1)
        m.wait_until(lambda: self.dialog(POPIN_SCALE) == 100, message="the dialog at full size")
        bx, by, bw, bh = (m.read_i32("upload_dialog", BROWSE + 4 * k) for k in range(4))
        m.click_until(bx + bw // 2, by + bh // 2, lambda: self.dialog(PICKER_OPEN) == 1)
        folder = ROOT
        for part in path.split("/")[1:]:  # j from no selection down to the entry, then Enter
            nodes = read_nodes(m)
            m.type_text("j" * ([nodes[i]["name"] for i in children(nodes, folder)].index(part) + 1) + "\n")
            folder = find_node(m, part)
        m.wait_until(lambda: self.dialog(FILE_PATH, 128) == path, message="the picked file")
        m.type_text(f"{name}\n{description}")
        m.wait_until(lambda: self.dialog(DESC, 256) == description, message="the description")
        fx, fy = (m.read_u32("fb_width") - 460) // 2, (m.read_u32("fb_height") - 280) // 2
        m.click_until(fx + 400, fy + 253, lambda: "[UPLOAD] host=" in m.serial())  # the upload started
        m.wait_until(lambda: self.dialog(ACTIVE) == 0, timeout=60, message="the upload")

    def test_list_download_upload_cut_transfer_and_server_down(self):
        m = self.m
        self.assertEqual(self.wait_status("Files: 3", "HTTP get failed"), "Files: 3")
        self.assertEqual(self.names(), ["alpha.txt", "beta.png", "gamma.bin"])

        self.assertEqual(self.download(2), "Downloaded")
        self.assertEqual(node_content(m, find_node(m, "gamma.bin", "Downloads")), self.files["gamma.bin"])

        self.upload("/Downloads/gamma.bin", "delta.bin", "Sent from the guest")
        with open(os.path.join(self.store, "delta.bin"), "rb") as f:
            self.assertEqual(f.read(), self.files["gamma.bin"])
        # Its own refresh came within 15 s of the last list and waited.
        self.wait_status("Please wait 15s between refreshes")
        self.assertEqual(self.refresh_after_the_wait(), "Files: 4")
        self.assertEqual(self.state(DESCS + 160 * self.names().index("delta.bin"), 160), "Sent from the guest")

        self.server.stop()
        short = netns.raw_server(netns.STORE_IP, netns.STORE_PORT, short_body)
        try:
            self.assertEqual(self.download(0), "Download failed")
        finally:
            short.stop()
        self.assertIsNone(find_node(m, "alpha.txt", "Downloads"))

        self.assertEqual(self.refresh_after_the_wait(), "HTTP get failed")  # nothing listens now
        self.assertEqual(self.names(), ["alpha.txt", "beta.png", "delta.bin", "gamma.bin"])


class StoreOverRtl8139(Store):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
