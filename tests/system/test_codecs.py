"""The image cache on the real ISO: after start-up every entry is either
free or holds exactly the pixels its file decodes to by the YRF and PNG
rules, decoded here independently of the kernel."""
import os
import struct
import unittest
import zlib

from harness import DesktopTestCase

ENTRIES = 4
SIDE = 512
ENTRY_SIZE = 16 + 4 * SIDE * SIDE
NODE_SIZE = 572
NODE_FORMAT = "<II28siii512sIIi"
MAX_NODES = 128


def yrf_pixels(data):
    """0xAARRGGBB pixels of a YRF file, or None."""
    if len(data) < 12 or data[:4] != b"YRF1":
        return None
    w, h = struct.unpack_from(">HH", data, 4)
    total, out, off = w * h, [], 12
    while len(out) < total and off < len(data) and data[off]:
        if off + 3 > len(data):
            return None
        c = struct.unpack_from(">H", data, off + 1)[0]
        argb = 0xFF000000 | (c >> 11) << 19 | ((c >> 5) & 63) << 10 | (c & 31) << 3
        out += [argb] * min(data[off], total - len(out))
        off += 3
    return (w, h, out) if len(out) == total else None


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack_from(">II", data, 16)


class ImageCacheTest(DesktopTestCase):
    def node_bytes(self, index):
        raw = self.m.read_bytes("fs_nodes", NODE_SIZE, NODE_SIZE * index)
        fields = struct.unpack(NODE_FORMAT, raw)
        in_use, blob = fields[0], fields[9]
        self.assertEqual(in_use, 1, f"cached node {index} is not live")
        self.assertIn(blob, range(16))
        _, offset, size = struct.unpack("<III", self.m.read_bytes("fs_blobs", 12, 12 * blob))
        return self.m.read_bytes("fs_blob_pool", size, offset)

    def test_entries_are_free_or_hold_their_files_pixels(self):
        self.assertEqual(self.m.symbol_size("image_cache"), ENTRIES * ENTRY_SIZE)
        for i in range(ENTRIES):
            key, valid, w, h = struct.unpack("<iIII", self.m.read_bytes("image_cache", 16, i * ENTRY_SIZE))
            if key < 0:
                continue
            self.assertEqual(valid, 1)
            data = self.node_bytes(key)
            pixels = struct.unpack(f"<{w * h}I", self.m.read_bytes("image_cache", 4 * w * h, i * ENTRY_SIZE + 16))
            decoded = yrf_pixels(data)
            if decoded:
                self.assertEqual((w, h), decoded[:2])
                self.assertEqual(list(pixels), decoded[2], f"entry {i}")
            else:
                self.assertEqual((w, h), png_size(data), f"entry {i}")


if __name__ == "__main__":
    unittest.main()
