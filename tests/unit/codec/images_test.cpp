// YRF files decoded or refused, the message for each unusable ZEVA frame (good frames are checked through the media
// player), and image_get_decoded over file nodes: which are images, format by content, hits, entries taken and freed.
#include <gtest/gtest.h>

#include <tuple>

#include "kernel/codec/image_cache.h"
#include "kernel/codec/yrf.h"
#include "kernel/codec/zeva.h"
#include "kernel/fs/tree_ops.h"
#include "unit/codec/codec_nodes.h"

namespace tavlin {
namespace {

using namespace codec_test;

TEST(Yrf, EachFileIsDecodedOrRefused) {
  // 3 x 2: a run of 4 crosses the row end, one of 200 is cut to 2; runs after the picture is full are ignored.
  Bytes clipped = yrf_file(3, 2, {{4, 0x07E0}, {200, 0x001F}, {9, 0xFFFF}});
  clipped.push_back(5);  // even a cut one
  const uint32_t g = 0xFF00FC00, b = 0xFF0000F8;  // each channel's bits at the top of its byte
  const std::vector<RunSpec> plenty = {{255, 1}, {255, 1}, {255, 1}};
  Bytes bad_magic = yrf_file(1, 1, {{1, 1}});
  bad_magic[3] = '2';
  const Bytes two_runs = yrf_file(2, 1, {{1, 0x1111}, {1, 0x2222}});
  const std::tuple<const char*, Bytes, std::vector<uint32_t>> cases[] = {  // what, file, pixels (none: refused)
      {"clipped runs", clipped, {g, g, g, g, b, b}},
      {"512x1", yrf_file(512, 1, plenty), std::vector<uint32_t>(512, expect_argb(1))},
      {"513x1", yrf_file(513, 1, plenty), {}}, {"1x513", yrf_file(1, 513, plenty), {}},
      {"0x1", yrf_file(0, 1, plenty), {}}, {"1x0", yrf_file(1, 0, plenty), {}}, {"magic YRF2", bad_magic, {}},
      {"header cut short", Bytes{'Y', 'R', 'F', '1', 0, 1, 0, 1, 0, 0, 0}, {}},
      {"too few pixels", yrf_file(3, 2, {{5, 0x1234}}), {}}, {"no runs", yrf_file(3, 2, {}), {}},
      {"a zero count ends the runs", yrf_file(3, 2, {{2, 0x1234}, {0, 0}, {9, 0x1234}}), {}},
      {"run cut after one byte", Bytes(two_runs.begin(), two_runs.end() - 2), {}},
      {"run cut after two bytes", Bytes(two_runs.begin(), two_runs.end() - 1), {}}};
  for (const auto& [what, file, pixels] : cases) {
    const Decoded d = decode_with(decode_yrf, file);
    EXPECT_EQ((std::pair{d.ok, d.pixels}), (std::pair{u32{!pixels.empty()}, pixels})) << what;
  }
}

std::vector<uint32_t> picture(kZevaMaxPixels);

// Frame k's outcome at the size the file's header gives.
std::string frame_result(const Bytes& f, u32 k) {
  const u32 w = f[4] << 8 | f[5], h = f[6] << 8 | f[7];
  const char* fault = zeva_decode_frame(f.data(), static_cast<u32>(f.size()), w, h, k, picture.data());
  return fault ? fault : "ok";
}

// Frames 0 and 1 of a 2x1 video at offsets 12 and 20, three bytes of runs each; the length field at `at` set.
Bytes two_frames(size_t at = 0, uint32_t length = 3, size_t cut = 0) {
  Bytes f = zeva_file(2, 1, {{1, run_bytes({{2, 0x1234}})}, {0, run_bytes({{2, 0x0001}})}});
  if (at)
    for (int i = 0; i < 4; ++i) f[at + 1 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
  f.resize(f.size() - cut);
  return f;
}

TEST(ZevaFailures, EachMessageFromItsOwnFileAndAFailedDeltaLeavesThePictureAlone) {
  Bytes no_data = zeva_file(2, 1, {{1, {}}});  // frame 0's header and nothing else
  no_data.pop_back();
  const std::tuple<const char*, Bytes, u32, const char*> cases[] = {  // what, file, frame, message
      {"control", two_frames(), 1, "ok"}, {"header only", zeva_file(2, 1, {}), 0, "Frame data out of bounds"},
      {"seek in a 16-byte file", no_data, 1, "Frame offset overflow"},
      {"zero length before the frame", two_frames(12, 0), 1, "Frame seek overflow"},
      {"earlier frame past the file", two_frames(12, 28), 1, "Frame seek overflow"},
      {"earlier frame length wrapping", two_frames(12, 0xFFFFFFFFu), 1, "Frame seek overflow"},
      {"next header cut short while seeking", two_frames(0, 3, 5), 2, "Frame offset overflow"},
      {"frame header cut short", two_frames(0, 3, 5), 1, "Frame data out of bounds"},
      {"frame length zero", two_frames(20, 0), 1, "Invalid frame length"},
      {"frame length past the file", two_frames(20, 4), 1, "Invalid frame length"},
      {"frame length wrapping", two_frames(20, 0xFFFFFFFFu), 1, "Invalid frame length"},
      {"key frame too few pixels", zeva_file(3, 1, {{1, run_bytes({{2, 0x1234}})}}), 0, "Keyframe decode error"},
      {"larger than the buffers", zeva_file(513, 1, {{1, run_bytes({{255, 1}, {255, 1}, {3, 1}})}}), 0,
       "Frame too large"},
  };
  for (const auto& [what, file, frame, message] : cases) EXPECT_EQ(frame_result(file, frame), message) << what;
  // A failed delta leaves the picture as the key frame made it.
  const Bytes f = zeva_file(3, 1, {{1, run_bytes({{3, 0x1234}})}, {0, run_bytes({{1, 0x1}, {0, 0}})}});
  ASSERT_EQ(frame_result(f, 0), "ok");
  EXPECT_EQ(frame_result(f, 1), "Delta decode error");
  EXPECT_EQ(std::vector<uint32_t>(picture.begin(), picture.begin() + 3), std::vector<uint32_t>(3, expect_argb(0x1234)));
}

Bytes tiny_yrf(uint16_t colour) { return yrf_file(2, 2, {{4, colour}}); }
Bytes tiny_png(uint8_t grey) { return craft_png(ihdr(2, 2, 8, 0), Bytes{0, grey, grey, 0, grey, grey}); }

TEST(ImageCache, WhichNodesCountAsImagesAndTheirFormatByContent) {
  fresh_tree_and_cache();
  const i32 notes = fs_create(-1, "notes.png", kFsFile);
  fs_set_content(notes, "just words");  // inline text is no image, whatever the name
  Bytes broken = tiny_png(1);
  broken.resize(30);
  const std::tuple<const char*, i32, uint32_t> cases[] = {  // what, node, the last pixel (0: no image)
      {"YRF content named .png", blob_file("picture.png", tiny_yrf(0xF800)), 0xFFF80000},
      {"PNG content named .yrf", blob_file("Tavlin.yrf", tiny_png(0x40)), 0xFF404040},
      // Without the blob flag only the name makes a file an image.
      {"flagless .yrf", blob_file("flagless.yrf", tiny_yrf(1), 0), expect_argb(1)},
      {"flagless .txt", blob_file("flagless.txt", tiny_yrf(1), 0), 0},
      {"flagless, named only .png", blob_file(".png", tiny_yrf(1), 0), 0},
      {"flagged .txt", blob_file("flagged.txt", tiny_yrf(2), 1), expect_argb(2)},
      {"inline text", notes, 0}, {"folder", fs_create(-1, "album.png", kFsDir), 0},
      {"no node", -1, 0}, {"outside the table", kFsMaxNodes, 0}, {"the reserved entry", 0, 0},
      {"shorter than any image", blob_file("short.yrf", Bytes{'Y', 'R', 'F', '1', 0, 1, 0, 1, 1, 0, 0}), 0},
      {"neither format", blob_file("text.png", Bytes(40, 'x')), 0},
      {"a broken PNG", blob_file("broken.png", broken), 0}};
  for (const auto& [what, node, last_pixel] : cases) {
    const DecodedImage* image = image_get_decoded(node);
    std::vector<i64> seen, want;  // empty: no image
    if (image) seen = {image->key, image->valid, image->width * image->height, image->pixels[3]};
    if (last_pixel) want = {node, 1, 4, last_pixel};
    EXPECT_EQ(seen, want) << what;
  }
}

TEST(ImageCache, HitsAreServedAsStoredUntilTheContentChanges) {
  fresh_tree_and_cache();
  const i32 node = blob_file("a.yrf", tiny_yrf(0x001F));
  DecodedImage* first = image_get_decoded(node);
  ASSERT_NE(first, nullptr);
  // Spoil the content and the scratch buffer: a hit must touch neither.
  u32 length = 0;
  std::memset(const_cast<u8*>(fs_blob_data(node, &length)), 0, length);
  image_decode_scratch[0] = 0x12345678;
  EXPECT_EQ(image_get_decoded(node), first);
  EXPECT_EQ(first->pixels[0], 0xFF0000F8u);  // pure blue
  EXPECT_EQ(image_decode_scratch[0], 0x12345678u);
  const Bytes red = tiny_yrf(0xF800);
  ASSERT_EQ(fs_set_image_content(node, red.data(), static_cast<u32>(red.size())), 1u);
  ASSERT_NE(image_get_decoded(node), nullptr);
  EXPECT_EQ(image_get_decoded(node)->pixels[0], 0xFFF80000u);
  fs_set_content(node, "now just text");
  EXPECT_EQ(image_get_decoded(node), nullptr);
}

// Four entries: a fifth image takes entry 0; a removed node frees its entry.
TEST(ImageCache, AFifthImageReplacesEntryZeroAndRemovalFreesAnEntry) {
  fresh_tree_and_cache();
  i32 nodes[6];
  for (int i = 0; i < 6; ++i) nodes[i] = blob_file("img" + std::to_string(i) + ".yrf", tiny_yrf(uint16_t(i + 1)));
  for (int i = 0; i < 5; ++i) ASSERT_NE(image_get_decoded(nodes[i]), nullptr);
  EXPECT_EQ(image_cache[0].key, nodes[4]);
  EXPECT_EQ(image_cache[0].pixels[0], expect_argb(5));
  fs_remove_recursive(nodes[2]);
  EXPECT_EQ((std::pair{image_cache[2].key, image_cache[2].valid}), (std::pair{-1, 0u}));
  EXPECT_EQ(image_get_decoded(nodes[5]), &image_cache[2]);
  EXPECT_EQ(image_cache[3].key, nodes[3]);
}

}  // namespace
}  // namespace tavlin
