// YRF images: runs filling rows and clipped at the end, and one file per refusal.
#include <gtest/gtest.h>

#include "kernel/codec/yrf.h"
#include "unit/codec/codec_nodes.h"

namespace tavlin {
namespace {

using namespace codec_test;

TEST(Yrf, EachFileIsDecodedOrRefused) {
  // 3 x 2: a run of 4 crosses the row end; a run of 200 is cut to 2; the
  // runs after the picture is full are ignored, even a cut one.
  Bytes clipped = yrf_file(3, 2, {{4, 0x07E0}, {200, 0x001F}, {9, 0xFFFF}});
  clipped.push_back(5);
  const uint32_t g = 0xFF00FC00, b = 0xFF0000F8;  // each channel's bits at the top of its byte
  const std::vector<RunSpec> plenty = {{255, 1}, {255, 1}, {255, 1}};
  Bytes bad_magic = yrf_file(1, 1, {{1, 1}});
  bad_magic[3] = '2';
  const Bytes two_runs = yrf_file(2, 1, {{1, 0x1111}, {1, 0x2222}});
  const struct {
    const char* name;
    Bytes file;
    u32 ok;
    std::vector<uint32_t> pixels;  // empty: not compared
  } cases[] = {{"clipped runs", clipped, 1, {g, g, g, g, b, b}}, {"control: 512x1", yrf_file(512, 1, plenty), 1},
               {"513x1", yrf_file(513, 1, plenty), 0}, {"1x513", yrf_file(1, 513, plenty), 0},
               {"0x1", yrf_file(0, 1, plenty), 0}, {"1x0", yrf_file(1, 0, plenty), 0}, {"magic YRF2", bad_magic, 0},
               {"header cut short", Bytes{'Y', 'R', 'F', '1', 0, 1, 0, 1, 0, 0, 0}, 0},
               {"too few pixels", yrf_file(3, 2, {{5, 0x1234}}), 0}, {"no runs", yrf_file(3, 2, {}), 0},
               {"a zero count ends the runs", yrf_file(3, 2, {{2, 0x1234}, {0, 0}, {9, 0x1234}}), 0},
               {"run cut after one byte", Bytes(two_runs.begin(), two_runs.end() - 2), 0},
               {"run cut after two bytes", Bytes(two_runs.begin(), two_runs.end() - 1), 0}};
  for (const auto& c : cases) {
    const Decoded d = decode_with(decode_yrf, c.file);
    EXPECT_EQ(d.ok, c.ok) << c.name;
    if (!c.pixels.empty()) EXPECT_EQ(d.pixels, c.pixels) << c.name;
  }
}

}  // namespace
}  // namespace tavlin
