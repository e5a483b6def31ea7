// ZEVA frames: seeking, checking, key and delta decoding, and the message
// for each way a frame can be unusable.
#include <gtest/gtest.h>

#include <string>

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

std::vector<uint16_t> pattern(u32 w, u32 h, u32 seed) {
  std::vector<uint16_t> px(size_t{w} * h);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint16_t>(((i / 3) * 40503u + seed * 7919u) >> 4);
  return px;
}

Bytes frame_data(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b = {}) {
  std::vector<uint16_t> px = a;
  for (size_t i = 0; i < b.size(); ++i) px[i] ^= b[i];
  return run_bytes(runs_of(px));
}

void expect_picture(const std::vector<uint16_t>& px, const std::string& what) {
  for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(picture[i], expect_argb(px[i])) << what << " pixel " << i;
}

TEST(ZevaDecode, KeyAndDeltaFramesAndADeltaAppliedTwiceRestoringThePicture) {
  const u32 w = 20, h = 9;
  const auto p0 = pattern(w, h, 1), p1 = pattern(w, h, 2), p2 = pattern(w, h, 3);
  // Any type other than 1 is a delta.
  const Bytes f = zeva_file(w, h, {{1, frame_data(p0)}, {0, frame_data(p0, p1)}, {7, frame_data(p1, p2)},
                                   {1, frame_data(p0)}});
  const struct {
    u32 k;
    const std::vector<uint16_t>* picture;
  } steps[] = {{0, &p0}, {1, &p1}, {1, &p0}, {1, &p1}, {2, &p2}, {3, &p0}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    ASSERT_EQ(frame_result(f, w, h, steps[i].k), "ok") << "step " << i;
    expect_picture(*steps[i].picture, "step " + std::to_string(i) + ", frame " + std::to_string(steps[i].k));
  }
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
  expect_picture(std::vector<uint16_t>(3, 0x1234), "after a failed delta");
}

TEST(ZevaHeaderRead, RefusesAShortHeaderOrAnotherMagic) {
  Bytes f = zeva_file(2, 1, {});
  ZevaHeader h{};
  ASSERT_EQ(zeva_read_header(f.data(), 12, &h), 1u);
  EXPECT_EQ(zeva_read_header(f.data(), 11, &h), 0u);
  f[0] = 'z';
  EXPECT_EQ(zeva_read_header(f.data(), 12, &h), 0u);
}

}  // namespace
}  // namespace tavlin
