"""Moss Store on the real ISO, for both cards, over the private test network
with our store server at the kernel's default address: the list as cards,
a download, an upload picked with the file picker's keys and its description
on the next list, a transfer cut short, a server that is down. Driven by QMP
clicks and keys; the Store's state is read back from guest memory."""
import os
import random
import socket
import threading
import unittest

from desktop import children, dock_tile_centre, find_window, font, read_nodes, text_pixels
from harness import Machine
from test_net_http import FileTree, store_server_binary
import netns

STORE, STORE_TILE, ROOT = 10, 6, 1
# Offsets in the first Store state and in the upload dialog (kernel/apps/store.h).
NAMES, DESCS, COUNT, STATUS, LAST_REFRESH = 128, 4224, 14688, 14700, 14768
ACTIVE, DESC, FILE_PATH, PICKER_OPEN, POPIN_SCALE, BROWSE = 0, 72, 328, 456, 860, 880


def serve_short_bodies():
    """A server at the store's address that promises 30000 bytes, sends 3000
    and closes. It shares the port-reuse options of the store server, whose
    last connections may still hold the port."""
    listener = socket.create_server((netns.STORE_IP, netns.STORE_PORT), reuse_port=True)

    def serve():
        while True:
            try:
                conn, _ = listener.accept()
            except OSError:
                return
            with conn:
                conn.recv(4096)
                conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 30000\r\n\r\n" + b"x" * 3000)

    threading.Thread(target=serve, daemon=True).start()
    return listener


class StoreOverCard:
    nic = None

    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        cls.store = os.path.join(cls.work.path, "store")
        os.makedirs(cls.store)
        rng = random.Random(19)
        cls.files = {"alpha.txt": b"A short note from the store.\n" * 10,
                     "beta.png": bytes(rng.getrandbits(8) for _ in range(900)),
                     "gamma.bin": bytes(rng.getrandbits(8) for _ in range(20000))}
        for name, data in cls.files.items():
            with open(os.path.join(cls.store, name), "wb") as f:
                f.write(data)
        cls.dns = netns.start_dnsmasq(cls.work.path)
        cls.server = netns.start_store_server(cls.work.path, store_server_binary(), cls.store,
                                              port=netns.STORE_PORT, address=netns.STORE_IP)
        cls.m = Machine(nic=cls.nic, netdev=netns.TAP_NETDEV)
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP succeeded", timeout=120)
        cls.m.wait_for_desktop()

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
        cls.server.stop()
        cls.dns.stop()
        cls.work.remove()

    def state(self, offset, size=None):
        if size is None:
            return self.m.read_u32("vuzedezoz_idir", offset)
        return self.m.read_cstring("vuzedezoz_idir", size, offset)

    def dialog(self, offset, size=None):
        if size is None:
            return self.m.read_u32("upload_dialog", offset)
        return self.m.read_cstring("upload_dialog", size, offset)

    def names(self):
        return [self.state(NAMES + 64 * i, 64) for i in range(self.state(COUNT))]

    def content(self):
        win = find_window(self.m, STORE)[1]
        return win["x"] + 1, win["y"] + 30, win["w"] - 2

    def card(self, index):
        x, y, w = self.content()
        card_w = (w - 50) // 3
        return x + 10 + index % 3 * (card_w + 10), y + 40 + index // 3 * 184, card_w

    def click(self, x, y, registered):
        """Clicks until the click registers (one during the window's opening
        animation is not delivered)."""
        self.m.move_pointer_to(x, y, tolerance=1)
        for attempt in range(10):
            self.m.click()
            try:
                return self.m.wait_until(registered, timeout=3)
            except TimeoutError:
                if attempt == 9:
                    raise

    def wait_status(self, *words):
        return self.m.wait_until(lambda: self.state(STATUS, 64) in words and self.state(STATUS, 64),
                                 timeout=120, interval=0.2, message=f"status {words}")

    def download(self, index):
        x, top, card_w = self.card(index)
        self.click(x + 10 + (card_w - 30) // 2, top + 154,
                   lambda: self.state(STATUS, 64) in ("Downloading...", "Downloaded", "Download failed"))
        return self.wait_status("Downloaded", "Download failed")

    def refresh_after_the_wait(self):
        self.m.wait_until(lambda: self.m.read_u32("pit_ticks") - self.state(LAST_REFRESH) > 1500,
                          timeout=60, interval=0.5, message="15 s since the last refresh")
        x, y, _w = self.content()
        before = self.state(LAST_REFRESH)
        self.click(x + 26, y + 15, lambda: self.state(LAST_REFRESH) != before)  # "RE"
        return self.wait_status("Files: 4", "HTTP get failed")

    def pick(self, folder, name):
        """j from no selection down to the entry, then Enter."""
        nodes = read_nodes(self.m)
        self.m.type_text("j" * ([nodes[i]["name"] for i in children(nodes, folder)].index(name) + 1) + "\n")

    def test_list_download_upload_cut_transfer_and_server_down(self):
        m = self.m
        m.move_pointer_to(*dock_tile_centre(m, STORE_TILE), tolerance=3)
        m.click()
        m.wait_until(lambda: find_window(m, STORE), timeout=20, message="a Store window")
        self.assertEqual(self.wait_status("Files: 3", "HTTP get failed"), "Files: 3")
        self.assertEqual(self.names(), ["alpha.txt", "beta.png", "gamma.bin"])
        frames = m.read_u32("frame_count")
        m.wait_until(lambda: m.read_u32("frame_count") > frames + 2, message="frames")
        shot, (x, top, _w) = m.screendump(), self.card(0)
        on, cells = text_pixels(font(m), x + 10, top + 96, "alpha.txt")
        self.assertEqual([c for c in cells if shot.pixel(*c) != (0x202020 if c in on else 0xFFFFFF)][:5], [])

        self.assertEqual(self.download(2), "Downloaded")
        tree = FileTree(m)
        self.assertEqual(tree.content(tree.find("Downloads", "gamma.bin")), self.files["gamma.bin"])

        # UP, Browse, /Downloads/gamma.bin by the keys, a name and a description, Upload.
        cx, cy, cw = self.content()
        self.click(cx + cw - 26, cy + 15, lambda: self.dialog(ACTIVE) == 1)
        m.wait_until(lambda: self.dialog(POPIN_SCALE) == 100, message="the dialog at full size")
        bx, by, bw, bh = (m.read_i32("upload_dialog", BROWSE + 4 * k) for k in range(4))
        self.click(bx + bw // 2, by + bh // 2, lambda: self.dialog(PICKER_OPEN) == 1)
        nodes = read_nodes(m)
        self.pick(ROOT, "Downloads")
        self.pick(next(i for i in children(nodes, ROOT) if nodes[i]["name"] == "Downloads"), "gamma.bin")
        m.wait_until(lambda: self.dialog(FILE_PATH, 128) == "/Downloads/gamma.bin", message="the picked file")
        m.type_text("delta.bin\nSent from the guest")
        m.wait_until(lambda: self.dialog(DESC, 256) == "Sent from the guest", message="the description")
        fx, fy = (m.read_u32("fb_width") - 460) // 2, (m.read_u32("fb_height") - 280) // 2
        self.click(fx + 400, fy + 253, lambda: "[UPLOAD] host=" in m.serial())  # the upload started
        m.wait_until(lambda: self.dialog(ACTIVE) == 0, timeout=60, message="the upload")
        with open(os.path.join(self.store, "delta.bin"), "rb") as f:
            self.assertEqual(f.read(), self.files["gamma.bin"])
        # Its own refresh came within 15 s of the last list and waited.
        self.wait_status("Please wait 15s between refreshes")
        self.assertEqual(self.refresh_after_the_wait(), "Files: 4")
        self.assertEqual(self.state(DESCS + 160 * self.names().index("delta.bin"), 160), "Sent from the guest")

        self.server.stop()
        short = serve_short_bodies()
        try:
            self.assertEqual(self.download(0), "Download failed")
        finally:
            short.close()
        self.assertIsNone(FileTree(m).find("Downloads", "alpha.txt"))

        self.assertEqual(self.refresh_after_the_wait(), "HTTP get failed")  # nothing listens now
        self.assertEqual(self.names(), ["alpha.txt", "beta.png", "delta.bin", "gamma.bin"])


@netns.require_network
class StoreOverE1000(StoreOverCard, unittest.TestCase):
    nic = "e1000"


@netns.require_network
class StoreOverRtl8139(StoreOverCard, unittest.TestCase):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
