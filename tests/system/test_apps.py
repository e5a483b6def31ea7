"""TextEdit, the image viewer and the media player on the real ISO, opened
by double clicks on desktop icons: typed text saved by Ctrl+S into its file
node, the sample PNG on the viewer's canvas as the host decoder decodes it,
and the sample video playing, its paused frame equal to the host decoder's
picture of that frame."""
import struct
import unittest

from desktop import (NODE_SIZE, PLAYER, TERMINAL, TEXTEDIT, VIEWER, WINDOW_SIZE, command, find_node, find_window,
                     node_content, open_from_dock, read_desktop_icons, read_windows)
from harness import DesktopTestCase, host_decoded, scaled

TEXT_AT = 48                    # a node's inline text
DOC_TEXT_AT = 1648              # a window's TextEdit text
VIDEO_AT = 2180                 # video_frame_count, video_frame, next tick, playing, width, height


class AppsOnTheDesktop(DesktopTestCase):
    def open_icon(self, node, app):
        """Double-clicks the node's desktop icon; (slot, window) of the window it opens."""
        m = self.m
        icon = m.wait_until(lambda: next((i for i in read_desktop_icons(m) if i["fs_idx"] == node), None),
                            timeout=20, message=f"a desktop icon for node {node}")
        slot, _ = m.double_click(icon["x"] + 32, icon["y"] + 32, lambda: find_window(m, app), tolerance=2)
        return m.wait_until(lambda: (lambda w: w["anim"] == 0 and (slot, w))(read_windows(m)[slot]),
                            message="the opening animation over")

    def differing(self, expected, left, top, skip):
        """Pixels of the screen, with the pointer parked aside, whose colour is not the expected rows'."""
        self.m.move_pointer_to(self.m.read_u32("fb_width") - 4, self.m.read_u32("fb_height") // 2, tolerance=3)
        screen = self.m.screendump()
        return [(left + c, top + r) for r, row in enumerate(expected) for c, colour in enumerate(row)
                if colour is not None and not skip(left + c, top + r) and screen.pixel(left + c, top + r) != colour]

    def test_textedit_saves_typed_text_into_its_file(self):
        m = self.m
        command(m, open_from_dock(m, TERMINAL)[0], "cd Desktop", [])
        m.type_text("touch note.txt\n")
        node = m.wait_until(lambda: find_node(m, "note.txt"), timeout=20, message="note.txt")
        slot, win = self.open_icon(node, TEXTEDIT)
        self.assertEqual(win["title"], "note.txt")
        m.type_text("Hello there")
        m.wait_until(lambda: m.read_cstring("windows", 512, slot * WINDOW_SIZE + DOC_TEXT_AT) == "Hello there",
                     timeout=20, message="the typed text")
        def saved():
            return m.read_cstring("fs_nodes", 512, node * NODE_SIZE + TEXT_AT)
        self.assertEqual(saved(), "")
        m.key_combo(["ctrl", "s"], hold=0.3)  # held across a whole pass, however slow
        m.wait_until(lambda: saved() == "Hello there", timeout=20, message="the saved text")

    def test_viewer_shows_the_sample_png_at_100_percent(self):
        node = find_node(self.m, "Tavlin.yrf")  # the sample PNG, named as the desktop has always shown it
        slot, win = self.open_icon(node, VIEWER)
        iw, ih, pixels = host_decoded(node_content(self.m, node))
        x, y, w, h = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        dx, dy = x + int((w - iw) / 2), y + 22 + int((h - 22 - ih) / 2)  # C division
        rows = [[pixels[r * iw + c] & 0xFFFFFF if x <= dx + c < x + w and y + 22 <= dy + r < y + h else None
                 for c in range(iw)] for r in range(ih)]
        grip = lambda px, py: px >= x + w - 10 and py >= y + h - 8  # the resize grip's lines
        bad = self.differing(rows, dx, dy, grip)
        self.assertEqual(bad[:5], [], f"{len(bad)} canvas pixels differ from the host's decoding")

    def test_player_plays_and_its_paused_frame_is_the_decoded_one(self):
        m = self.m
        node = find_node(m, "DoruViza.zeva")
        slot, win = self.open_icon(node, PLAYER)
        def video():
            return struct.unpack("<iiIIII", m.read_bytes("windows", 24, slot * WINDOW_SIZE + VIDEO_AT))
        _count, first, _, playing, vw, vh = video()
        self.assertEqual(playing, 1)
        m.wait_until(lambda: video()[1] != first, timeout=10, message="the frame counter to advance")

        x, y, W, H = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        m.click_at(x + W // 2, y + H // 2, tolerance=3)
        m.wait_until(lambda: video()[3] == 0, timeout=10, message="the pause")
        k = video()[1]
        dw, dh = (W, vh * W // vw) if vh * W < vw * H else (vw * H // vh, H)
        counter = lambda px, py: y + H - 16 <= py < y + H - 8  # the frame counter's row
        frame = scaled(host_decoded(node_content(m, node), k), dw, dh)
        bad = self.differing(frame, x + (W - dw) // 2, y + (H - dh) // 2, counter)
        self.assertEqual(video()[1], k, "the paused frame moved")
        self.assertEqual(bad[:5], [], f"{len(bad)} pixels of frame {k} differ from the host's decoding")


if __name__ == "__main__":
    unittest.main()
