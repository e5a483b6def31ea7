"""TextEdit, the image viewer and the media player on the real ISO, opened
by double clicks on desktop icons: typed text saved by Ctrl+S into its file
node, the sample PNG on the viewer's canvas as the host decoder decodes it,
and the sample video playing, its paused frame equal to the host decoder's
picture of that frame."""
import os
import struct
import time
import unittest

from desktop import NODE_SIZE, dock_tile_centre, find_window, read_desktop_icons, read_nodes
from harness import DesktopTestCase
from images import decoder_tool, host_decoded, scaled

TERMINAL, TEXTEDIT, VIEWER, PLAYER = 3, 5, 6, 9
TERMINAL_TILE = 3
TEXT_AT = 48                    # a node's inline text
WINDOW_SIZE = 2324
DOC_TEXT_AT = 1648              # a window's TextEdit text
VIDEO_AT = 2180                 # video_frame_count, video_frame, next tick, playing, width, height


class AppsOnTheDesktop(DesktopTestCase):
    def setUp(self):
        if not os.path.exists(decoder_tool()):
            self.skipTest(f"{decoder_tool()} is not built (cmake --build <host build> --target decode_image)")

    def node_bytes(self, index):
        blob = read_nodes(self.m)[index]["blob"]
        _, offset, size = struct.unpack("<III", self.m.read_bytes("fs_blobs", 12, 12 * blob))
        return self.m.read_bytes("fs_blob_pool", size, offset)

    def node_named(self, name):
        return next((i for i, n in enumerate(read_nodes(self.m)) if n["in_use"] and n["name"] == name), None)

    def open_icon(self, node, app):
        """Double-clicks the node's desktop icon, each press in a pass of its
        own and both within 30 ticks, until a window of that kind opens."""
        m = self.m
        for _ in range(3):
            icon = m.wait_until(lambda: next((i for i in read_desktop_icons(m) if i["fs_idx"] == node), None),
                                timeout=20, message=f"a desktop icon for node {node}")
            m.move_pointer_to(icon["x"] + 32, icon["y"] + 32, tolerance=2)
            for down in (True, False, True, False):
                frame = m.read_u32("frame_count")
                m.mouse_button("left", down)
                m.wait_until(lambda: m.read_u32("frame_count") > frame, timeout=5, interval=0.01, message="a pass")
            try:
                found = m.wait_until(lambda: find_window(m, app), timeout=5, message="the window")
                time.sleep(0.6)  # past the opening animation
                return found
            except TimeoutError:
                time.sleep(0.5)
        self.fail(f"no window of kind {app} opened")

    def park_pointer(self):
        self.m.move_pointer_to(self.m.read_u32("fb_width") - 4, self.m.read_u32("fb_height") // 2, tolerance=3)

    def differing(self, expected, left, top, skip=lambda x, y: False):
        """Pixels of the screen whose colour is not the expected rows'."""
        screen = self.m.screendump()
        return [(left + c, top + r) for r, row in enumerate(expected) for c, colour in enumerate(row)
                if colour is not None and not skip(left + c, top + r) and screen.pixel(left + c, top + r) != colour]

    def test_textedit_saves_typed_text_into_its_file(self):
        m = self.m
        tiles = 7 + m.read_u32("dock_dynamic_count")  # windows opened before add tiles
        m.move_pointer_to(*dock_tile_centre(m, TERMINAL_TILE, tiles), tolerance=3)
        m.click()
        m.wait_until(lambda: find_window(m, TERMINAL), timeout=20, message="a Terminal")
        m.type_text("cd Desktop\ntouch note.txt\n")
        node = m.wait_until(lambda: self.node_named("note.txt"), timeout=20, message="note.txt")
        slot, win = self.open_icon(node, TEXTEDIT)
        self.assertEqual(win["title"], "note.txt")
        m.type_text("Hello there")
        def typed():
            return m.read_cstring("windows", 512, slot * WINDOW_SIZE + DOC_TEXT_AT)
        m.wait_until(lambda: typed() == "Hello there", timeout=20, message=f"the typed text (now {typed()!r})")
        def saved():
            return m.read_cstring("fs_nodes", 512, node * NODE_SIZE + TEXT_AT)
        self.assertEqual(saved(), "")
        m.key_combo(["ctrl", "s"], hold=0.3)  # held across a whole pass, however slow
        m.wait_until(lambda: saved() == "Hello there", timeout=20, message="the saved text")

    def test_viewer_shows_the_sample_png_at_100_percent(self):
        node = self.node_named("Tavlin.yrf")  # the sample PNG, named as the desktop has always shown it
        slot, win = self.open_icon(node, VIEWER)
        self.park_pointer()
        iw, ih, pixels = host_decoded(self.node_bytes(node))
        x, y, w, h = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        dx, dy = x + int((w - iw) / 2), y + 22 + int((h - 22 - ih) / 2)  # C division
        rows = [[pixels[r * iw + c] & 0xFFFFFF if x <= dx + c < x + w and y + 22 <= dy + r < y + h else None
                 for c in range(iw)] for r in range(ih)]
        grip = lambda px, py: px >= x + w - 10 and py >= y + h - 8  # the resize grip's lines
        bad = self.differing(rows, dx, dy, grip)
        self.assertEqual(bad[:5], [], f"{len(bad)} canvas pixels differ from the host's decoding")

    def test_player_plays_and_its_paused_frame_is_the_decoded_one(self):
        m = self.m
        node = self.node_named("DoruViza.zeva")
        slot, win = self.open_icon(node, PLAYER)
        def video():
            return struct.unpack("<iiIIII", m.read_bytes("windows", 24, slot * WINDOW_SIZE + VIDEO_AT))
        count, first, _, playing, vw, vh = video()
        data = self.node_bytes(node)
        self.assertEqual((count, vw, vh, playing), struct.unpack_from(">I", data, 8) + struct.unpack_from(">HH", data, 4) + (1,))
        m.wait_until(lambda: video()[1] != first, timeout=10, message="the frame counter to advance")

        x, y, W, H = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        m.move_pointer_to(x + W // 2, y + H // 2, tolerance=3)
        m.click()
        m.wait_until(lambda: video()[3] == 0, timeout=10, message="the pause")
        self.park_pointer()
        k = video()[1]
        dw, dh = (W, vh * W // vw) if vh * W < vw * H else (vw * H // vh, H)
        left, top = x + (W - dw) // 2, y + (H - dh) // 2
        counter = lambda px, py: y + H - 16 <= py < y + H - 8  # the frame counter's row
        bad = self.differing(scaled(host_decoded(data, k), dw, dh), left, top, counter)
        self.assertEqual(video()[1], k, "the paused frame moved")
        self.assertEqual(bad[:5], [], f"{len(bad)} pixels of frame {k} differ from the host's decoding")


if __name__ == "__main__":
    unittest.main()
