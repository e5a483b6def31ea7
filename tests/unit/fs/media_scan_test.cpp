// The once-a-second Downloads scan.
#include "kernel/core/timer.h"
#include "kernel/fs/media_scan.h"
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class MediaScan : public StandardTreeTest {
 protected:
  void SetUp() override {
    StandardTreeTest::SetUp();
    fake_hw::clear_writes();
    last_scan = 0;
  }
  // A file whose bytes are in a blob but not marked as such, as a download,
  // a script or a plain copy leaves it.
  i32 raw_file(i32 parent, const char* name, const std::vector<u8>& bytes) {
    const i32 node = blob_file(parent, name, bytes);
    fs_nodes[node].has_blob = 0;
    return node;
  }
  void scan_at(u32 tick) {
    pit_ticks = tick;
    downloads_media_scan();
  }
};

TEST_F(MediaScan, RunsOnlyAfterMoreThanNinetyNineTicksAcrossTheWrap) {
  for (auto [tick, last] : {std::pair{99u, 0u}, {100u, 100u}, {199u, 100u}}) {
    scan_at(tick);
    EXPECT_EQ(last_scan, last) << tick;
  }
  last_scan = 0xFFFFFFF0u;
  scan_at(0x50);  // 96 ticks later
  EXPECT_EQ(last_scan, 0xFFFFFFF0u);
  scan_at(0x54);  // 100 ticks later
  EXPECT_EQ(last_scan, 0x54u);
}

TEST_F(MediaScan, ImagesAreMarkedAndReportedOnceVideosOnEveryScanOthersLeftAlone) {
  const i32 png = raw_file(downloads, "photo", samples.png), yrf = raw_file(downloads, "pic", samples.yrf);
  const i32 video = raw_file(downloads, "clip.zeva", samples.zeva);
  const i32 half_png = raw_file(downloads, "half", std::vector<u8>(samples.png.begin(), samples.png.begin() + 7));
  const i32 other = raw_file(downloads, "other", {'G', 'I', 'F', '8', '9', 'a'});
  const i32 text = file(downloads, "YRF1.txt", "YRF1 is not in a blob");
  const i32 elsewhere = raw_file(documents, "pic", samples.yrf);
  dir(downloads, "Folder");
  scan_at(100);
  scan_at(200);
  EXPECT_EQ(serial_log(),
            "[Media] Found image in Downloads: photo\n"
            "[Media] Found image in Downloads: pic\n"
            "[Media] Found video in Downloads: clip.zeva\n"
            "[Media] Found video in Downloads: clip.zeva\n");
  for (i32 node : {png, yrf}) EXPECT_EQ(fs_nodes[node].has_blob, 1u) << node;
  for (i32 node : {video, half_png, other, text, elsewhere}) EXPECT_EQ(fs_nodes[node].has_blob, 0u) << node;
}

TEST_F(MediaScan, MissingDownloadsSkipsTheScan) {
  fs_nodes[fs_find_child(downloads, "Quillon.yrf")].has_blob = 0;
  rename(downloads, "Elsewhere");
  scan_at(100);
  EXPECT_EQ(last_scan, 100u);
  EXPECT_EQ(serial_log(), "");
}

}  // namespace
}  // namespace tavlin::fs_test
