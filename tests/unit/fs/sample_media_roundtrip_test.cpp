// The encoders and the sample files through the system's own decoders: what
// the tools write is what the image cache and the video decoder show.
#include <gtest/gtest.h>

#include <vector>

#include "kernel/codec/image_cache.h"
#include "kernel/codec/yrf.h"
#include "kernel/codec/zeva.h"
#include "tools/media/scenes.h"
#include "tools/media/yrf.h"
#include "tools/media/zeva.h"
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

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

std::vector<u32> opaque_rgb(const std::vector<uint8_t>& rgb) {
  std::vector<u32> out;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    out.push_back(0xFF000000u | (rgb[i] << 16) | (rgb[i + 1] << 8) | rgb[i + 2]);
  return out;
}

std::vector<u32> pixels_of(const DecodedImage* image) {
  return std::vector<u32>(image->pixels, image->pixels + image->width * image->height);
}

TEST(YrfRoundTrip, EncodedPatternDecodesToTheSamePixels) {
  const unsigned w = 37, h = 300;  // rows of odd length, runs across row ends
  std::vector<uint16_t> pixels;
  for (unsigned i = 0; i < w * h; ++i) pixels.push_back(static_cast<uint16_t>((i / 290) * 2654435761u >> 7));
  const std::vector<uint8_t> file = media::yrf_encode(w, h, pixels);
  u32 out_w = 0, out_h = 0;
  ASSERT_EQ(decode_yrf(file.data(), static_cast<u32>(file.size()), &out_w, &out_h), 1u);
  EXPECT_EQ(out_w, w);
  EXPECT_EQ(out_h, h);
  EXPECT_EQ(std::vector<u32>(image_decode_scratch, image_decode_scratch + w * h), expand565(pixels));
}

TEST(ZevaRoundTrip, EveryFrameDecodesInOrder) {
  const unsigned w = 20, h = 9;
  std::vector<std::vector<uint16_t>> frames;
  for (unsigned k = 0; k < 6; ++k) {
    std::vector<uint16_t> f(w * h, 0x2104);
    for (unsigned i = 0; i < 12; ++i) f[(k * 7 + i) % (w * h)] = static_cast<uint16_t>(0xF800 | k);
    frames.push_back(f);
  }
  const std::vector<uint8_t> file = media::zeva_encode(w, h, frames);
  std::vector<u32> out(w * h);
  for (unsigned k = 0; k < frames.size(); ++k) {
    ASSERT_EQ(zeva_decode_frame(file.data(), static_cast<u32>(file.size()), w, h, k, out.data()), nullptr) << k;
    EXPECT_EQ(out, expand565(frames[k])) << k;
  }
}

class SampleFilesInTheTree : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    fs_init();
    image_cache_init();
  }
};

TEST_F(SampleFilesInTheTree, DownloadsImageShowsTheLake) {
  const DecodedImage* image = image_get_decoded(fs_resolve_path("/Downloads/Quillon.yrf"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, static_cast<u32>(media::kLakeWidth));
  EXPECT_EQ(image->height, static_cast<u32>(media::kLakeHeight));
  EXPECT_EQ(pixels_of(image), expand565(media::draw_lake_at_dusk().to_rgb565()));
}

TEST_F(SampleFilesInTheTree, DesktopImageIsAPngUnderAYrfName) {
  const DecodedImage* image = image_get_decoded(fs_resolve_path("/Desktop/Tavlin.yrf"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, static_cast<u32>(media::kEmblemWidth));
  EXPECT_EQ(pixels_of(image), opaque_rgb(media::draw_emblem().to_rgb8()));
}

TEST_F(SampleFilesInTheTree, VideoPlaysEveryFrame) {
  u32 length = 0;
  const u8* video = fs_blob_data(fs_resolve_path("/Desktop/DoruViza.zeva"), &length);
  ASSERT_NE(video, nullptr);
  ZevaHeader header{};
  ASSERT_EQ(zeva_read_header(video, length, &header), 1u);
  ASSERT_EQ(header.frame_count, static_cast<u32>(media::kMeadowFrames));
  std::vector<u32> out(header.width * header.height);
  for (u32 k = 0; k < header.frame_count; ++k) {
    ASSERT_EQ(zeva_decode_frame(video, length, header.width, header.height, k, out.data()), nullptr) << k;
    ASSERT_EQ(out, expand565(media::draw_meadow_frame(static_cast<int>(k)).to_rgb565())) << k;
  }
}

TEST_F(SampleFilesInTheTree, RemovalForgetsTheDecodedImage) {
  const i32 downloads = fs_resolve_path("/Downloads");
  const i32 node = fs_resolve_path("/Downloads/Quillon.yrf");
  const DecodedImage* image = image_get_decoded(node);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->key, node);
  ASSERT_EQ(fs_delete(downloads, "Quillon.yrf"), 1u);
  EXPECT_EQ(image->key, -1);
  EXPECT_EQ(image->valid, 0u);
  // A new node in the same slot must not be handed the old picture.
  const i32 reborn = blob_file(downloads, "Quillon.yrf", {1, 2, 3});
  EXPECT_EQ(reborn, node);
  EXPECT_EQ(image_get_decoded(reborn), nullptr);
}

}  // namespace
}  // namespace tavlin::fs_test
