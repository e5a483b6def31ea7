// The media encoders against the format rules, and the layout of the sample
// files the build embeds (their pixels are checked through the decoders).
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <vector>

#include "kernel/fs/sample_media.h"
#include "tools/media/rle565.h"
#include "tools/media/scenes.h"
#include "tools/media/yrf.h"
#include "tools/media/zeva.h"

namespace tavlin {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }
uint32_t be32(const uint8_t* p) { return (be16(p) << 16) | be16(p + 2); }

TEST(Rgb565, PacksTheTopBitsOfEachChannel) {
  EXPECT_EQ(media::rgb565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(media::rgb565(255, 0, 0), 0xF800);
  EXPECT_EQ(media::rgb565(0, 255, 0), 0x07E0);
  EXPECT_EQ(media::rgb565(0, 0, 255), 0x001F);
  EXPECT_EQ(media::rgb565(7, 3, 7), 0x0000);
  EXPECT_EQ(media::rgb565(8, 4, 8), 0x0821);
}

TEST(RunEncoding, RunsStopAt255AndAtEachColourChange) {
  std::vector<uint16_t> pixels(600, 0x1234);
  pixels.push_back(0xABCD);
  pixels.push_back(0x1234);
  Bytes out;
  media::rle565_encode(pixels.data(), pixels.size(), out);
  const Bytes expected = {255, 0x12, 0x34, 255, 0x12, 0x34, 90, 0x12, 0x34, 1, 0xAB, 0xCD, 1, 0x12, 0x34};
  EXPECT_EQ(out, expected);
  Bytes empty;
  media::rle565_encode(pixels.data(), 0, empty);
  EXPECT_TRUE(empty.empty());
}

TEST(YrfEncoder, TwoPixelPictureMatchesTheFormatByteForByte) {
  const Bytes file = media::yrf_encode(2, 1, {0xF800, 0x001F});
  const Bytes expected = {'Y', 'R', 'F', '1', 0, 2, 0, 1, 0, 0, 0, 6, 1, 0xF8, 0x00, 1, 0x00, 0x1F};
  EXPECT_EQ(file, expected);
}

TEST(YrfEncoder, RefusesSizesOutsideTheFormat) {
  EXPECT_TRUE(media::yrf_encode(0, 1, {}).empty());
  EXPECT_TRUE(media::yrf_encode(513, 1, std::vector<uint16_t>(513)).empty());
  EXPECT_TRUE(media::yrf_encode(1, 513, std::vector<uint16_t>(513)).empty());
  EXPECT_TRUE(media::yrf_encode(2, 2, std::vector<uint16_t>(3)).empty());
  EXPECT_EQ(media::yrf_encode(512, 512, std::vector<uint16_t>(512 * 512, 7)).size(), 12u + 3 * 1029);
}

TEST(ZevaEncoder, KeyFrameThenXorDeltas) {
  const std::vector<std::vector<uint16_t>> frames = {{1, 1, 2}, {1, 3, 2}, {1, 3, 2}};
  const Bytes file = media::zeva_encode(3, 1, frames);
  const Bytes expected = {'Z', 'E', 'V', 'A', 0, 3, 0, 1, 0, 0, 0, 3,
                          1, 0, 0, 0, 6, 2, 0, 1, 1, 0, 2,            // key: 1 1 2
                          0, 0, 0, 0, 9, 1, 0, 0, 1, 0, 2, 1, 0, 0,   // delta: 0 (1^3) 0
                          0, 0, 0, 0, 3, 3, 0, 0};                    // delta: nothing moved
  EXPECT_EQ(file, expected);
}

TEST(ZevaEncoder, RefusesMismatchedFrames) {
  EXPECT_TRUE(media::zeva_encode(2, 2, {}).empty());
  EXPECT_TRUE(media::zeva_encode(2, 2, {{1, 2, 3, 4}, {1, 2, 3}}).empty());
  EXPECT_TRUE(media::zeva_encode(0, 2, {{}}).empty());
}

std::vector<uint16_t> frame_pixels(int k) { return media::draw_meadow_frame(k).to_rgb565(); }

TEST(EmbeddedImage, YrfHeaderDescribesTheLakePicture) {
  const SampleFile yrf = sample_yrf();
  ASSERT_GT(yrf.size, 12u);
  ASSERT_EQ(std::memcmp(yrf.data, "YRF1", 4), 0);
  const uint32_t w = be16(yrf.data + 4), h = be16(yrf.data + 6);
  EXPECT_EQ(w, static_cast<uint32_t>(media::kLakeWidth));
  EXPECT_EQ(h, static_cast<uint32_t>(media::kLakeHeight));
  EXPECT_EQ(be32(yrf.data + 8), yrf.size - 12);
}

TEST(EmbeddedImage, PngDecodesWithLibpngToTheEmblem) {
  const SampleFile png = sample_png();
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data, png.size));
  EXPECT_EQ(image.width, static_cast<uint32_t>(media::kEmblemWidth));
  EXPECT_EQ(image.height, static_cast<uint32_t>(media::kEmblemHeight));
  image.format = PNG_FORMAT_RGB;
  Bytes rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(rgb, media::draw_emblem().to_rgb8());
  // The colour type and depth the system's decoder supports: 8-bit RGB.
  EXPECT_EQ(png.data[24], 8);
  EXPECT_EQ(png.data[25], 2);
  EXPECT_EQ(png.data[28], 0);  // not interlaced
}

TEST(EmbeddedVideo, IsAKeyFrameAndDeltasEndingExactlyAtTheEnd) {
  const SampleFile zeva = sample_zeva();
  ASSERT_GT(zeva.size, 12u);
  ASSERT_EQ(std::memcmp(zeva.data, "ZEVA", 4), 0);
  const uint32_t w = be16(zeva.data + 4), h = be16(zeva.data + 6), count = be32(zeva.data + 8);
  EXPECT_EQ(w, static_cast<uint32_t>(media::kMeadowWidth));
  EXPECT_EQ(h, static_cast<uint32_t>(media::kMeadowHeight));
  ASSERT_EQ(count, static_cast<uint32_t>(media::kMeadowFrames));

  size_t offset = 12;
  for (uint32_t k = 0; k < count; ++k) {
    ASSERT_LE(offset + 5, zeva.size) << k;
    const uint32_t length = be32(zeva.data + offset + 1);
    EXPECT_EQ(zeva.data[offset], k == 0 ? 1 : 0) << k;
    ASSERT_GE(length, 1u);
    ASSERT_LE(offset + 5 + length, zeva.size) << k;
    offset += 5 + length;
  }
  EXPECT_EQ(offset, zeva.size);
}

TEST(EmbeddedVideo, EveryFrameMoves) {
  std::vector<uint16_t> previous = frame_pixels(media::kMeadowFrames - 1);
  for (int k = 0; k < media::kMeadowFrames; ++k) {
    const std::vector<uint16_t> current = frame_pixels(k);
    size_t changed = 0;
    for (size_t i = 0; i < current.size(); ++i) changed += current[i] != previous[i];
    EXPECT_GT(changed, 100u) << "frame " << k << " barely differs from the one before";
    previous = current;
  }
}

}  // namespace
}  // namespace tavlin
