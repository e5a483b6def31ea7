// Shared set-up for the file-tree tests: a bare table with only a root, the
// standard tree with small sample files, tree builders, the serial log, and
// the consistency check every test ends with.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/fs.h"

namespace tavlin::fs_test {

// What the kernel logged, without the carriage returns.
inline std::string serial_log() {
  std::string out;
  for (auto c : fake_hw::bytes_written_to(0x3F8))
    if (c != '\r') out += static_cast<char>(c);
  return out;
}

// Small stand-ins for the embedded files: start-up only copies their bytes.
struct Samples {
  std::vector<u8> yrf{'Y', 'R', 'F', '1', 0, 1, 0, 1, 0, 0, 0, 3, 1, 0xF8, 0x00};
  std::vector<u8> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<u8> zeva{'Z', 'E', 'V', 'A', 0, 1, 0, 1};
  static SampleFile of(const std::vector<u8>& v) { return {v.data(), static_cast<u32>(v.size())}; }
};

inline i32 dir(i32 parent, const char* name) { return fs_create(parent, name, kFsDir); }
inline i32 file(i32 parent, const char* name, const char* text = "") {
  const i32 node = fs_create(parent, name, kFsFile);
  if (node >= 0) fs_set_content(node, text);
  return node;
}
inline i32 blob_file(i32 parent, const char* name, const std::vector<u8>& bytes) {
  const i32 node = fs_create(parent, name, kFsFile);
  if (node >= 0) fs_set_image_content(node, bytes.data(), static_cast<u32>(bytes.size()));
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
  if (fs_nodes[0].in_use != 1 || fs_nodes[0].parent != -1 || fs_nodes[0].first_child != -1) out << "entry 0; ";
  std::vector<int> listed(kFsMaxNodes, 0);
  u32 live = 0;
  for (i32 p = 0; p < kFsMaxNodes; ++p) {
    int steps = 0;
    for (i32 at = fs_nodes[p].in_use ? fs_nodes[p].first_child : -1; at != -1; at = fs_nodes[at].next_sibling) {
      if (++steps > kFsMaxNodes || at < 0 || at >= kFsMaxNodes || !fs_nodes[at].in_use) {
        out << "list of " << p << " is broken; ";
        break;
      }
      if (fs_nodes[at].parent != p) out << "child " << at << " of " << p << " names another parent; ";
      ++listed[at];
    }
  }
  std::set<i32> blobs;
  for (i32 i = 1; i < kFsMaxNodes; ++i) {
    const FsNode& n = fs_nodes[i];
    if (!n.in_use) continue;
    ++live;
    if (listed[i] > 1 || (n.parent != -1 && listed[i] != 1)) out << "node " << i << " is listed " << listed[i] << "; ";
    if (n.kind == kFsFile && n.first_child != -1) out << "file " << i << " has children; ";
    if (n.blob == -1) continue;
    if (n.blob < 0 || n.blob >= kFsMaxBlobs || !fs_blobs[n.blob].in_use || !blobs.insert(n.blob).second ||
        fs_blobs[n.blob].size != n.size)
      out << "node " << i << " has a bad blob; ";
  }
  for (i32 b = 0; b < kFsMaxBlobs; ++b)
    if (fs_blobs[b].in_use && (!blobs.count(b) || fs_blobs[b].offset + fs_blobs[b].size > fs_blob_pool_used))
      out << "blob " << b << " is unowned or beyond the pool; ";
  if (fs_node_count != live) out << "fs_node_count " << fs_node_count << " but " << live << " live; ";
  return out.str();
}

// Starts from a bare tree (only the root "/" in entry 1) with a quiet serial
// port and ends with the consistency check.
class FsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_hw::reset();
    fake_hw::set_default(0x3FD, 0x20);  // the transmitter is always empty
    fs_tables_reset();
    fs_nodes[1].in_use = 1;
    fs_nodes[1].kind = kFsDir;
    str_copy(fs_nodes[1].name, "/", kFsNameCap);
    fs_node_count = 1;
    fs_root = 1;
    fs_desktop_dir = kFsNone;
  }
  void TearDown() override { EXPECT_EQ(table_problems(), ""); }

  void standard_tree() {
    fs_populate(Samples::of(samples.yrf), Samples::of(samples.png), Samples::of(samples.zeva));
  }
  // A rename as a careless caller does it: no clash or validity check.
  static void rename(i32 node, const char* name) { str_copy(fs_nodes[node].name, name, kFsNameCap); }

  Samples samples;
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
