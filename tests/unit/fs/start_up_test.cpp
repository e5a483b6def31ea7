// The tree every start builds, its log lines, the orphan repair, the once-a-second Downloads scan, and the
// sample files through the system's own decoders: what the build's media tools draw is what the system shows
// (the Desktop's PNG is checked against libpng in the image cache's tests).
#include "kernel/codec/image_cache.h"
#include "kernel/codec/zeva.h"
#include "kernel/fs/media_scan.h"
#include "tools/media/scenes.h"
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

using term_test::kSamplePng;
using term_test::kSampleYrf;
using term_test::kSampleZeva;
using StartUp = FsTest;

// Orphans left by a careless repair are hung under the root; a parentless node is no orphan.
TEST_F(StartUp, BuildsTheStandardTreeFromNothingEachTimeLogsFailedAttachmentsAndHangsOrphansUnderTheRoot) {
  standard_tree();
  dir(fs_root, "Extra");
  fake_hw::clear_writes();
  standard_tree();
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Imported into Downloads: Quillon.yrf (15 bytes)\n[FS] Initialised. Nodes used: 8\n");
  EXPECT_EQ((std::vector<i32>{fs_root, fs_desktop_dir, static_cast<i32>(fs_node_count)}), (std::vector<i32>{1, 2, 8}));
  EXPECT_EQ(fs_blob_pool_used, kSampleYrf.size() + kSamplePng.size() + kSampleZeva.size());
  fake_hw::clear_writes();
  fs_populate({nullptr, 0}, {nullptr, 0}, {nullptr, 0});
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Failed to attach blob for: Quillon.yrf\n"
            "[FS] Warning: could not attach Tavlin.yrf blob\n"
            "[FS] Initialised. Nodes used: 8\n");
  for (i32 node : {6, 7, 8}) EXPECT_EQ((std::pair{fs_nodes[node].blob, fs_nodes[node].size}), (std::pair{-1, 0u}));
  const i32 documents = fs_find_child(fs_root, "Documents");
  const i32 box = dir(documents, "box"), a = file(box, "a"), b = dir(box, "b"), inner = file(b, "inner");
  const i32 far = file(documents, "far"), loose = fs_create(-1, "loose", kFsFile);
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

// The colour rule of the format: each channel's bits moved to the top of
// its byte, the low bits left zero, fully opaque.
std::vector<u32> expand565(const std::vector<uint16_t>& pixels) {
  std::vector<u32> out;
  for (uint16_t p : pixels) {
    const u32 r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    out.push_back(0xFF000000u | (r << 19) | (g << 10) | (b << 3));
  }
  return out;
}

// The lake and every frame of the video.
TEST_F(FsTest, SampleFilesShowWhatTheToolsDrew) {
  fs_init();
  image_cache_init();
  const DecodedImage* lake = image_get_decoded(fs_resolve_path("/Downloads/Quillon.yrf"));
  ASSERT_NE(lake, nullptr);
  EXPECT_EQ((std::pair{lake->width, lake->height}),
            (std::pair{static_cast<u32>(media::kLakeWidth), static_cast<u32>(media::kLakeHeight)}));
  EXPECT_EQ(std::vector<u32>(lake->pixels, lake->pixels + lake->width * lake->height),
            expand565(media::draw_lake_at_dusk().to_rgb565()));
  u32 length = 0;
  const u8* video = fs_blob_data(fs_resolve_path("/Desktop/DoruViza.zeva"), &length);
  ZevaHeader header{};
  ASSERT_EQ(zeva_read_header(video, length, &header), 1u);
  EXPECT_EQ((std::pair{header.width, header.height}), (std::pair<u32, u32>(media::kMeadowWidth, media::kMeadowHeight)));
  ASSERT_EQ(header.frame_count, static_cast<u32>(media::kMeadowFrames));
  std::vector<u32> out(header.width * header.height);
  for (u32 k = 0; k < header.frame_count; ++k) {
    ASSERT_EQ(zeva_decode_frame(video, length, header.width, header.height, k, out.data()), nullptr) << k;
    ASSERT_EQ(out, expand565(media::draw_meadow_frame(static_cast<int>(k)).to_rgb565())) << k;
  }
}

}  // namespace
}  // namespace tavlin::fs_test
