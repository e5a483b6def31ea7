"""The Finder and the Trash window on the real ISO, driven through QMP: the
Finder opened from the dock enters Downloads by a double click and shows
the sample image's thumbnail with the pixels the host build decodes; a
file dragged onto a folder moves there in the node table; a file dropped
on the trash leaves the tree, and the Trash opened from the dock counts
it."""
import os
import struct
import unittest

from desktop import WINDOW_SIZE, dock_tile_centre, find_window, font, read_nodes, text_pixels
from harness import DesktopTestCase, build_dir
from images import decoder_tool, host_decoded, scaled

FINDER, TERMINAL, TRASH = 4, 3, 7
FINDER_TILE, TERMINAL_TILE = 0, 3
DOWNLOADS, QUILLON = 4, 6           # start-up node indexes
FINDER_DIR, CLICK_TICK = 844, 1096  # window record offsets
LAUNCH_TICK, OPENING_TICKS = 1008, 18
THUMB_UNDER = 0x1C1C1E


class FinderTest(DesktopTestCase):
    def window(self, kind):
        return self.m.wait_until(lambda: find_window(self.m, kind), timeout=30, message=f"window of kind {kind}")

    def field(self, slot, offset, kind="i"):
        return struct.unpack("<" + kind, self.m.read_bytes("windows", 4, slot * WINDOW_SIZE + offset))[0]

    def settled(self, slot):
        """Until the window's opening is over and two more frames are composed."""
        m = self.m
        m.wait_until(lambda: m.read_u32("pit_ticks") - self.field(slot, LAUNCH_TICK, "I") > OPENING_TICKS + 2,
                     message="opening animation")
        frames = m.read_u32("frame_count")
        m.wait_until(lambda: m.read_u32("frame_count") >= frames + 2, message="fresh frames")

    def cell(self, win, i):
        """Top-left corner of grid cell i in a Finder window."""
        columns = (win["w"] - 166) // 90 if win["w"] > 255 else 1
        return win["x"] + 153 + 90 * (i % columns), win["y"] + 66 + 78 * (i // columns)

    def press_gap(self, slot):
        """Until a press on an entry can no longer make a double click."""
        m = self.m
        m.wait_until(lambda: m.read_u32("pit_ticks") - self.field(slot, CLICK_TICK, "I") >= 30,
                     message="double-click interval")

    def double_click(self, x, y, done):
        """Presses twice close together until `done` holds; a guest too busy
        to see both presses within 30 ticks gets another pair."""
        self.m.move_pointer_to(x, y)
        for _ in range(5):
            self.m.click(hold=0.02)
            self.m.click(hold=0.02)
            try:
                return self.m.wait_until(done, timeout=3, message="double click")
            except TimeoutError:
                pass
        self.fail(f"no double click took effect at {(x, y)}")

    def drag(self, slot, start, end):
        """Selects the entry at `start`, then drags it to `end`."""
        m = self.m
        self.press_gap(slot)
        m.move_pointer_to(*start)
        m.click(hold=0.02)
        self.press_gap(slot)
        m.mouse_button("left", True)
        m.move_pointer_to(*end)
        m.mouse_button("left", False)

    def in_folder(self, node, parent):
        return lambda: (n := read_nodes(self.m)[node])["in_use"] and n["parent"] == parent

    def test_browse_thumbnail_move_trash(self):
        m = self.m
        if not os.path.exists(decoder_tool()):
            self.skipTest(f"{decoder_tool()} is not built (cmake --build <host build> --target decode_image)")
        m.move_pointer_to(*dock_tile_centre(m, FINDER_TILE), tolerance=3)
        m.click()
        slot, win = self.window(FINDER)
        self.settled(slot)
        m.move_pointer_to(win["x"] + 12, win["y"] + 42)  # Back, from the Desktop to the root
        m.click()
        m.wait_until(lambda: self.field(slot, FINDER_DIR) == 1, message="the root shown")
        self.press_gap(slot)
        downloads = self.cell(win, 2)  # after Desktop and Documents
        self.double_click(downloads[0] + 22, downloads[1] + 22, lambda: self.field(slot, FINDER_DIR) == DOWNLOADS)

        # The thumbnail: the image as the host decodes it, scaled into 36 x 36.
        m.move_pointer_to(win["x"] + win["w"] - 20, win["y"] + win["h"] - 20)
        self.settled(slot)
        with open(os.path.join(build_dir(), "media", "sample.yrf"), "rb") as f:
            expected = scaled(host_decoded(f.read()), 36, THUMB_UNDER)
        tx, ty = self.cell(win, 0)
        screen = m.screendump()
        shown = [[screen.pixel(tx + 4 + c, ty + 4 + r) for c in range(36)] for r in range(36)]
        self.assertEqual(shown, expected)

        # A folder made in the Terminal, then the image dragged onto it.
        m.move_pointer_to(*dock_tile_centre(m, TERMINAL_TILE), tolerance=3)
        m.click()
        term_slot, term = self.window(TERMINAL)
        m.type_text("cd /Downloads\nmkdir Keep\n")
        keep = m.wait_until(lambda: next((i for i, n in enumerate(read_nodes(m))
                                          if n["in_use"] and n["name"] == "Keep" and n["parent"] == DOWNLOADS), None),
                            timeout=20, message="folder Keep")
        m.move_pointer_to(term["x"] + 16, term["y"] + 15)  # its close button
        m.click()
        m.wait_until(lambda: find_window(m, TERMINAL) is None, message="Terminal closed")
        thumb, folder = self.cell(win, 0), self.cell(win, 1)
        self.drag(slot, (thumb[0] + 22, thumb[1] + 22), (folder[0] + 22, folder[1] + 22))
        m.wait_until(self.in_folder(QUILLON, keep), message="the image moved into Keep")

        # Into Keep, and the image dropped on the trash.
        self.press_gap(slot)
        self.double_click(thumb[0] + 22, thumb[1] + 22, lambda: self.field(slot, FINDER_DIR) == keep)
        sw, sh = m.read_u32("fb_width"), m.read_u32("fb_height")
        trash = ((sw - 591) // 2 + 524, sh - 48)
        self.drag(slot, (thumb[0] + 22, thumb[1] + 22), trash)
        m.wait_until(lambda: not read_nodes(m)[QUILLON]["in_use"], message="the image deleted")
        self.assertEqual(m.read_u32("trash_count"), 1)

        # The Trash, opened by a double click on the dock's trash, counts it.
        self.double_click(*trash, lambda: find_window(m, TRASH))
        trash_slot, trash_win = self.window(TRASH)
        m.move_pointer_to(trash_win["x"] + 200, trash_win["y"] + 200)
        self.settled(trash_slot)
        on, cells = text_pixels(font(m), trash_win["x"] + 9, trash_win["y"] + 36, "1 item")
        screen = m.screendump()
        self.assertEqual({p for p in cells if screen.pixel(*p) == 0x555555}, on)


if __name__ == "__main__":
    unittest.main()
