// The media encoders against the format rules, and the sample files the
// build embeds (their pixels are checked through the decoders, the PNG
// against libpng in the image cache's tests).
#include <gtest/gtest.h>

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

TEST(Rgb565, PacksTheTopBitsOfEachChannel) {
  EXPECT_EQ(media::rgb565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(media::rgb565(255, 0, 0), 0xF800);
  EXPECT_EQ(media::rgb565(0, 255, 0), 0x07E0);
  EXPECT_EQ(media::rgb565(0, 0, 255), 0x001F);
  EXPECT_EQ(media::rgb565(7, 3, 7), 0x0000);
  EXPECT_EQ(media::rgb565(8, 4, 8), 0x0821);
}

TEST(YrfEncoder, RunsStopAt255AndAtEachColourChangeAndBadSizesAreRefused) {
  std::vector<uint16_t> pixels(600, 0x1234);  // a 301 x 2 picture
  pixels.push_back(0xABCD);
  pixels.push_back(0x1234);
  const Bytes expected = {'Y', 'R', 'F', '1', 0x01, 0x2D, 0, 2, 0, 0, 0, 15,  // 301 x 2, 15 bytes of runs
                          255, 0x12, 0x34, 255, 0x12, 0x34, 90, 0x12, 0x34, 1, 0xAB, 0xCD, 1, 0x12, 0x34};
  EXPECT_EQ(media::yrf_encode(301, 2, pixels), expected);
  Bytes empty;
  media::rle565_encode(pixels.data(), 0, empty);
  EXPECT_TRUE(empty.empty());
  EXPECT_TRUE(media::yrf_encode(0, 1, {}).empty());
  EXPECT_TRUE(media::yrf_encode(513, 1, std::vector<uint16_t>(513)).empty());
  EXPECT_TRUE(media::yrf_encode(1, 513, std::vector<uint16_t>(513)).empty());
  EXPECT_TRUE(media::yrf_encode(2, 2, std::vector<uint16_t>(3)).empty());
  EXPECT_EQ(media::yrf_encode(512, 512, std::vector<uint16_t>(512 * 512, 7)).size(), 12u + 3 * 1029);
}

TEST(ZevaEncoder, KeyFrameThenXorDeltasAndMismatchedFramesAreRefused) {
  const Bytes expected = {'Z', 'E', 'V', 'A', 0, 3, 0, 1, 0, 0, 0, 3,
                          1, 0, 0, 0, 6, 2, 0, 1, 1, 0, 2,            // key: 1 1 2
                          0, 0, 0, 0, 9, 1, 0, 0, 1, 0, 2, 1, 0, 0,   // delta: 0 (1^3) 0
                          0, 0, 0, 0, 3, 3, 0, 0};                    // delta: nothing moved
  EXPECT_EQ(media::zeva_encode(3, 1, {{1, 1, 2}, {1, 3, 2}, {1, 3, 2}}), expected);
  EXPECT_TRUE(media::zeva_encode(2, 2, {}).empty());
  EXPECT_TRUE(media::zeva_encode(2, 2, {{1, 2, 3, 4}, {1, 2, 3}}).empty());
  EXPECT_TRUE(media::zeva_encode(0, 2, {{}}).empty());
}

TEST(EmbeddedImage, YrfHeaderCountsTheRunBytes) {
  const SampleFile yrf = sample_yrf();
  ASSERT_GT(yrf.size, 12u);
  ASSERT_EQ(std::memcmp(yrf.data, "YRF1", 4), 0);
  const u8* p = yrf.data + 8;
  EXPECT_EQ(uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3], yrf.size - 12);
}

TEST(EmbeddedVideo, EveryFrameMoves) {
  std::vector<uint16_t> previous = media::draw_meadow_frame(media::kMeadowFrames - 1).to_rgb565();
  for (int k = 0; k < media::kMeadowFrames; ++k) {
    const std::vector<uint16_t> current = media::draw_meadow_frame(k).to_rgb565();
    size_t changed = 0;
    for (size_t i = 0; i < current.size(); ++i) changed += current[i] != previous[i];
    EXPECT_GT(changed, 100u) << "frame " << k << " barely differs from the one before";
    previous = current;
  }
}

}  // namespace
}  // namespace tavlin
