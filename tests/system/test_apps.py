"""TextEdit, the image viewer and the media player on the real ISO, opened
by double clicks on desktop icons: typed text saved by Ctrl+S into its file
node, the sample PNG on the viewer's canvas pixel for pixel, and the sample
video playing, its paused frame equal to decoding the frames in order.
Expected pictures are decoded here with Python's zlib, not by the kernel."""
import struct
import time
import unittest
import zlib

from desktop import NODE_SIZE, dock_tile_centre, find_window, read_nodes
from harness import DesktopTestCase

TERMINAL, TEXTEDIT, VIEWER, PLAYER = 3, 5, 6, 9
TERMINAL_TILE = 3
ICON_SIZE, ICONS, ICON_RECORD = 64, 16, 88
TEXT_AT = 48                    # a node's inline text
WINDOW_SIZE = 2324
DOC_TEXT_AT = 1648              # a window's TextEdit text
VIDEO_AT = 2180                 # video_frame_count, video_frame, next tick, playing, width, height


def cdiv(a, b):
    """Integer division as C does it (towards zero)."""
    q = abs(a) // abs(b)
    return q if (a < 0) == (b < 0) else -q


def png_rgb(data):
    """Width, height and 0xRRGGBB rows of an 8-bit RGB, non-interlaced PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, w, h = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 2, 0), "the sample is 8-bit RGB"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, prev, rows = zlib.decompress(idat), 3 * w, bytearray(3 * w), []
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a, b, c = line[i - 3] if i >= 3 else 0, prev[i], prev[i - 3] if i >= 3 else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([line[3 * x] << 16 | line[3 * x + 1] << 8 | line[3 * x + 2] for x in range(w)])
        prev = line
    return w, h, rows


def zeva_picture(data, k):
    """Width, height and the 0xRRGGBB pixels after applying frames 0..k in order."""
    w, h, _count = struct.unpack_from(">HHI", data, 4)
    picture, pos = [0] * (w * h), 12
    for _ in range(k + 1):
        kind, length = struct.unpack_from(">BI", data, pos)
        runs, out, at = data[pos + 5:pos + 5 + length], [], 0
        while at + 3 <= len(runs) and runs[at] and len(out) < w * h:
            out += [struct.unpack_from(">H", runs, at + 1)[0]] * min(runs[at], w * h - len(out))
            at += 3
        picture = out if kind == 1 else [p ^ d for p, d in zip(picture, out)]
        pos += 5 + length
    rgb = [(c >> 11) << 19 | ((c >> 5) & 63) << 10 | (c & 31) << 3 for c in picture]
    return w, h, rgb


class AppsOnTheDesktop(DesktopTestCase):
    def node_bytes(self, index):
        blob = read_nodes(self.m)[index]["blob"]
        _, offset, size = struct.unpack("<III", self.m.read_bytes("fs_blobs", 12, 12 * blob))
        return self.m.read_bytes("fs_blob_pool", size, offset)

    def node_named(self, name):
        for i, n in enumerate(read_nodes(self.m)):
            if n["in_use"] and n["name"] == name:
                return i
        return None

    def icons(self):
        raw = self.m.read_bytes("desktop_icons", ICON_RECORD * ICONS)
        return [(struct.unpack_from("<i", raw, i * ICON_RECORD)[0],) +
                struct.unpack_from("<iii", raw, i * ICON_RECORD + 32) for i in range(ICONS)]

    def icon_of(self, node):
        """Top-left of the node's desktop icon, once the desktop shows it."""
        def find():
            return next(((x, y) for used, x, y, idx in self.icons() if used and idx == node), None)
        return self.m.wait_until(find, timeout=20, message=f"a desktop icon for node {node}")

    def open_icon(self, node, app):
        """Double-clicks the node's desktop icon until a window of that kind
        shows it; returns (slot, window)."""
        m = self.m
        for _ in range(3):
            x, y = self.icon_of(node)
            m.move_pointer_to(x + ICON_SIZE // 2, y + ICON_SIZE // 2, tolerance=2)
            for _ in range(2):  # each press in a pass of its own, both within 30 ticks
                for down in (True, False):
                    frame = m.read_u32("frame_count")
                    m.mouse_button("left", down)
                    m.wait_until(lambda: m.read_u32("frame_count") > frame, timeout=5, interval=0.01,
                                 message="a pass")
            try:
                found = m.wait_until(lambda: find_window(m, app), timeout=5, message="the window")
                time.sleep(0.6)  # past the opening animation
                return found
            except TimeoutError:
                time.sleep(0.5)  # too slow for a double click: try again
        self.fail(f"no window of kind {app} opened")

    def park_pointer(self):
        sw, sh = self.m.read_u32("fb_width"), self.m.read_u32("fb_height")
        self.m.move_pointer_to(sw - 4, sh // 2, tolerance=3)

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
        self.assertEqual(m.read_cstring("fs_nodes", 512, node * NODE_SIZE + TEXT_AT), "")
        m.key_combo(["ctrl", "s"], hold=0.3)  # held across a whole pass, however slow
        m.wait_until(lambda: m.read_cstring("fs_nodes", 512, node * NODE_SIZE + TEXT_AT) == "Hello there",
                     timeout=20, message="the saved text")

    def test_viewer_shows_the_sample_png_at_100_percent(self):
        m = self.m
        node = self.node_named("Tavlin.yrf")  # the sample PNG, named as the desktop has always shown it
        slot, win = self.open_icon(node, VIEWER)
        self.park_pointer()
        iw, ih, rows = png_rgb(self.node_bytes(node))
        x, y, w, h = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        dx, dy = x + cdiv(w - iw, 2), y + 22 + cdiv(h - 22 - ih, 2)
        grip = (win["x"] + win["w"] - 11, win["y"] + win["h"] - 9)  # the resize grip's lines
        screen = m.screendump()
        bad = [(px, py) for py in range(max(y + 22, dy), min(y + h, dy + ih))
               for px in range(max(x, dx), min(x + w, dx + iw))
               if screen.pixel(px, py) != rows[py - dy][px - dx] and not (px >= grip[0] and py >= grip[1])]
        self.assertEqual(bad[:5], [], f"{len(bad)} canvas pixels differ from the PNG")

    def test_player_plays_and_its_paused_frame_is_the_decoded_one(self):
        m = self.m
        node = self.node_named("DoruViza.zeva")
        slot, win = self.open_icon(node, PLAYER)
        at = slot * WINDOW_SIZE + VIDEO_AT
        def video():
            return struct.unpack("<iiIIII", m.read_bytes("windows", 24, at))
        count, first, _, playing, vw, vh = video()
        data = self.node_bytes(node)
        self.assertEqual((count, vw, vh, playing), struct.unpack_from(">IHH", data, 8)[:1] + (160, 134, 1))
        m.wait_until(lambda: video()[1] != first, timeout=10, message="the frame counter to advance")

        x, y, W, H = win["x"] + 1, win["y"] + 30, win["w"] - 2, win["h"] - 31
        m.move_pointer_to(x + W // 2, y + H // 2, tolerance=3)
        m.click()
        m.wait_until(lambda: video()[3] == 0, timeout=10, message="the pause")
        self.park_pointer()
        time.sleep(0.3)
        k = video()[1]
        screen = m.screendump()
        self.assertEqual(video()[1], k, "the paused frame moved")
        _, _, rgb = zeva_picture(data, k)
        dw, dh = (W, vh * W // vw) if vh * W < vw * H else (vw * H // vh, H)
        px0, py0 = x + (W - dw) // 2, y + (H - dh) // 2
        counter_rows = range(y + H - 16, y + H - 8)
        bad = [(c, r) for r in range(dh) for c in range(dw) if py0 + r not in counter_rows and
               screen.pixel(px0 + c, py0 + r) != rgb[min(r * vh // dh, vh - 1) * vw + min(c * vw // dw, vw - 1)]]
        self.assertEqual(bad[:5], [], f"{len(bad)} pixels of frame {k} differ")


if __name__ == "__main__":
    unittest.main()
