"""Pointer dispatch on the real machine: a press on the dock's Clock tile
opens the Clock window, dragging its title bar moves it with the pointer,
and its minimise button and tile hide and restore it. Checked through the
window table and screendumps."""
import struct
import time
import unittest

from harness import Machine

WINDOW_SIZE = 2324           # one record of `windows`
IN_USE, APP, X, Y, W, H = 0, 4, 40, 44, 48, 52
MINIMIZED = 72
CLOCK = 2
CLOCK_W, CLOCK_H = 320, 260
FOCUSED_TITLE = 0xD8D8D8
TOP_BAR = 28


def read_window(m, slot):
    raw = m.read_bytes("windows", 56, slot * WINDOW_SIZE)
    in_use, app = struct.unpack_from("<II", raw, IN_USE)
    x, y, w, h = struct.unpack_from("<iiii", raw, X)
    return {"in_use": in_use, "app": app, "x": x, "y": y, "w": w, "h": h}


def find_window(m, app):
    for slot in range(8):
        win = read_window(m, slot)
        if win["in_use"] and win["app"] == app:
            return slot, win
    return None


def pointer(m):
    return m.read_i32("mouse_x"), m.read_i32("mouse_y")


def move_pointer_to(m, tx, ty, timeout=60):
    """The pointer accelerates, so it is steered: a few counts at a time
    while far away, single counts near the target, reading it back after
    every move."""
    deadline = time.time() + timeout
    while True:
        x, y = pointer(m)
        if (x, y) == (tx, ty):
            return
        if time.time() > deadline:
            raise TimeoutError(f"pointer stuck at {(x, y)} on its way to {(tx, ty)}")

        def counts(d):
            if d == 0:
                return 0
            step = 6 if abs(d) > 40 else 1
            return step if d > 0 else -step

        m.mouse_move(counts(tx - x), counts(ty - y))
        time.sleep(0.03)


class DispatchTest(unittest.TestCase):
    def test_dock_launch_and_title_bar_drag(self):
        with Machine() as m:
            m.wait_for_desktop()
            sw, sh = m.read_u32("fb_width"), m.read_u32("fb_height")
            self.assertIsNone(find_window(m, CLOCK))

            # The Clock is the third of the seven built-in tiles.
            dock_left = (sw - (70 * 7 + 101)) // 2
            move_pointer_to(m, dock_left + 40 + 70 * 2, sh - 38)
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
            move_pointer_to(m, win["x"] + 100, win["y"] + 10)
            grab_x, grab_y = pointer(m)
            m.mouse_button("left", True)
            time.sleep(0.2)
            move_pointer_to(m, grab_x + 150, grab_y + 100)
            end_x, end_y = pointer(m)
            time.sleep(0.2)
            m.mouse_button("left", False)
            time.sleep(0.3)
            moved = read_window(m, slot)
            self.assertEqual((moved["x"], moved["y"]),
                             (win["x"] + end_x - grab_x, max(TOP_BAR, win["y"] + end_y - grab_y)))
            self.assertEqual((moved["w"], moved["h"]), (CLOCK_W, CLOCK_H))

            # The release ended the drag: moving on leaves the window in place.
            move_pointer_to(m, end_x + 30, end_y + 30)
            time.sleep(0.2)
            self.assertEqual(read_window(m, slot), moved)

            screen = m.screendump()
            self.assertEqual(screen.pixel(moved["x"] + 80, moved["y"] + 22), FOCUSED_TITLE)
            self.assertNotEqual(screen.pixel(win["x"] + 20, win["y"] + 22), FOCUSED_TITLE)

            # Its minimise button hides it in the dock; its tile brings it back.
            move_pointer_to(m, moved["x"] + 36, moved["y"] + 15)
            m.click()
            def minimized():
                return m.read_u32("windows", slot * WINDOW_SIZE + MINIMIZED)

            m.wait_until(minimized, timeout=10, message="window minimised")
            self.assertEqual(m.read_i32("focused_window"), -1)
            move_pointer_to(m, dock_left + 40 + 70 * 2, sh - 38)
            m.click()
            m.wait_until(lambda: not minimized(), timeout=10, message="window restored")
            self.assertEqual(m.read_i32("focused_window"), slot)
            self.assertEqual(read_window(m, slot), moved)


if __name__ == "__main__":
    unittest.main()
