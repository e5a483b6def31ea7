// The PNG decoder against libpng (on its files of every colour type and filter, and the corpus) and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "kernel/codec/png.h"
#include "unit/codec/codec_nodes.h"

namespace tavlin {
namespace {

using namespace codec_test;

Decoded decode(const Bytes& file) { return decode_with(png_decode, file); }

// Compares with libpng's pixels and says where the first difference is.
void expect_same_as_libpng(const Bytes& file, const std::string& what) {
  const Decoded want = libpng_read_argb(file), got = decode(file);
  ASSERT_EQ(want.ok, 1u) << what;
  ASSERT_EQ((std::vector<uint32_t>{got.ok, got.width, got.height}), (std::vector<uint32_t>{1, want.width, want.height}))
      << what;
  const auto diff = std::mismatch(got.pixels.begin(), got.pixels.end(), want.pixels.begin());
  EXPECT_TRUE(diff.first == got.pixels.end())
      << what << ": pixel " << (diff.first - got.pixels.begin()) << " is " << std::hex << *diff.first
      << ", libpng has " << *diff.second;
}

// Picture-like samples; a full palette, so that any byte is an index.
PngSpec spec_for(int colour_type, uint32_t w, uint32_t h, bool with_trns) {
  const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
  Bytes samples = image_data(w, h, w * 31 + h);
  samples.resize(size_t{w} * h * channels[colour_type]);
  PngSpec s{w, h, colour_type, samples, {}, {}, false, {}, PNG_ALL_FILTERS, 6};
  if (colour_type == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < 256; ++i) s.palette.push_back({png_byte(i * 3), png_byte(255 - i), png_byte(i ^ 0x55)});
    if (with_trns)
      for (int i = 0; i < 40; ++i) s.trns_alpha.push_back(static_cast<uint8_t>(i * 6));
  } else if (with_trns) {
    s.trns_key = true;  // the first pixel's colour, so that it occurs
    const bool rgb = colour_type == PNG_COLOR_TYPE_RGB;
    s.key = {0, s.samples[0], s.samples[rgb ? 1 : 0], s.samples[rgb ? 2 : 0], s.samples[0]};
  }
  return s;
}

TEST(PngDifferential, EveryColourTypeAndForcedFilterMatchesLibpng) {
  const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                         PNG_ALL_FILTERS};
  for (int type : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_GRAY_ALPHA,
                   PNG_COLOR_TYPE_RGB_ALPHA})
    for (bool with_trns : {false, true}) {
      if (with_trns && (type & PNG_COLOR_MASK_ALPHA)) continue;  // no tRNS beside an alpha channel
      for (int filter : filters) {
        PngSpec s = spec_for(type, 61, 37, with_trns);
        s.filters = filter;
        expect_same_as_libpng(libpng_write(s), "type " + std::to_string(type) + " trns " +
                                                   std::to_string(with_trns) + " filter " + std::to_string(filter));
      }
    }
  // The largest image, single rows and columns, and single pixels.
  const std::tuple<int, uint32_t, uint32_t, bool> sizes[] = {{PNG_COLOR_TYPE_RGB_ALPHA, 512, 512, false},
      {PNG_COLOR_TYPE_GRAY, 512, 1, false}, {PNG_COLOR_TYPE_GRAY, 1, 512, false},
      {PNG_COLOR_TYPE_RGB, 1, 1, true}, {PNG_COLOR_TYPE_PALETTE, 1, 1, true}};
  for (const auto& [type, w, h, with_trns] : sizes)
    expect_same_as_libpng(libpng_write(spec_for(type, w, h, with_trns)), std::to_string(w) + "x" + std::to_string(h));
}

// Files in the decoder's subset (8-bit, not interlaced, at most 512x512) match libpng; the rest are refused.
// The machine's own PNG files are compared in bench/codec_differential.cpp.
TEST(PngDifferential, CorpusFiles) {
  int in_subset = 0, outside = 0;
  for (const auto& e : std::filesystem::directory_iterator(TAVLIN_SOURCE_DIR "/tests/fuzz/corpus/png")) {
    const Bytes file = read_file(e.path());
    if (file.size() < 33 || !std::equal(file.begin(), file.begin() + 8, png_signature().begin())) continue;
    const uint32_t w = file[16] << 24 | file[17] << 16 | file[18] << 8 | file[19];
    const uint32_t h = file[20] << 24 | file[21] << 16 | file[22] << 8 | file[23];
    if (file[24] == 8 && file[28] == 0 && file[25] != 1 && file[25] != 5 && file[25] <= 6 && w <= 512 && h <= 512) {
      expect_same_as_libpng(file, e.path());
      ++in_subset;
    } else {
      EXPECT_EQ(decode(file).ok, 0u) << e.path();
      ++outside;
    }
  }
  EXPECT_GE(in_subset, 5);
  EXPECT_GE(outside, 3);
}

Bytes grey_rows(uint32_t w, uint32_t h) {
  Bytes raw;
  for (uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);
    for (uint32_t x = 0; x < w; ++x) raw.push_back(static_cast<uint8_t>(x + y));
  }
  return raw;
}

// A file of w x h grey rows under a header of the colour type given, 8 bits a sample.
Bytes grey_png(uint32_t w, uint32_t h, uint8_t colour = 0, uint8_t interlace = 0) {
  return craft_png(ihdr(w, h, 8, colour, interlace), grey_rows(w, h));
}

// A sound 4x4 grey file with the IDAT length field, after the signature and the 25 bytes of IHDR, rewritten.
Bytes with_idat_length(uint32_t length) {
  Bytes f = grey_png(4, 4);
  for (int i = 0; i < 4; ++i) f[33 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
  return f;
}

// Each crafted file decodes (to the pixels given, if any) or is refused.
TEST(PngCrafted, EachFileIsRefusedOrDecodedAndItsControlAccepted) {
  Bytes no_idat = grey_png(4, 4);
  Bytes bad_zlib = no_idat;
  bad_zlib[41] = 0x77;  // compression method 7
  no_idat.erase(no_idat.begin() + 33, no_idat.end() - 12);  // IHDR, then IEND
  Bytes one_row_short = grey_rows(8, 8);
  one_row_short.resize(one_row_short.size() - 9);
  Bytes short_ihdr = ihdr(4, 4, 8, 0);
  short_ihdr.pop_back();
  // What, file, whether it decodes, its pixels (none: not compared).
  const std::tuple<const char*, Bytes, u32, std::vector<uint32_t>> cases[] = {
      {"control: 4x4 grey", grey_png(4, 4), 1, {}}, {"control: 512x512", grey_png(512, 512), 1, {}},
      {"control: palette with PLTE", craft_png(ihdr(4, 4, 8, 3), grey_rows(4, 4), Bytes(3 * 256, 7)), 1, {}},
      // Right after a full palette, so that its stale colours would show.
      {"index past a short palette is opaque black", craft_png(ihdr(2, 1, 8, 3), Bytes{0, 0, 5}, Bytes{1, 2, 3}), 1,
       {0xFF010203, 0xFF000000}},
      {"unknown filter type counts as none", craft_png(ihdr(3, 1, 8, 0), Bytes{9, 10, 20, 30}), 1,
       {0xFF0A0A0A, 0xFF141414, 0xFF1E1E1E}},
      {"513x1", grey_png(513, 1), 0, {}}, {"1x513", grey_png(1, 513), 0, {}}, {"0x1", grey_png(0, 1), 0, {}},
      {"16-bit", craft_png(ihdr(4, 4, 16, 0), grey_rows(8, 4)), 0, {}}, {"interlaced", grey_png(4, 4, 0, 1), 0, {}},
      {"palette without PLTE", grey_png(4, 4, 3), 0, {}}, {"colour type 1", grey_png(4, 4, 1), 0, {}},
      {"colour type 5", grey_png(4, 4, 5), 0, {}}, {"colour type 7", grey_png(4, 4, 7), 0, {}},
      {"short IHDR", craft_png(short_ihdr, grey_rows(4, 4)), 0, {}},
      {"scanlines one row short", craft_png(ihdr(8, 8, 8, 0), one_row_short), 0, {}}, {"missing IDAT", no_idat, 0, {}},
      {"zlib method 7", bad_zlib, 0, {}}, {"signature only", png_signature(), 0, {}},
      {"chunk length past the file", with_idat_length(1000), 0, {}},
      {"control: IDAT length rewritten as it was",
       with_idat_length(static_cast<uint32_t>(zlib_compress(grey_rows(4, 4)).size())), 1, {}},
      // Lengths that wrap the reader's offset arithmetic.
      {"0xFFFFFFFF", with_idat_length(0xFFFFFFFFu), 0, {}}, {"0xFFFFFFF4", with_idat_length(0xFFFFFFF4u), 0, {}},
      {"0x80000000", with_idat_length(0x80000000u), 0, {}},
  };
  for (const auto& [what, file, ok, pixels] : cases) {
    const Decoded d = decode(file);
    EXPECT_EQ(d.ok, ok) << what;
    if (!pixels.empty()) EXPECT_EQ(d.pixels, pixels) << what;
  }
}

}  // namespace
}  // namespace tavlin
