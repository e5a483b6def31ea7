"""Programs on the real ISO, typed into a Terminal: scom writes the
demonstration program and run reports how it stopped; the bounce sample
(put into a file through QEMU's GDB stub) opens its window and moves a ball
across it on screen until Ctrl+C stops it."""
import os
import struct
import tempfile
import unittest

from desktop import NODE_SIZE, TERMINAL, command, find_node, find_window, open_from_dock, read_windows
from harness import ROOT, DesktopTestCase
import netns

PROGRAM = 99
BALL = 0xFFB000
TEXT_AT, SIZE_AT = 48, 560   # inline text and size inside a file node


def ball_pixels(screen, win):
    """The ball's pixels inside the window's content area."""
    return [(x, y) for y in range(win["y"] + 30, win["y"] + win["h"])
            for x in range(win["x"] + 1, win["x"] + win["w"] - 1) if screen.pixel(x, y) == BALL]


class Programs(DesktopTestCase):
    gdb = os.path.join(tempfile.mkdtemp(prefix="tavlin-gdb-"), "gdb.sock")
    machine_args = netns.gdb_args(gdb)

    def write_file(self, name, data):
        """Fills the file `name` (made with touch) with data."""
        base = self.m.symbol("fs_nodes") + find_node(self.m, name) * NODE_SIZE
        netns.gdb_write(self.gdb, (base + TEXT_AT, data + b"\0"), (base + SIZE_AT, struct.pack("<I", len(data))))

    def test_programs(self):
        m = self.m
        slot = open_from_dock(m, TERMINAL)[0]
        command(m, slot, "touch src", [])
        command(m, slot, "scom src", ["Compiling...", "Compiled: ", "src", " -> ", "a.hit", "Run with: ./", "a.hit"])
        command(m, slot, "run a.hit", ["Running: ", "a.hit", "Stopped: bad address (-5)"])

        command(m, slot, "touch bounce.hit", [])
        with open(os.path.join(ROOT, "assets", "store_seed", "bounce.hit"), "rb") as f:
            self.write_file("bounce.hit", f.read())
        m.type_text("run bounce.hit\n")
        _, win = m.wait_until(lambda: find_window(m, PROGRAM), message="the program's window")
        self.assertEqual(win["title"], "Bounce")

        # The ball is on screen, inside the window, and it moves (its shape
        # and steps are unit-tested).
        first = m.wait_until(lambda: ball_pixels(m.screendump(), win), timeout=30, message="the ball")
        m.wait_until(lambda: (lambda b: b and b != first)(ball_pixels(m.screendump(), win)),
                     timeout=30, message="the ball moving")

        m.key_combo(["ctrl", "c"])
        tail = ["> run bounce.hit", "Running: ", "bounce.hit", "Stopped: interrupted (-7)", ""]
        m.wait_until(lambda: read_windows(m)[slot]["lines"][-len(tail):] == tail, message="the stop report")


if __name__ == "__main__":
    unittest.main()
