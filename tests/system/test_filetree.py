"""The file tree on the real ISO: the start-up log lines, the built media
in the running kernel's blob pool, and the Downloads scan at work. The
tree's layout itself is checked by the unit tests."""
import os
import struct
import time
import unittest

from desktop import NODE_FORMAT, NODE_SIZE, read_nodes
from harness import DesktopTestCase, build_dir

BLOB_FORMAT = "<III"


def sample(name):
    with open(os.path.join(build_dir(), "media", name), "rb") as f:
        return f.read()


class FileTreeTest(DesktopTestCase):
    @classmethod
    def setUpClass(cls):
        assert struct.calcsize(NODE_FORMAT) == NODE_SIZE
        super().setUpClass()
        cls.nodes = read_nodes(cls.m)

    def test_start_up_logs_the_import_and_the_node_count(self):
        log = self.m.serial()
        size = len(sample("sample.yrf"))
        self.assertIn(f"[MediaAuto] Imported into Downloads: Quillon.yrf ({size} bytes)\r\n"
                      "[FS] Initialised. Nodes used: 8\r\n", log)

    def test_sample_files_hold_the_built_media(self):
        files = {6: ("sample.yrf", "Quillon.yrf", 1), 7: ("sample.png", "Tavlin.yrf", 1),
                 8: ("sample.zeva", "DoruViza.zeva", 0)}
        used = 0
        for index, (name, shown, has_blob) in files.items():
            data, node = sample(name), self.nodes[index]
            self.assertEqual((node["name"], node["size"], node["has_blob"]), (shown, len(data), has_blob), name)
            self.assertIn(node["blob"], range(16), name)
            in_use, offset, size = struct.unpack(
                BLOB_FORMAT, self.m.read_bytes("fs_blobs", 12, 12 * node["blob"]))
            self.assertEqual((in_use, size), (1, len(data)), name)
            self.assertEqual(self.m.read_bytes("fs_blob_pool", size, offset), data, name)
            used += len(data)
        self.assertEqual(self.m.read_u32("fs_blob_pool_used"), used)

    def test_media_scan_runs_and_finds_nothing_new(self):
        # Quillon.yrf arrived marked as an image, so the scans have nothing
        # to report; they do run once a second.
        m = self.m
        first = m.read_u32("last_scan")
        time.sleep(2.5)
        self.assertGreater(m.read_u32("last_scan"), first)
        self.assertNotIn("[Media] Found", m.serial())


if __name__ == "__main__":
    unittest.main()
