// ZEVA frames: the message for each way a frame can be unusable (the
// pictures of well-formed frames are checked through the media player).
#include <gtest/gtest.h>

#include "kernel/codec/zeva.h"
#include "unit/codec/codec_builders.h"

namespace tavlin {
namespace {

using namespace codec_test;

std::vector<uint32_t> picture(kZevaMaxPixels);

std::string frame_result(const Bytes& f, u32 w, u32 h, u32 k) {
  const char* fault = zeva_decode_frame(f.data(), static_cast<u32>(f.size()), w, h, k, picture.data());
  return fault ? fault : "ok";
}

// Two frames of a 2x1 video, frame 0 at offset 12 and frame 1 at 20, each
// with three bytes of runs; the length field of the frame at `at` set.
Bytes two_frames(size_t at = 0, uint32_t length = 3, size_t cut = 0) {
  Bytes f = zeva_file(2, 1, {{1, run_bytes({{2, 0x1234}})}, {0, run_bytes({{2, 0x0001}})}});
  if (at)
    for (int i = 0; i < 4; ++i) f[at + 1 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
  f.resize(f.size() - cut);
  return f;
}

TEST(ZevaFailures, EachMessageFromItsOwnFile) {
  Bytes no_data = zeva_file(2, 1, {{1, {}}});  // frame 0's header and nothing else
  no_data.pop_back();
  const struct {
    const char* name;
    Bytes file;
    u32 w, h, k;
    const char* message;
  } cases[] = {
      {"control", two_frames(), 2, 1, 1, "ok"},
      {"header only", zeva_file(2, 1, {}), 2, 1, 0, "Frame data out of bounds"},
      {"seek in a 16-byte file", no_data, 2, 1, 1, "Frame offset overflow"},
      {"zero length before the frame", two_frames(12, 0), 2, 1, 1, "Frame seek overflow"},
      {"earlier frame past the file", two_frames(12, 28), 2, 1, 1, "Frame seek overflow"},
      {"earlier frame length wrapping", two_frames(12, 0xFFFFFFFFu), 2, 1, 1, "Frame seek overflow"},
      {"next header cut short while seeking", two_frames(0, 3, 5), 2, 1, 2, "Frame offset overflow"},
      {"frame header cut short", two_frames(0, 3, 5), 2, 1, 1, "Frame data out of bounds"},
      {"frame length zero", two_frames(20, 0), 2, 1, 1, "Invalid frame length"},
      {"frame length past the file", two_frames(20, 4), 2, 1, 1, "Invalid frame length"},
      {"frame length wrapping", two_frames(20, 0xFFFFFFFFu), 2, 1, 1, "Invalid frame length"},
      {"key frame too few pixels", zeva_file(3, 1, {{1, run_bytes({{2, 0x1234}})}}), 3, 1, 0, "Keyframe decode error"},
      {"larger than the buffers", zeva_file(513, 1, {{1, run_bytes({{255, 1}, {255, 1}, {3, 1}})}}), 513, 1, 0,
       "Frame too large"},
  };
  for (const auto& c : cases) EXPECT_EQ(frame_result(c.file, c.w, c.h, c.k), c.message) << c.name;
}

TEST(ZevaFailures, FailedDeltaLeavesThePictureAlone) {
  const Bytes f = zeva_file(3, 1, {{1, run_bytes({{3, 0x1234}})}, {0, run_bytes({{1, 0x1}, {0, 0}})}});
  ASSERT_EQ(frame_result(f, 3, 1, 0), "ok");
  EXPECT_EQ(frame_result(f, 3, 1, 1), "Delta decode error");
  EXPECT_EQ(std::vector<uint32_t>(picture.begin(), picture.begin() + 3), std::vector<uint32_t>(3, expect_argb(0x1234)));
}

}  // namespace
}  // namespace tavlin
