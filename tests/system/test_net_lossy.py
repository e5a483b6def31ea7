"""Transfers on a bad network (relay.py between QEMU and the tap). Over a lossy link a 300 KB download and upload
are exact or fail cleanly, and a trickling server fails within the deadline. Over a clean link, for 60 s of hostile
frames (hostile.py), every download is exact or failed and the guest keeps running: its pointer moves, frames come."""
import contextlib
import os
import random
import socket
import threading
import time
import unittest

from desktop import find_node, node_content
from harness import motion
import hostile
import netns
import relay

SIZE = 300000
DEADLINE_TICKS = 3000
HOSTILE_SECONDS = 60


def serve_trickling(listener):
    """Answers each request with a status line, then one byte a second for as long as the client listens."""
    while True:
        conn, _ = listener.accept()
        with conn, contextlib.suppress(OSError):  # the client gave up
            conn.recv(4096)
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n")
            while True:
                conn.sendall(b"x")
                time.sleep(1)


class BadNetwork(netns.LanTestCase):
    @classmethod
    def start_peers(cls):
        cls.payload = random.Random(7).randbytes(SIZE)
        cls.store = netns.write_files(f"{cls.work}/store", {"big.bin": cls.payload})
        cls.link = cls.peer(relay.LossyLink(cls.work))
        cls.netdev = cls.link.netdev
        for peer in (netns.start_dnsmasq(cls.work), netns.start_store_server(cls.work, cls.store),
                     netns.start_http_server(cls.work, cls.store)):
            cls.peer(peer)
        listener = socket.create_server((netns.HOST_IP, 8090))  # closed with the process
        threading.Thread(target=serve_trickling, args=(listener,), daemon=True).start()

    def run_command(self, what, *args):
        result, ticks = self.net_command(*args)
        print(f"\n[{self.nic}] {what}: result {result}, {ticks} ticks")
        self.assertLessEqual(ticks, DEADLINE_TICKS + 100, what)
        return result

    def test_lossy_download_and_upload_are_exact_or_fail_cleanly(self):
        result = self.run_command("lossy download", netns.DOWNLOAD, "big.bin")
        stored = find_node(self.m, "big.bin", "Downloads")
        if result == 1:
            self.assertEqual(node_content(self.m, stored), self.payload)
        else:
            self.assertIsNone(stored)
            self.link.set_impaired(False)  # the file the upload sends, over a clean link
            self.assertEqual(self.net_command(netns.DOWNLOAD, "big.bin")[0], 1)
            self.link.set_impaired(True)

        result = self.run_command("lossy upload", netns.UPLOAD, netns.STORE_URL, "/Downloads/big.bin", "lossy.bin")
        path = os.path.join(self.store, "lossy.bin")
        if result == 1 or os.path.exists(path):
            with open(path, "rb") as f:
                self.assertEqual(f.read(), self.payload)

    def test_lossy_trickling_server_fails_within_the_deadline(self):
        url = f"http://{netns.HOST_IP}:8090/slow"
        self.assertEqual(self.run_command("lossy trickling GET", netns.GET, url), 0)

    def test_hostile_neighbour_leaves_downloads_exact_or_failed_and_the_desktop_alive(self):
        m, results = self.m, []
        self.link.set_impaired(False)  # the hostile frames go straight into QEMU's backend
        attacker = hostile.HostileNeighbour(relay.QEMU_PORT, netns.TAP, m.read_bytes("nic_mac", 6),
                                            m.read_bytes("net_my_ip", 4), netns.HOST_IP)
        try:
            end = time.time() + HOSTILE_SECONDS
            while time.time() < end:
                result, ticks = self.net_command(netns.GET, f"http://{netns.HOST_IP}:8080/big.bin")
                if result == 1:
                    self.assertEqual(self.response()[1], self.payload)
                results.append((result, ticks))
        finally:
            sent = attacker.stop()
            self.link.set_impaired(True)
        print(f"\nhostile frames sent: {sent}\ndownloads (result, ticks): {results}")
        self.assertGreaterEqual(sum(r for r, _ in results), 1, "no download got through")

        start = m.pointer()
        m.qmp("input-send-event", events=motion(40, 30))
        m.wait_until(lambda: m.pointer() != start, message="the pointer to move")
        m.wait_frames(4)
        self.assertNotIn("[CPU] exception", m.serial())


if __name__ == "__main__":
    unittest.main()
