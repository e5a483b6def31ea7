// The sample files the build writes with the media encoders, through the
// system's own decoders: what the tools draw is what the system shows (the
// PNG is checked against libpng in the image cache's tests).
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

// The Desktop's image is a PNG under a .yrf name, drawn in 8-bit RGB; every
// frame of the video is decoded.
TEST_F(FsTest, SampleFilesShowWhatTheToolsDrew) {
  fs_init();
  image_cache_init();
  std::vector<u32> emblem;
  const std::vector<uint8_t> rgb = media::draw_emblem().to_rgb8();
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    emblem.push_back(0xFF000000u | rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  const std::tuple<const char*, u32, u32, std::vector<u32>> images[] = {
      {"/Downloads/Quillon.yrf", media::kLakeWidth, media::kLakeHeight,
       expand565(media::draw_lake_at_dusk().to_rgb565())},
      {"/Desktop/Tavlin.yrf", media::kEmblemWidth, media::kEmblemHeight, emblem}};
  for (const auto& [path, width, height, pixels] : images) {
    const DecodedImage* image = image_get_decoded(fs_resolve_path(path));
    ASSERT_NE(image, nullptr) << path;
    EXPECT_EQ((std::pair{image->width, image->height}), (std::pair{width, height})) << path;
    EXPECT_EQ(std::vector<u32>(image->pixels, image->pixels + width * height), pixels) << path;
  }
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
