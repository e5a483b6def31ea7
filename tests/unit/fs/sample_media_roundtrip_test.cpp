// The sample files, written at build time by the media encoders, through the
// system's own decoders: what the tools draw is what the system shows.
#include <gtest/gtest.h>

#include <vector>

#include "kernel/codec/image_cache.h"
#include "kernel/codec/zeva.h"
#include "tools/media/scenes.h"
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

class SampleFilesInTheTree : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    fs_init();
    image_cache_init();
  }
};

TEST_F(SampleFilesInTheTree, ImagesShowTheirPictures) {
  // The Desktop's image is a PNG under a .yrf name, drawn in 8-bit RGB.
  std::vector<u32> emblem;
  const std::vector<uint8_t> rgb = media::draw_emblem().to_rgb8();
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    emblem.push_back(0xFF000000u | rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  const struct {
    const char* path;
    int width, height;
    std::vector<u32> pixels;
  } cases[] = {{"/Downloads/Quillon.yrf", media::kLakeWidth, media::kLakeHeight,
                expand565(media::draw_lake_at_dusk().to_rgb565())},
               {"/Desktop/Tavlin.yrf", media::kEmblemWidth, media::kEmblemHeight, emblem}};
  for (const auto& c : cases) {
    const DecodedImage* image = image_get_decoded(fs_resolve_path(c.path));
    ASSERT_NE(image, nullptr) << c.path;
    EXPECT_EQ(image->width, static_cast<u32>(c.width)) << c.path;
    EXPECT_EQ(image->height, static_cast<u32>(c.height)) << c.path;
    EXPECT_EQ(std::vector<u32>(image->pixels, image->pixels + image->width * image->height), c.pixels) << c.path;
  }
}

TEST_F(SampleFilesInTheTree, VideoPlaysEveryFrame) {
  u32 length = 0;
  const u8* video = fs_blob_data(fs_resolve_path("/Desktop/DoruViza.zeva"), &length);
  ASSERT_NE(video, nullptr);
  ZevaHeader header{};
  ASSERT_EQ(zeva_read_header(video, length, &header), 1u);
  EXPECT_EQ(header.width, static_cast<u32>(media::kMeadowWidth));
  EXPECT_EQ(header.height, static_cast<u32>(media::kMeadowHeight));
  ASSERT_EQ(header.frame_count, static_cast<u32>(media::kMeadowFrames));
  std::vector<u32> out(header.width * header.height);
  for (u32 k = 0; k < header.frame_count; ++k) {
    ASSERT_EQ(zeva_decode_frame(video, length, header.width, header.height, k, out.data()), nullptr) << k;
    ASSERT_EQ(out, expand565(media::draw_meadow_frame(static_cast<int>(k)).to_rgb565())) << k;
  }
}

}  // namespace
}  // namespace tavlin::fs_test
