"""The image cache on the real ISO: once the Finder has shown the Desktop's
PNG as a thumbnail, every entry is either free or holds exactly the pixels
the host build decodes from its file."""
import os
import struct
import unittest

from desktop import dock_tile_centre
from harness import DesktopTestCase
from images import decoder_tool, host_decoded

ENTRIES = 4
SIDE = 512
ENTRY_SIZE = 16 + 4 * SIDE * SIDE
NODE_SIZE = 572
NODE_FORMAT = "<II28siii512sIIi"
DESKTOP_PNG = 7   # Tavlin.yrf, whose content is a PNG
FINDER_TILE = 0


class ImageCacheTest(DesktopTestCase):
    def node_bytes(self, index):
        raw = self.m.read_bytes("fs_nodes", NODE_SIZE, NODE_SIZE * index)
        fields = struct.unpack(NODE_FORMAT, raw)
        in_use, blob = fields[0], fields[9]
        self.assertEqual(in_use, 1, f"cached node {index} is not live")
        self.assertIn(blob, range(16))
        _, offset, size = struct.unpack("<III", self.m.read_bytes("fs_blobs", 12, 12 * blob))
        return self.m.read_bytes("fs_blob_pool", size, offset)

    def keys(self):
        return [struct.unpack("<i", self.m.read_bytes("image_cache", 4, i * ENTRY_SIZE))[0] for i in range(ENTRIES)]

    def test_entries_are_free_or_hold_the_pixels_the_host_decodes(self):
        if not os.path.exists(decoder_tool()):
            self.skipTest(f"{decoder_tool()} is not built (cmake --build <host build> --target decode_image)")
        m = self.m
        self.assertEqual(m.symbol_size("image_cache"), ENTRIES * ENTRY_SIZE)
        m.move_pointer_to(*dock_tile_centre(m, FINDER_TILE), tolerance=3)
        m.click()
        m.wait_until(lambda: DESKTOP_PNG in self.keys(), timeout=30, message="the Desktop's PNG cached")
        for i, key in enumerate(self.keys()):
            if key < 0:
                continue
            valid, w, h = struct.unpack("<III", m.read_bytes("image_cache", 12, i * ENTRY_SIZE + 4))
            pixels = list(struct.unpack(f"<{w * h}I", m.read_bytes("image_cache", 4 * w * h, i * ENTRY_SIZE + 16)))
            host_w, host_h, host_pixels = host_decoded(self.node_bytes(key))
            self.assertEqual((valid, w, h), (1, host_w, host_h), f"entry {i}")
            self.assertTrue(pixels == host_pixels, f"entry {i}: pixels differ")


if __name__ == "__main__":
    unittest.main()
