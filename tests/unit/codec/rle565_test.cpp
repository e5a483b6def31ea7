// The run-length formats: YRF images decoded or refused, and the message for each way a ZEVA frame can be
// unusable (the pictures of well-formed frames are checked through the media player).
#include <gtest/gtest.h>

#include <tuple>

#include "kernel/codec/yrf.h"
#include "kernel/codec/zeva.h"
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
      {"control", two_frames(), 1, "ok"},
      {"header only", zeva_file(2, 1, {}), 0, "Frame data out of bounds"},
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

}  // namespace
}  // namespace tavlin
