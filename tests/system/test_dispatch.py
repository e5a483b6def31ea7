"""Pointer dispatch on the real machine: a press on the dock's Clock tile
opens the Clock window, dragging its title bar moves it with the pointer,
and its minimise button and tile hide and restore it. Checked through the
window table and screendumps."""
import time
import unittest

from desktop import TOP_BAR, dock_tile_centre, find_window, read_windows
from harness import Machine

CLOCK = 2
CLOCK_W, CLOCK_H = 320, 260
FOCUSED_TITLE = 0xD8D8D8
CLOCK_TILE = 2   # the third of the seven built-in dock tiles


def window(m, slot):
    win = read_windows(m)[slot]
    return {k: win[k] for k in ("in_use", "app", "x", "y", "w", "h")}


class DispatchTest(unittest.TestCase):
    def test_dock_launch_and_title_bar_drag(self):
        with Machine() as m:
            m.wait_for_desktop()
            sw, sh = m.read_u32("fb_width"), m.read_u32("fb_height")
            self.assertIsNone(find_window(m, CLOCK))

            m.move_pointer_to(*dock_tile_centre(m, CLOCK_TILE))
            m.click()
            found = m.wait_until(lambda: find_window(m, CLOCK), timeout=20, message="Clock window")
            slot, win = found
            self.assertEqual((win["w"], win["h"]), (CLOCK_W, CLOCK_H))
            self.assertEqual((win["x"], win["y"]),
                             ((sw - CLOCK_W) // 2, (max(sh - 104, CLOCK_H) - CLOCK_H) // 2 + TOP_BAR))
            self.assertEqual(m.read_i32("focused_window"), slot)
            time.sleep(0.5)  # past the opening animation
            screen = m.screendump()
            self.assertEqual(screen.pixel(win["x"] + 80, win["y"] + 22), FOCUSED_TITLE)

            # Grab the title bar and drag it right and down.
            m.move_pointer_to(win["x"] + 100, win["y"] + 10)
            grab_x, grab_y = m.pointer()
            m.mouse_button("left", True)
            time.sleep(0.2)
            m.move_pointer_to(grab_x + 150, grab_y + 100)
            end_x, end_y = m.pointer()
            time.sleep(0.2)
            m.mouse_button("left", False)
            time.sleep(0.3)
            moved = window(m, slot)
            self.assertEqual((moved["x"], moved["y"]),
                             (win["x"] + end_x - grab_x, max(TOP_BAR, win["y"] + end_y - grab_y)))
            self.assertEqual((moved["w"], moved["h"]), (CLOCK_W, CLOCK_H))

            # The release ended the drag: moving on leaves the window in place.
            m.move_pointer_to(end_x + 30, end_y + 30)
            time.sleep(0.2)
            self.assertEqual(window(m, slot), moved)

            screen = m.screendump()
            self.assertEqual(screen.pixel(moved["x"] + 80, moved["y"] + 22), FOCUSED_TITLE)
            self.assertNotEqual(screen.pixel(win["x"] + 20, win["y"] + 22), FOCUSED_TITLE)

            # Its minimise button hides it in the dock; its tile brings it back.
            m.move_pointer_to(moved["x"] + 36, moved["y"] + 15)
            m.click()
            def minimized():
                return read_windows(m)[slot]["minimized"]

            m.wait_until(minimized, timeout=10, message="window minimised")
            self.assertEqual(m.read_i32("focused_window"), -1)
            m.move_pointer_to(*dock_tile_centre(m, CLOCK_TILE))
            m.click()
            m.wait_until(lambda: not minimized(), timeout=10, message="window restored")
            self.assertEqual(m.read_i32("focused_window"), slot)
            self.assertEqual(window(m, slot), moved)


if __name__ == "__main__":
    unittest.main()
