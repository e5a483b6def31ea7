"""The file tree on the real ISO: the start-up log lines and the tree they
describe, read entry by entry from the running kernel's node table."""
import os
import struct
import time
import unittest

from desktop import DIR, FILE, MAX_NODES, NODE_FORMAT, NODE_SIZE, children, read_nodes
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

    def test_tree_holds_the_standard_folders_and_samples_by_entry(self):
        expected = [(1, "/", DIR, -1), (2, "Desktop", DIR, 1), (3, "Documents", DIR, 1),
                    (4, "Downloads", DIR, 1), (5, "Applications", DIR, 1),
                    (6, "Quillon.yrf", FILE, 4), (7, "Tavlin.yrf", FILE, 2),
                    (8, "DoruViza.zeva", FILE, 2)]
        for index, name, kind, parent in expected:
            node = self.nodes[index]
            self.assertEqual((node["in_use"], node["name"], node["kind"], node["parent"]),
                             (1, name, kind, parent), f"entry {index}")
        self.assertEqual([n["in_use"] for n in self.nodes[9:]], [0] * (MAX_NODES - 9))
        self.assertEqual(self.nodes[0]["in_use"], 1)
        self.assertEqual(children(self.nodes, 1), [2, 3, 4, 5])
        self.assertEqual(children(self.nodes, 2), [7, 8])
        self.assertEqual(children(self.nodes, 4), [6])
        self.assertEqual(self.m.read_u32("fs_node_count"), 8)
        self.assertEqual(self.m.read_i32("fs_root"), 1)
        self.assertEqual(self.m.read_i32("fs_desktop_dir"), 2)

    def test_sample_files_hold_the_built_media(self):
        files = {6: ("sample.yrf", 1), 7: ("sample.png", 1), 8: ("sample.zeva", 0)}
        used = 0
        for index, (name, has_blob) in files.items():
            data, node = sample(name), self.nodes[index]
            self.assertEqual((node["size"], node["has_blob"]), (len(data), has_blob), name)
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
