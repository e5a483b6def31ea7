"""The Terminal on the real ISO: opened from the dock by a click, driven by
typed keys, its buffer read back from the window table and its prompt from
the screen; ifconfig checked against the lease dnsmasq hands out on a
private network (see netns.py)."""
import re
import struct
import time
import unittest

from harness import Machine
import netns

WINDOW_SIZE = 2324
MAX_WINDOWS = 8
TERM_LINES_AT, TERM_LINE_CAP, TERM_LINES = 96, 49, 14
TERMINAL = 3
CONTENT_DX, CONTENT_DY = 1, 30   # content area inside the window frame
BACKGROUND, PROMPT = 0x151516, 0xFFFFFF

# The dock at 1024 x 768 with the seven built-in pinned tiles: 70-pixel
# slots from (1024 - 591) / 2, the Terminal fourth, icons centred 38 pixels
# above the bottom edge.
TERMINAL_TILE = (216 + 3 * 70 + 40, 768 - 38)


def steer_pointer(m, target, tolerance=3):
    """Moves the pointer to within `tolerance` of target with small relative
    steps, reading where it went after each (the motion is accelerated)."""
    for _ in range(400):
        x, y = m.read_i32("mouse_x"), m.read_i32("mouse_y")
        ex, ey = target[0] - x, target[1] - y
        if abs(ex) <= tolerance and abs(ey) <= tolerance:
            return
        step = lambda e: 0 if abs(e) <= tolerance else max(-8, min(8, e // 3 if abs(e) >= 3 else e))
        m.mouse_move(step(ex), step(ey))
        m.wait_until(lambda: (m.read_i32("mouse_x"), m.read_i32("mouse_y")) != (x, y), timeout=2,
                     message="pointer motion")
    raise AssertionError(f"pointer did not reach {target}")


def windows(m):
    raw = m.read_bytes("windows", WINDOW_SIZE * MAX_WINDOWS)
    out = []
    for i in range(MAX_WINDOWS):
        w = raw[i * WINDOW_SIZE:(i + 1) * WINDOW_SIZE]
        in_use, app = struct.unpack_from("<II", w, 0)
        x, y, width, height = struct.unpack_from("<iiii", w, 40)
        count, = struct.unpack_from("<I", w, 784)
        cwd, = struct.unpack_from("<i", w, 840)
        lines = [w[TERM_LINES_AT + k * TERM_LINE_CAP:TERM_LINES_AT + (k + 1) * TERM_LINE_CAP]
                 .split(b"\0", 1)[0].decode("latin-1") for k in range(TERM_LINES)]
        out.append(dict(in_use=in_use, app=app, x=x, y=y, w=width, h=height, count=count,
                        cwd=cwd, lines=lines[:min(count, TERM_LINES)],
                        title=w[8:40].split(b"\0", 1)[0].decode("latin-1")))
    return out


def terminal_slot(m):
    for i, w in enumerate(windows(m)):
        if w["in_use"] and w["app"] == TERMINAL:
            return i
    return None


def open_terminal(m):
    """Clicks the dock's Terminal tile; the slot of the window it opens."""
    steer_pointer(m, TERMINAL_TILE)
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


def font(m):
    raw = m.read_bytes("font8x8", 128 * 8)
    return [raw[i * 8:(i + 1) * 8] for i in range(128)]


def text_pixels(glyphs, x, y, text):
    """The pixels the 8x8 font sets for text at (x, y), and the cells it covers."""
    on, cells = set(), set()
    for i, ch in enumerate(text):
        for r in range(8):
            for b in range(8):
                cells.add((x + 8 * i + b, y + r))
                if glyphs[ord(ch)][r] >> b & 1:
                    on.add((x + 8 * i + b, y + r))
    return on, cells


class TerminalSession(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.m = Machine()
        cls.m.start()
        cls.m.wait_for_desktop()
        cls.slot = open_terminal(cls.m)
        cls.s = Session(cls.m, cls.slot)

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()

    def node_index(self, parent, name):
        raw = self.m.read_bytes("fs_nodes", 572 * 128)
        for i in range(128):
            in_use, kind = struct.unpack_from("<II", raw, i * 572)
            node_name = raw[i * 572 + 8:i * 572 + 36].split(b"\0", 1)[0].decode("latin-1")
            node_parent, = struct.unpack_from("<i", raw, i * 572 + 36)
            if in_use and node_name == name and node_parent == parent:
                return i, kind
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
