"""The Finder and the Trash window on the real ISO, through QMP: the Finder
from the dock enters Downloads by a double click and shows the sample
image's thumbnail with the pixels the host build decodes; the image dragged
onto a folder moves there; dropped on the trash it leaves the tree, and the
Trash opened from the dock counts it."""
import os
import struct
import unittest

from desktop import (FINDER, TERMINAL, TRASH, WINDOW_SIZE, command, find_node, find_window, open_from_dock,
                     read_nodes, text_pixels)
from harness import DesktopTestCase, build_dir, host_decoded, scaled

ROOT, DOWNLOADS, QUILLON = 1, 4, 6  # start-up node indexes
FINDER_DIR, LAUNCH_TICK, CLICK_TICK = 844, 1008, 1096  # window record offsets


class FinderTest(DesktopTestCase):
    def field(self, slot, offset):
        return struct.unpack("<i", self.m.read_bytes("windows", 4, slot * WINDOW_SIZE + offset))[0]

    def ticks_since(self, slot, offset):
        return self.m.read_u32("pit_ticks") - self.field(slot, offset)

    def settled(self, slot):
        """Until the opening animation is over and two more frames are drawn."""
        self.m.wait_until(lambda: self.ticks_since(slot, LAUNCH_TICK) > 20, message="opening over")
        self.m.wait_frames(2)

    def gap(self, slot):
        """Until a press on an entry can no longer pair with the one before."""
        self.m.wait_until(lambda: self.ticks_since(slot, CLICK_TICK) >= 30, message="click gap")

    def drag(self, slot, start, end):
        """Selects the entry at `start`, then drags it from there to `end`."""
        self.gap(slot)
        self.m.click_at(*start, tolerance=1)
        self.gap(slot)
        self.m.mouse_button("left", True)
        self.m.move_pointer_to(*end)
        self.m.mouse_button("left", False)

    def test_browse_thumbnail_move_and_trash(self):
        m = self.m
        with open(os.path.join(build_dir(), "media", "sample.yrf"), "rb") as f:
            expected = scaled(host_decoded(f.read()), 36)
        slot, win = open_from_dock(m, FINDER)
        self.settled(slot)
        columns = (win["w"] - 166) // 90
        cell = lambda i: (win["x"] + 175 + 90 * (i % columns), win["y"] + 88 + 78 * (i // columns))
        in_dir = lambda node: lambda: self.field(slot, FINDER_DIR) == node
        m.click_until(win["x"] + 12, win["y"] + 42, in_dir(ROOT))  # Back, from the Desktop to the root
        m.double_click(*cell(2), in_dir(DOWNLOADS))  # after Desktop and Documents

        # The thumbnail: the image as the host decodes it, scaled into 36 x 36.
        m.move_pointer_to(win["x"] + win["w"] - 20, win["y"] + win["h"] - 20)
        self.settled(slot)
        x, y = cell(0)[0] - 18, cell(0)[1] - 18
        screen = m.screendump()
        self.assertEqual([[screen.pixel(x + c, y + r) for c in range(36)] for r in range(36)], expected)

        # A folder made in the Terminal, then the image dragged onto it.
        shell, term = open_from_dock(m, TERMINAL)
        command(m, shell, "cd /Downloads", [])
        command(m, shell, "mkdir Keep", [])
        keep = find_node(m, "Keep", "Downloads")
        m.click_at(term["x"] + 16, term["y"] + 15, tolerance=1)  # its close button
        m.wait_until(lambda: find_window(m, TERMINAL) is None, message="Terminal closed")
        self.drag(slot, cell(0), cell(1))
        m.wait_until(lambda: read_nodes(m)[QUILLON]["parent"] == keep, message="the image moved into Keep")

        # Into Keep, and the image dropped on the trash.
        m.double_click(*cell(0), in_dir(keep))
        trash = ((m.read_u32("fb_width") - 591) // 2 + 524, m.read_u32("fb_height") - 48)
        self.drag(slot, cell(0), trash)
        m.wait_until(lambda: not read_nodes(m)[QUILLON]["in_use"], message="the image deleted")
        self.assertEqual(m.read_u32("trash_count"), 1)

        # The Trash, opened by a double click on the dock's trash, counts it.
        m.double_click(*trash, lambda: find_window(m, TRASH))
        trash_slot, trash_win = find_window(m, TRASH)
        m.move_pointer_to(trash_win["x"] + 200, trash_win["y"] + 200)
        self.settled(trash_slot)
        on, cells = text_pixels(m, trash_win["x"] + 9, trash_win["y"] + 36, "1 item")
        screen = m.screendump()
        self.assertEqual({p for p in cells if screen.pixel(*p) == 0x555555}, on)


if __name__ == "__main__":
    unittest.main()
