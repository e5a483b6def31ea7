// Shared set-up for the file-tree tests: a bare table or the standard tree,
// tree builders, and the consistency check every test ends with.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "unit/apps/terminal_fixture.h"

namespace tavlin::fs_test {

using term_test::serial_log;
using term_test::standard_tree;

inline i32 dir(i32 parent, const char* name) { return fs_create(parent, name, kFsDir); }
inline i32 file(i32 parent, const char* name, const char* text = "") {
  const i32 node = fs_create(parent, name, kFsFile);
  fs_set_content(node, text);
  return node;
}
inline i32 blob_file(i32 parent, const char* name, const std::vector<u8>& bytes) {
  const i32 node = fs_create(parent, name, kFsFile);
  fs_set_image_content(node, bytes.data(), static_cast<u32>(bytes.size()));
  return node;
}
inline std::vector<i32> children(i32 node) {
  std::vector<i32> out;
  for (i32 at = fs_nodes[node].first_child; at >= 0 && out.size() < 200; at = fs_nodes[at].next_sibling)
    out.push_back(at);
  return out;
}

// Every rule the tables must keep after any operation; empty when sound.
inline std::string table_problems() {
  std::ostringstream out;
  std::vector<int> listed(kFsMaxNodes, 0);
  for (i32 p = 0; p < kFsMaxNodes; ++p) {
    int steps = 0;
    for (i32 at = fs_nodes[p].in_use ? fs_nodes[p].first_child : -1; at != -1; at = fs_nodes[at].next_sibling) {
      if (++steps > kFsMaxNodes || at < 0 || at >= kFsMaxNodes || !fs_nodes[at].in_use || fs_nodes[at].parent != p) {
        out << "list of " << p << " is broken at " << at << "; ";
        break;
      }
      ++listed[at];
    }
  }
  std::set<i32> blobs;
  u32 live = 0;
  for (i32 i = 1; i < kFsMaxNodes; ++i) {
    const FsNode& n = fs_nodes[i];
    live += n.in_use;
    if (n.in_use && (listed[i] > 1 || (n.parent != -1 && listed[i] != 1))) out << "node " << i << " is misfiled; ";
    if (n.in_use && n.blob != -1 &&
        (n.blob >= kFsMaxBlobs || !fs_blobs[n.blob].in_use || fs_blobs[n.blob].size != n.size ||
         !blobs.insert(n.blob).second))
      out << "node " << i << " has a bad blob; ";
  }
  for (i32 b = 0; b < kFsMaxBlobs; ++b)
    if (fs_blobs[b].in_use && (!blobs.count(b) || fs_blobs[b].offset + fs_blobs[b].size > fs_blob_pool_used))
      out << "blob " << b << " is unowned or beyond the pool; ";
  if (fs_node_count != live) out << "fs_node_count " << fs_node_count << " but " << live << " live; ";
  return out.str();
}

// Starts from a bare tree (the root "/" in entry 1) with a quiet serial port.
class FsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_hw::reset();
    fs_set_removal_listener(nullptr);
    fs_tables_reset();
    fs_nodes[1] = FsNode{.in_use = 1, .kind = kFsDir, .name = "/", .parent = -1, .first_child = -1,
                         .next_sibling = -1, .blob = -1};
    fs_node_count = 1;
    fs_root = 1;
  }
  void TearDown() override { EXPECT_EQ(table_problems(), ""); }
  // A rename as a careless caller does it: no clash or validity check.
  static void rename(i32 node, const char* name) { str_copy(fs_nodes[node].name, name, kFsNameCap); }
};

// Tests that start from the standard tree, with its folders at hand.
class StandardTreeTest : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    standard_tree();
    desktop = fs_desktop_dir;
    documents = fs_find_child(fs_root, "Documents");
    downloads = fs_find_child(fs_root, "Downloads");
  }
  i32 desktop = -1, documents = -1, downloads = -1;
};

}  // namespace tavlin::fs_test
