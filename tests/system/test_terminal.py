"""The Terminal on the real ISO: opened from the dock by a click, driven by
typed keys, its buffer read back from the window table and its prompt from
the screen; ifconfig checked against the lease dnsmasq hands out on a
private network (see netns.py)."""
import re
import time
import unittest

from desktop import dock_tile_centre, find_window, font, read_nodes, read_windows, text_pixels
from harness import DesktopTestCase, Machine
import netns

TERMINAL = 3
TERMINAL_TILE = 3   # the fourth of the seven built-in dock tiles
CONTENT_DX, CONTENT_DY = 1, 30   # content area inside the window frame
BACKGROUND, PROMPT = 0x151516, 0xFFFFFF


def windows(m):
    return read_windows(m)


def terminal_slot(m):
    found = find_window(m, TERMINAL)
    return found[0] if found else None


def open_terminal(m):
    """Clicks the dock's Terminal tile; the slot of the window it opens."""
    m.move_pointer_to(*dock_tile_centre(m, TERMINAL_TILE), tolerance=3)
    m.click()
    m.wait_until(lambda: terminal_slot(m) is not None, timeout=20, message="a Terminal window")
    return terminal_slot(m)


class Session:
    """Types command lines into the Terminal in window slot `slot`."""

    def __init__(self, m, slot):
        self.m, self.slot = m, slot

    def window(self):
        return windows(self.m)[self.slot]

    def command(self, line, expect_tail):
        """Types the line and Enter; waits until the buffer ends with the
        expected lines (the echo, the output, the finishing empty line)."""
        self.m.type_text(line + "\n")
        tail = [f"> {line}"] + list(expect_tail) + [""]
        try:
            return self.m.wait_until(lambda: self.window()["lines"][-len(tail):] == tail and self.window(),
                                     timeout=20, message=f"output of {line!r}")
        except TimeoutError:
            raise AssertionError(f"after {line!r} the buffer is {self.window()['lines']}, expected it to "
                                 f"end with {tail}") from None


class TerminalSession(DesktopTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.slot = open_terminal(cls.m)
        cls.s = Session(cls.m, cls.slot)

    def node_index(self, parent, name):
        for i, node in enumerate(read_nodes(self.m)):
            if node["in_use"] and node["name"] == name and node["parent"] == parent:
                return i, node["kind"]
        return None, None

    def test_session(self):
        m, s = self.m, self.s
        w = s.window()
        self.assertEqual(w["title"], "Terminal")
        self.assertEqual(w["lines"], ["TavlinOS Terminal - Beta", "Type 'help' for commands.", ""])
        root = m.read_i32("fs_root")
        self.assertEqual(w["cwd"], root)

        s.command("help", ["help about clock date echo clear", "ls cd pwd cat mkdir touch rm",
                           "minimize close ifconfig wget itest scom run"])
        s.command("mkdir docs", [])
        docs, kind = self.node_index(root, "docs")
        self.assertIsNotNone(docs, "docs was not made under the root")
        self.assertEqual(kind, 0)
        w = s.command("cd docs", [])
        self.assertEqual(w["cwd"], docs)
        s.command("pwd", ["/docs"])
        s.command("ls", ["(empty)"])

        before = m.read_u32("pit_ticks")
        m.type_text("date\n")
        w = m.wait_until(lambda: s.window()["lines"][-3:-2] == ["> date"] and s.window(), timeout=20,
                         message="output of date")
        after = m.read_u32("pit_ticks")
        match = re.fullmatch(r"Uptime: (\d+)h (\d+)m (\d+)s", w["lines"][-2])
        self.assertIsNotNone(match, w["lines"][-2])
        h, mi, sec = map(int, match.groups())
        self.assertTrue(mi < 60 and sec < 60)
        self.assertLessEqual(before // 100, h * 3600 + mi * 60 + sec)
        self.assertLessEqual(h * 3600 + mi * 60 + sec, after // 100)

        # No card in this machine: the interface is unconfigured.
        w = s.command("ifconfig", ["IP: 0.0.0.0", "Mask: 0.0.0.0", "Gateway: 0.0.0.0", "DNS: ",
                                   "MAC: 00:00:00:00:00:00"])
        self.assertEqual(w["count"], 14)

        # The buffer is full; the prompt shows on the row below its last line.
        frames = m.read_u32("frame_count")
        m.wait_until(lambda: m.read_u32("frame_count") >= frames + 3, timeout=20, message="frames")
        screen = m.screendump()
        cx, cy = w["x"] + CONTENT_DX, w["y"] + CONTENT_DY
        on, cells = text_pixels(font(m), cx + 8, cy + 8 + 14 * 14, "> _")
        wrong = [(x, y, hex(screen.pixel(x, y))) for (x, y) in sorted(cells)
                 if screen.pixel(x, y) != (PROMPT if (x, y) in on else BACKGROUND)]
        self.assertEqual(wrong, [], "prompt pixels")
        self.assertTrue(on)


@netns.require_network
class TerminalIfconfig(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        pass

    def test_ifconfig_shows_the_lease_from_dnsmasq(self):
        work = netns.Workdir()
        dns = netns.start_dnsmasq(work.path, dns_servers=(netns.HOST_IP, netns.SECOND_DNS_IP))
        try:
            with Machine(nic="e1000", netdev=netns.TAP_NETDEV) as m:
                m.wait_for_serial("[NET] Gateway ARP", timeout=120)
                m.wait_for_desktop()
                s = Session(m, open_terminal(m))
                lease = m.wait_until(lambda: re.search(r"DHCPACK\(tap0\) (\S+) (\S+)", dns.log()), timeout=10,
                                     message="the lease in dnsmasq's log")
                ip, mac = lease.group(1), lease.group(2).upper()
                s.command("ifconfig", [f"IP: {ip}", f"Mask: {netns.NETMASK}", f"Gateway: {netns.HOST_IP}",
                                       f"DNS: {netns.HOST_IP}, {netns.SECOND_DNS_IP}", f"MAC: {mac}"])
        finally:
            dns.stop()
            work.remove()


if __name__ == "__main__":
    unittest.main()
