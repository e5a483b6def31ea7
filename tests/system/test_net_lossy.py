"""Transfers over a lossy link, for both cards: relay.py stands between QEMU
and the private network's tap and drops 5 % of the frames each way, sends
some twice and reorders some. A 300 KB download and a 300 KB upload either
arrive byte for byte or fail cleanly, never cut short and called done; a
server that trickles its answer fails within the transfer deadline."""
import os
import random
import socket
import threading
import time
import unittest

from harness import Machine
import netns
import relay
from test_net_http import FileTree, store_server_binary

SIZE = 300000
TRICKLE_PORT = 8090
DEADLINE_TICKS = 3000


class TricklingServer:
    """Answers every connection with a status line, then one byte a second
    for as long as the client listens."""

    def __init__(self, address=netns.HOST_IP, port=TRICKLE_PORT):
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind((address, port))
        self.sock.listen(4)
        self.sock.settimeout(0.5)
        self.running = True
        self.connections = []
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while self.running:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                continue
            self.connections.append(conn)
            threading.Thread(target=self._trickle, args=(conn,), daemon=True).start()

    def _trickle(self, conn):
        try:
            conn.recv(2048)
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n")
            while self.running:
                conn.sendall(b"x")
                time.sleep(1)
        except OSError:
            pass
        finally:
            conn.close()

    def stop(self):
        self.running = False
        self.thread.join(timeout=5)
        self.sock.close()
        for conn in self.connections:
            try:
                conn.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class LossyOverCard:
    nic = None

    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        w = cls.work.path
        cls.store = os.path.join(w, "store")
        os.makedirs(cls.store)
        cls.payload = random.Random(7).randbytes(SIZE)
        with open(os.path.join(cls.store, "big.bin"), "wb") as f:
            f.write(cls.payload)
        cls.peers = [
            netns.start_dnsmasq(w),
            netns.start_store_server(w, store_server_binary(), cls.store,
                                     port=netns.STORE_PORT, address=netns.STORE_IP),
        ]
        cls.trickle = TricklingServer()
        cls.link = relay.LossyLink(w, netns.TAP)
        gdb = os.path.join(w, "gdb.sock")
        cls.m = Machine(nic=cls.nic, netdev=cls.link.netdev, extra_args=netns.gdb_args(gdb))
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP", timeout=180)
        cls.cmd = netns.NetCommands(cls.m, gdb)

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
        print(f"\n[{cls.nic}] relay counts: {cls.link.stop()}")
        cls.trickle.stop()
        for p in cls.peers:
            p.stop()
        cls.work.remove()

    def report(self, what, result, ticks):
        rate = SIZE / (ticks / 100) / 1024 if result == 1 and ticks else 0
        print(f"\n[{self.nic}] lossy {what} of {SIZE} bytes: result {result}, {ticks} ticks"
              + (f", {rate:.0f} KiB/s" if rate else ""))

    def test_download_and_upload_are_exact_or_fail_cleanly(self):
        result, ticks, _ = self.cmd.run(netns.NetCommands.DOWNLOAD, "big.bin")
        self.report("download", result, ticks)
        stored = FileTree(self.m).find("Downloads", "big.bin")
        if result == 1:
            self.assertEqual(FileTree(self.m).content(stored), self.payload)
        else:
            self.assertIsNone(stored)
            self.assertIn("[HTTP] response incomplete", self.m.serial())
            self.link.set_impaired(False)  # the file the upload sends, over a clean link
            try:
                self.assertEqual(self.cmd.run(netns.NetCommands.DOWNLOAD, "big.bin")[0], 1)
            finally:
                self.link.set_impaired(True)
        self.assertLessEqual(ticks, DEADLINE_TICKS + 100)

        remote = f"lossy-{self.nic}.bin"
        result, ticks, _ = self.cmd.run(netns.NetCommands.UPLOAD, "http://10.0.2.2:8088",
                                        "/Downloads/big.bin", remote)
        self.report("upload", result, ticks)
        path = os.path.join(self.store, remote)
        if result == 1 or os.path.exists(path):
            with open(path, "rb") as f:
                self.assertEqual(f.read(), self.payload)
        self.assertLessEqual(ticks, DEADLINE_TICKS + 100)

    def test_trickling_server_fails_within_the_deadline(self):
        result, ticks, _ = self.cmd.run(netns.NetCommands.GET,
                                        f"http://{netns.HOST_IP}:{TRICKLE_PORT}/slow")
        print(f"\n[{self.nic}] trickling server: result {result} after {ticks} ticks")
        self.assertEqual(result, 0)
        self.assertLessEqual(ticks, DEADLINE_TICKS + 100)
        self.assertIn("[HTTP] response incomplete", self.m.serial())


@netns.require_network
class LossyOverE1000(LossyOverCard, unittest.TestCase):
    nic = "e1000"


@netns.require_network
class LossyOverRtl8139(LossyOverCard, unittest.TestCase):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
