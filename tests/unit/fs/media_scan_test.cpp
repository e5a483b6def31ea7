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
    pit_ticks = 0;
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
  fs_nodes[fs_find_child(downloads, "Quillon.yrf")].has_blob = 0;
  scan_at(99);
  EXPECT_EQ(serial_log(), "");
  EXPECT_EQ(last_scan, 0u);
  scan_at(100);
  EXPECT_EQ(last_scan, 100u);
  EXPECT_EQ(serial_log(), "[Media] Found image in Downloads: Quillon.yrf\n");
  scan_at(199);
  EXPECT_EQ(last_scan, 100u);
  last_scan = 0xFFFFFFF0u;
  scan_at(0x50);  // 96 ticks later
  EXPECT_EQ(last_scan, 0xFFFFFFF0u);
  scan_at(0x54);  // 100 ticks later
  EXPECT_EQ(last_scan, 0x54u);
}

TEST_F(MediaScan, ImagesAreMarkedAndReportedOnceVideosOnEveryScan) {
  const i32 png = raw_file(downloads, "photo", samples.png);
  const i32 video = raw_file(downloads, "clip.zeva", samples.zeva);
  scan_at(100);
  scan_at(200);
  EXPECT_EQ(serial_log(),
            "[Media] Found image in Downloads: photo\n"
            "[Media] Found video in Downloads: clip.zeva\n"
            "[Media] Found video in Downloads: clip.zeva\n");
  EXPECT_EQ(fs_nodes[png].has_blob, 1u);
  EXPECT_EQ(fs_nodes[video].has_blob, 0u);
}

TEST_F(MediaScan, ShortForeignOrMissingContentIsLeftAlone) {
  const i32 half_png = raw_file(downloads, "half", std::vector<u8>(samples.png.begin(), samples.png.begin() + 7));
  const i32 tiny = raw_file(downloads, "tiny", {'Y', 'R', 'F'});
  const i32 other = raw_file(downloads, "other", {'G', 'I', 'F', '8', '9', 'a'});
  const i32 text = file(downloads, "YRF1.txt", "YRF1 is not in a blob");
  const i32 elsewhere = raw_file(documents, "pic", samples.yrf);
  const i32 released = raw_file(downloads, "gone", samples.yrf);
  fs_blob_release(released);
  fs_nodes[released].size = 0;
  dir(downloads, "Folder");
  scan_at(100);
  EXPECT_EQ(serial_log(), "");
  for (i32 node : {half_png, tiny, other, text, elsewhere, released}) EXPECT_EQ(fs_nodes[node].has_blob, 0u) << node;
}

TEST_F(MediaScan, MissingDownloadsSkipsTheScan) {
  bare_tree();
  scan_at(100);
  EXPECT_EQ(last_scan, 100u);
  EXPECT_EQ(serial_log(), "");
}

}  // namespace
}  // namespace tavlin::fs_test
