// The tree every start builds, its log lines, the orphan repair, and the
// once-a-second Downloads scan.
#include "kernel/fs/media_scan.h"
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

using term_test::kSamplePng;
using term_test::kSampleYrf;
using term_test::kSampleZeva;
using StartUp = FsTest;

TEST_F(StartUp, BuildsTheStandardTreeFromNothingEachTimeAndLogsFailedAttachments) {
  standard_tree();
  dir(fs_root, "Extra");
  fake_hw::clear_writes();
  standard_tree();
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Imported into Downloads: Quillon.yrf (15 bytes)\n[FS] Initialised. Nodes used: 8\n");
  const std::tuple<std::string, u32, i32, u32> expected[] = {  // name, kind, parent, has_blob
      {"/", kFsDir, -1, 0},           {"Desktop", kFsDir, 1, 0},     {"Documents", kFsDir, 1, 0},
      {"Downloads", kFsDir, 1, 0},    {"Applications", kFsDir, 1, 0}, {"Quillon.yrf", kFsFile, 4, 1},
      {"Tavlin.yrf", kFsFile, 2, 1},  {"DoruViza.zeva", kFsFile, 2, 0}};  // the video has no blob flag
  for (i32 i = 1; i <= 8; ++i)
    EXPECT_EQ(std::tuple(std::string(fs_nodes[i].name), fs_nodes[i].kind, fs_nodes[i].parent, fs_nodes[i].has_blob),
              expected[i - 1]);
  EXPECT_EQ((std::vector<i32>{fs_root, fs_desktop_dir, static_cast<i32>(fs_node_count)}), (std::vector<i32>{1, 2, 8}));
  EXPECT_EQ(fs_blob_pool_used, kSampleYrf.size() + kSamplePng.size() + kSampleZeva.size());
  fake_hw::clear_writes();
  fs_populate({nullptr, 0}, {nullptr, 0}, {nullptr, 0});
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Failed to attach blob for: Quillon.yrf\n"
            "[FS] Warning: could not attach Tavlin.yrf blob\n"
            "[FS] Initialised. Nodes used: 8\n");
  for (i32 node : {6, 7, 8}) EXPECT_EQ((std::pair{fs_nodes[node].blob, fs_nodes[node].size}), (std::pair{-1, 0u}));
}

TEST_F(StartUp, OrphansAreHungUnderTheRoot) {
  standard_tree();
  const i32 documents = fs_find_child(fs_root, "Documents");
  const i32 box = dir(documents, "box"), a = file(box, "a"), b = dir(box, "b"), inner = file(b, "inner");
  const i32 far = file(documents, "far"), loose = fs_create(-1, "loose", kFsFile);  // parentless is no orphan
  fs_unlink_child(documents, far);
  fs_nodes[far].parent = 500;  // out of the table
  fs_unlink_child(documents, box);  // its slot freed without its contents, as a careless repair would
  fs_node_zero(box);
  fs_node_count = fs_node_count - 1;
  fs_reattach_orphans();
  const std::vector<i32> top = children(fs_root);
  EXPECT_EQ(std::vector<i32>(top.end() - 3, top.end()), (std::vector<i32>{a, b, far}));
  EXPECT_EQ((std::pair{fs_nodes[inner].parent, fs_nodes[loose].parent}), (std::pair{b, -1}));
}

// Bytes in a blob not marked as such, as a download, a script or a plain copy leaves them.
i32 raw_file(i32 parent, const char* name, const std::vector<u8>& bytes) {
  const i32 node = blob_file(parent, name, bytes);
  fs_nodes[node].has_blob = 0;
  return node;
}

using MediaScan = StandardTreeTest;

// A scan runs once more than 99 ticks have passed, across the wrap; it marks
// and reports images once, reports videos each time, and leaves others alone.
TEST_F(MediaScan, MarksImagesOnceReportsVideosEachTimeEveryHundredTicksAndSkipsAMissingFolder) {
  fake_hw::clear_writes();
  last_scan = 0xFFFFFFF0u;
  const i32 png = raw_file(downloads, "photo", kSamplePng), yrf = raw_file(downloads, "pic", kSampleYrf);
  const i32 video = raw_file(downloads, "clip.zeva", kSampleZeva);
  const i32 half_png = raw_file(downloads, "half", std::vector<u8>(kSamplePng.begin(), kSamplePng.begin() + 7));
  const i32 text = file(downloads, "YRF1.txt", "YRF1 is not in a blob");
  const i32 elsewhere = raw_file(documents, "pic", kSampleYrf);
  dir(downloads, "Folder");
  for (auto [tick, last] : {std::pair{0x50u, 0xFFFFFFF0u}, {0x54u, 0x54u}, {0xB7u, 0x54u}, {0xB8u, 0xB8u}}) {
    pit_ticks = tick;
    downloads_media_scan();
    EXPECT_EQ(last_scan, last) << tick;
  }
  EXPECT_EQ(serial_log(),
            "[Media] Found image in Downloads: photo\n[Media] Found image in Downloads: pic\n"
            "[Media] Found video in Downloads: clip.zeva\n[Media] Found video in Downloads: clip.zeva\n");
  for (i32 node : {png, yrf}) EXPECT_EQ(fs_nodes[node].has_blob, 1u) << node;
  for (i32 node : {video, half_png, text, elsewhere}) EXPECT_EQ(fs_nodes[node].has_blob, 0u) << node;
  rename(downloads, "Elsewhere");
  fake_hw::clear_writes();
  pit_ticks = 0x200;
  downloads_media_scan();
  EXPECT_EQ((std::pair{last_scan, serial_log()}), (std::pair{0x200u, std::string()}));
}

}  // namespace
}  // namespace tavlin::fs_test
