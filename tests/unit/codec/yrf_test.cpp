// YRF images and the bare run lists: clipping, early ends, cut runs, sizes.
#include <gtest/gtest.h>

#include "kernel/codec/image_cache.h"
#include "kernel/codec/yrf.h"
#include "unit/codec/codec_builders.h"

namespace tavlin {
namespace {

using namespace codec_test;

struct Image {
  u32 ok = 0, width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

Image decode(const Bytes& file) {
  Image d;
  d.ok = decode_yrf(file.data(), static_cast<u32>(file.size()), &d.width, &d.height);
  if (d.ok) d.pixels.assign(image_decode_scratch, image_decode_scratch + size_t{d.width} * d.height);
  return d;
}

TEST(Yrf, TwoPixelsRedThenBlue) {
  const Image d = decode(yrf_file(2, 1, {{1, 0xF800}, {1, 0x001F}}));
  ASSERT_EQ(d.ok, 1u);
  EXPECT_EQ(d.width, 2u);
  EXPECT_EQ(d.height, 1u);
  EXPECT_EQ(d.pixels, (std::vector<uint32_t>{0xFFF80000, 0xFF0000F8}));
}

TEST(Yrf, ColourConversionLeavesLowBitsClear) {
  EXPECT_EQ(rgb565_to_argb(0xFFFF), 0xFFF8FCF8u);
  EXPECT_EQ(rgb565_to_argb(0x0000), 0xFF000000u);
  for (uint32_t c = 0; c < 0x10000; c += 97) EXPECT_EQ(rgb565_to_argb(c), expect_argb(static_cast<uint16_t>(c)));
}

TEST(Yrf, RunsFillRowByRowAndClipAtTheEnd) {
  // 3 x 2: a run of 4 crosses the row end; a run of 200 is cut to 2; the
  // runs after the picture is full are ignored, even a cut one.
  Bytes f = yrf_file(3, 2, {{4, 0x07E0}, {200, 0x001F}, {9, 0xFFFF}});
  f.push_back(5);
  const Image d = decode(f);
  ASSERT_EQ(d.ok, 1u);
  const uint32_t g = expect_argb(0x07E0), b = expect_argb(0x001F);
  EXPECT_EQ(d.pixels, (std::vector<uint32_t>{g, g, g, g, b, b}));
}

TEST(Yrf, TooFewPixelsFail) {
  EXPECT_EQ(decode(yrf_file(3, 2, {{5, 0x1234}})).ok, 0u);
  EXPECT_EQ(decode(yrf_file(3, 2, {{2, 0x1234}, {0, 0}, {9, 0x1234}})).ok, 0u);  // a zero count ends the list
  EXPECT_EQ(decode(yrf_file(3, 2, {})).ok, 0u);
}

TEST(Yrf, RunCutAfterOneOrTwoBytesFails) {
  for (size_t keep : {1u, 2u}) {
    Bytes f = yrf_file(2, 1, {{1, 0x1111}, {1, 0x2222}});
    f.resize(f.size() - 3 + keep);
    EXPECT_EQ(decode(f).ok, 0u) << keep;
  }
}

TEST(Yrf, HeaderLimits) {
  const std::vector<RunSpec> plenty = {{255, 1}, {255, 1}, {255, 1}};
  EXPECT_EQ(decode(yrf_file(513, 1, plenty)).ok, 0u);
  EXPECT_EQ(decode(yrf_file(1, 513, plenty)).ok, 0u);
  EXPECT_EQ(decode(yrf_file(0, 1, plenty)).ok, 0u);
  EXPECT_EQ(decode(yrf_file(1, 0, plenty)).ok, 0u);
  EXPECT_EQ(decode(yrf_file(512, 1, plenty)).ok, 1u);
  Bytes bad_magic = yrf_file(1, 1, {{1, 1}});
  bad_magic[3] = '2';
  EXPECT_EQ(decode(bad_magic).ok, 0u);
  const Bytes short_file = {'Y', 'R', 'F', '1', 0, 1, 0, 1, 0, 0, 0};
  EXPECT_EQ(decode(short_file).ok, 0u);
}

TEST(Yrf, LargestPictureMatchesItsRuns) {
  std::vector<uint16_t> px(512 * 512);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint16_t>((i / 7) * 2654435761u >> 16);
  const Image d = decode(yrf_file(512, 512, runs_of(px)));
  ASSERT_EQ(d.ok, 1u);
  for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(d.pixels[i], expect_argb(px[i])) << i;
}

TEST(RleToU16, WritesValuesUnconverted) {
  const Bytes runs = run_bytes({{2, 0xABCD}, {1, 0x0001}});
  uint16_t out[3] = {};
  ASSERT_EQ(decode_rle_to_u16(runs.data(), static_cast<u32>(runs.size()), out, 3, 1), 1u);
  EXPECT_EQ(out[0], 0xABCD);
  EXPECT_EQ(out[1], 0xABCD);
  EXPECT_EQ(out[2], 0x0001);
  EXPECT_EQ(decode_rle_to_u16(runs.data(), static_cast<u32>(runs.size()), out, 2, 2), 0u);
}

TEST(RleToU16, EmptyDataOnlyForAnEmptyPicture) {
  uint16_t out[1] = {};
  EXPECT_EQ(decode_rle_to_u16(nullptr, 0, out, 0, 5), 1u);
  EXPECT_EQ(decode_rle_to_u16(nullptr, 0, out, 1, 1), 0u);
}

}  // namespace
}  // namespace tavlin
