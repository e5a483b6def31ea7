"""The real ISO's images through its image cache, pixel for pixel against the host build's decoding: the sample PNG
on the image viewer's canvas, the Downloads sample's thumbnail in the Finder, and the sample video's paused frame in
the media player, which plays when opened. Files open by double clicks on desktop icons."""
import os
import struct
import unittest

from desktop import FINDER, PLAYER, VIEWER, WINDOW_SIZE, desktop_icon_at, find_node, find_window, node_content
from desktop import open_from_dock
from harness import BUILD, Machine, host_decoded, scaled

ROOT, DOWNLOADS = 1, 4          # start-up node indexes
FINDER_DIR = 844                # a window's Finder folder
VIDEO_AT = 2180                 # a window's video_frame_count, video_frame, next tick, playing, width, height


class AppsOnTheDesktop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.m = Machine()
        cls.addClassCleanup(cls.m.stop)
        cls.m.start()
        cls.m.wait_frames(3)  # the desktop is up

    def open_icon(self, node, app):
        """Double-clicks the node's desktop icon; (slot, window) of the window it opens, once open."""
        m = self.m
        x, y = m.wait_until(lambda: desktop_icon_at(m, node), 20, message=f"a desktop icon for node {node}")
        return m.click_until(x + 32, y + 32, lambda: find_window(m, app, settled=True), presses=2, tolerance=2,
                             attempts=5, wait=10)

    def assert_screen_shows(self, expected, left, top, what, skip=lambda x, y: False):
        """The screen, with the pointer parked aside, shows the expected rows (None: any colour) at (left, top)."""
        self.m.move_pointer_to(self.m.read_u32("fb_width") - 4, self.m.read_u32("fb_height") // 2, tolerance=3)
        screen = self.m.screendump()
        bad = [(left + c, top + r) for r, row in enumerate(expected) for c, colour in enumerate(row)
               if colour is not None and not skip(left + c, top + r) and screen.pixel(left + c, top + r) != colour]
        self.assertEqual(bad[:5], [], f"{len(bad)} pixels of {what} differ from the host's decoding")

    def test_viewer_shows_the_sample_png_at_100_percent(self):
        node = find_node(self.m, "Tavlin.yrf")  # the sample PNG, named as the desktop has always shown it
        _slot, win = self.open_icon(node, VIEWER)
        iw, ih, pixels = host_decoded(node_content(self.m, node))
        x, y, w, h = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        dx, dy = x + int((w - iw) / 2), y + 22 + int((h - 22 - ih) / 2)  # C division
        rows = [[pixels[r * iw + c] & 0xFFFFFF if x <= dx + c < x + w and y + 22 <= dy + r < y + h else None
                 for c in range(iw)] for r in range(ih)]
        grip = lambda px, py: px >= x + w - 10 and py >= y + h - 8  # the resize grip's lines
        self.assert_screen_shows(rows, dx, dy, "the canvas", grip)

    def test_finder_shows_the_downloads_sample_as_the_host_decodes_it(self):
        m = self.m
        with open(os.path.join(BUILD, "media", "sample.yrf"), "rb") as f:
            expected = scaled(host_decoded(f.read()), 36)
        slot, win = open_from_dock(m, FINDER)
        columns = (win["w"] - 166) // 90
        cell = lambda i: (win["x"] + 175 + 90 * (i % columns), win["y"] + 88 + 78 * (i // columns))
        in_dir = lambda node: lambda: m.read_i32("windows", slot * WINDOW_SIZE + FINDER_DIR) == node
        m.click_until(win["x"] + 12, win["y"] + 42, in_dir(ROOT))  # Back, from the Desktop to the root
        m.click_until(*cell(2), in_dir(DOWNLOADS), presses=2, attempts=5, wait=10)  # after Desktop and Documents
        m.wait_frames(2)
        self.assert_screen_shows(expected, cell(0)[0] - 18, cell(0)[1] - 18, "the thumbnail")

    def test_player_plays_and_its_paused_frame_is_the_decoded_one(self):
        m = self.m
        node = find_node(m, "DoruViza.zeva")
        slot, win = self.open_icon(node, PLAYER)
        video = lambda: struct.unpack("<iiIIII", m.read_bytes("windows", 24, slot * WINDOW_SIZE + VIDEO_AT))
        _count, first, _, _playing, vw, vh = video()
        m.wait_until(lambda: video()[1] != first, timeout=10, message="the frame counter to advance")

        x, y, W, H = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        m.click_until(x + W // 2, y + H // 2, lambda: video()[3] == 0, tolerance=3, attempts=1, wait=10)  # the pause
        k = video()[1]
        dw, dh = (W, vh * W // vw) if vh * W < vw * H else (vw * H // vh, H)
        counter = lambda px, py: y + H - 16 <= py < y + H - 8  # the frame counter's row
        frame = scaled(host_decoded(node_content(m, node), k), dw, dh)
        self.assert_screen_shows(frame, x + (W - dw) // 2, y + (H - dh) // 2, f"frame {k}", counter)
        self.assertEqual(video()[1], k, "the paused frame moved")


if __name__ == "__main__":
    unittest.main()
