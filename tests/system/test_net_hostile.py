"""A hostile neighbour (hostile.py) sends crafted and random frames at the
guest for 60 s while it downloads a file again and again: the guest keeps
running, its pointer still moves in the frame, and every download is exact
or failed."""
import os
import random
import subprocess
import time
import unittest

from harness import Machine
import hostile
import netns
import relay
from test_net_http import http_body

SECONDS = 60
SIZE = 200000


@netns.require_network
class HostileNeighbourTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        w = cls.work.path
        web = os.path.join(w, "web")
        os.makedirs(web)
        cls.payload = random.Random(9).randbytes(SIZE)
        with open(os.path.join(web, "file.bin"), "wb") as f:
            f.write(cls.payload)
        cls.peers = [netns.start_dnsmasq(w), netns.start_http_server(w, web)]
        # A clean relay: the hostile frames go straight into QEMU's backend.
        cls.link = relay.LossyLink(w, netns.TAP, loss=0, duplicate=0, reorder=0)
        gdb = os.path.join(w, "gdb.sock")
        cls.m = Machine(nic="e1000", netdev=cls.link.netdev, extra_args=netns.gdb_args(gdb))
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP succeeded", timeout=180)
        cls.cmd = netns.NetCommands(cls.m, gdb)

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
        cls.link.stop()
        for p in cls.peers:
            p.stop()
        cls.work.remove()

    def neighbour(self):
        guest_ip = ".".join(str(b) for b in self.m.read_bytes("net_my_ip", 4))
        link = subprocess.run(["ip", "-o", "link", "show", netns.TAP], check=True, capture_output=True,
                              text=True).stdout
        tap_mac = bytes.fromhex(link.split("link/ether ")[1].split()[0].replace(":", ""))
        return hostile.HostileNeighbour(self.link.qemu_port, netns.TAP, self.m.read_bytes("nic_mac", 6),
                                        guest_ip, netns.HOST_IP, tap_mac)

    def test_downloads_are_exact_or_failed_and_the_desktop_lives_on(self):
        attacker = self.neighbour()
        attacker.start()
        results = []
        try:
            end = time.time() + SECONDS
            while time.time() < end:
                result, ticks, _ = self.cmd.run(netns.NetCommands.GET,
                                                f"http://{netns.HOST_IP}:8080/file.bin")
                if result == 1:
                    self.assertEqual(http_body(self.cmd.response())[1], self.payload)
                results.append((result, ticks))
        finally:
            sent = attacker.stop()
        print(f"\nhostile frames sent: {sent}\ndownloads (result, ticks): {results}")
        self.assertTrue(self.m.running())
        self.assertGreaterEqual(sum(r for r, _ in results), 1, "no download got through")

        frames, (x, y) = self.m.read_u32("frame_count"), self.m.pointer()
        self.m.mouse_move(40, 30)
        self.m.wait_until(lambda: self.m.pointer() != (x, y), message="the pointer to move")
        moved = self.m.pointer()
        self.m.wait_until(lambda: self.m.read_u32("frame_count") > frames + 3, message="new frames")
        self.assertNotEqual(moved, (x, y))
        # The arrow where the pointer now is: white inside, its outline black.
        screen = self.m.screendump()
        mx, my = moved
        self.assertEqual((screen.pixel(mx + 2, my + 5), screen.pixel(mx, my + 5)), (0xFFFFFF, 0x000000))
        self.assertNotIn("[CPU] exception", self.m.serial())


if __name__ == "__main__":
    unittest.main()
