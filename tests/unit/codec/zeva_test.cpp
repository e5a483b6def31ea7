// ZEVA frames: seeking, checking, key and delta decoding, and the message
// for each way a frame can be unusable.
#include <gtest/gtest.h>

#include <string>

#include "kernel/codec/zeva.h"
#include "kernel/fs/sample_media.h"
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

std::vector<uint16_t> xor_of(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
  std::vector<uint16_t> out(a.size());
  for (size_t i = 0; i < a.size(); ++i) out[i] = a[i] ^ b[i];
  return out;
}

void expect_picture(const std::vector<uint16_t>& px, const std::string& what) {
  for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(picture[i], expect_argb(px[i])) << what << " pixel " << i;
}

TEST(ZevaDecode, KeyThenDeltaFramesFollowTheVideo) {
  const u32 w = 20, h = 9;
  const auto p0 = pattern(w, h, 1), p1 = pattern(w, h, 2), p2 = pattern(w, h, 3);
  const Bytes f = zeva_file(w, h, {{1, run_bytes(runs_of(p0))},
                                   {0, run_bytes(runs_of(xor_of(p0, p1)))},
                                   {0, run_bytes(runs_of(xor_of(p1, p2)))},
                                   {1, run_bytes(runs_of(p0))}});
  const std::vector<uint16_t>* expect[] = {&p0, &p1, &p2, &p0};
  for (u32 k = 0; k < 4; ++k) {
    ASSERT_EQ(frame_result(f, w, h, k), "ok") << k;
    expect_picture(*expect[k], "frame " + std::to_string(k));
  }
}

TEST(ZevaDecode, DeltaAppliedTwiceRestoresThePicture) {
  const u32 w = 16, h = 16;
  const auto p0 = pattern(w, h, 5), p1 = pattern(w, h, 6);
  const Bytes f = zeva_file(w, h, {{1, run_bytes(runs_of(p0))}, {0, run_bytes(runs_of(xor_of(p0, p1)))}});
  ASSERT_EQ(frame_result(f, w, h, 0), "ok");
  ASSERT_EQ(frame_result(f, w, h, 1), "ok");
  expect_picture(p1, "after one delta");
  ASSERT_EQ(frame_result(f, w, h, 1), "ok");
  expect_picture(p0, "after the same delta twice");
}

TEST(ZevaDecode, AllZeroDeltaLeavesThePicture) {
  const u32 w = 8, h = 4;
  const auto p0 = pattern(w, h, 9);
  const Bytes f = zeva_file(w, h, {{1, run_bytes(runs_of(p0))}, {0, run_bytes({{32, 0}})}});
  ASSERT_EQ(frame_result(f, w, h, 0), "ok");
  ASSERT_EQ(frame_result(f, w, h, 1), "ok");
  expect_picture(p0, "zero delta");
}

TEST(ZevaDecode, AnyTypeOtherThanOneIsADelta) {
  const u32 w = 4, h = 1;
  const Bytes f = zeva_file(w, h, {{1, run_bytes({{4, 0x00FF}})}, {7, run_bytes({{4, 0x0F0F}})}});
  ASSERT_EQ(frame_result(f, w, h, 0), "ok");
  ASSERT_EQ(frame_result(f, w, h, 1), "ok");
  expect_picture(std::vector<uint16_t>(4, 0x0FF0), "type 7");
}

TEST(ZevaDecode, EveryFrameOfTheSampleVideo) {
  const SampleFile s = sample_zeva();
  ZevaHeader h{};
  ASSERT_EQ(zeva_read_header(s.data, s.size, &h), 1u);
  ASSERT_GT(h.frame_count, 1u);
  ASSERT_LE(h.width, kZevaMaxSide);
  ASSERT_LE(h.height, kZevaMaxSide);
  u32 end = 0;
  for (u32 k = 0; k < h.frame_count; ++k) {
    const char* fault = zeva_decode_frame(s.data, s.size, h.width, h.height, k, picture.data());
    ASSERT_EQ(fault, nullptr) << k << ": " << fault;
    ASSERT_EQ(zeva_find_frame(s.data, s.size, k, &end), nullptr);
  }
  // The file ends exactly after its last frame.
  EXPECT_EQ(end + kZevaFrameHeaderSize + (uint32_t{s.data[end + 1]} << 24 | s.data[end + 2] << 16 |
                                          s.data[end + 3] << 8 | s.data[end + 4]),
            s.size);
  EXPECT_EQ(zeva_find_frame(s.data, s.size, h.frame_count, &end), std::string("Frame data out of bounds"));
}

// ---- Failure messages, one file each ---------------------------------------

Bytes two_frames() {
  return zeva_file(2, 1, {{1, run_bytes({{2, 0x1234}})}, {0, run_bytes({{2, 0x0001}})}});
}

void set_length(Bytes& f, size_t frame_at, uint32_t len) {
  for (int i = 0; i < 4; ++i) f[frame_at + 1 + i] = static_cast<uint8_t>(len >> (24 - 8 * i));
}

TEST(ZevaFailures, HeaderOnlyFileHasNoFrameData) {
  const Bytes f = zeva_file(2, 1, {});
  ASSERT_EQ(f.size(), 12u);
  EXPECT_EQ(frame_result(f, 2, 1, 0), "Frame data out of bounds");
}

TEST(ZevaFailures, SeekInTooSmallFile) {
  Bytes f = zeva_file(2, 1, {{1, {}}});  // 17 bytes: frame 0 header, no data
  f.resize(16);
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Frame offset overflow");
}

TEST(ZevaFailures, ZeroLengthBeforeTheSoughtFrame) {
  Bytes f = two_frames();
  set_length(f, 12, 0);
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Frame seek overflow");
}

TEST(ZevaFailures, EarlierFrameRunningPastTheFile) {
  Bytes f = two_frames();
  set_length(f, 12, static_cast<uint32_t>(f.size()));
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Frame seek overflow");
  set_length(f, 12, 0xFFFFFFFFu);  // must not wrap round
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Frame seek overflow");
}

TEST(ZevaFailures, NextHeaderCutShortWhileSeeking) {
  Bytes f = two_frames();
  f.resize(20 + 3);  // frame 1 starts at 20; only three bytes of its header remain
  EXPECT_EQ(frame_result(f, 2, 1, 2), "Frame offset overflow");
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Frame data out of bounds");
}

TEST(ZevaFailures, FrameLengthZeroOrPastTheFile) {
  Bytes f = two_frames();
  // Frame 1 starts at 20 with three bytes of runs.
  set_length(f, 20, 0);
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Invalid frame length");
  set_length(f, 20, 4);
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Invalid frame length");
  set_length(f, 20, 0xFFFFFFFFu);
  EXPECT_EQ(frame_result(f, 2, 1, 1), "Invalid frame length");
  set_length(f, 20, 3);
  EXPECT_EQ(frame_result(f, 2, 1, 1), "ok");
}

TEST(ZevaFailures, KeyAndDeltaFramesWithTooFewPixels) {
  const Bytes key = zeva_file(3, 1, {{1, run_bytes({{2, 0x1234}})}});
  EXPECT_EQ(frame_result(key, 3, 1, 0), "Keyframe decode error");
  const Bytes delta = zeva_file(3, 1, {{1, run_bytes({{3, 0x1234}})}, {0, run_bytes({{1, 0x1}, {0, 0}})}});
  ASSERT_EQ(frame_result(delta, 3, 1, 0), "ok");
  EXPECT_EQ(frame_result(delta, 3, 1, 1), "Delta decode error");
  // The failed delta left the picture alone.
  expect_picture(std::vector<uint16_t>(3, 0x1234), "after a failed delta");
}

TEST(ZevaFailures, PictureLargerThanTheBuffers) {
  const Bytes f = zeva_file(513, 1, {{1, run_bytes({{255, 1}, {255, 1}, {3, 1}})}});
  EXPECT_EQ(frame_result(f, 513, 1, 0), "Frame too large");
}

TEST(ZevaHeaderRead, MagicAndFields) {
  const Bytes f = zeva_file(160, 134, {{1, run_bytes({{1, 1}})}});
  ZevaHeader h{};
  ASSERT_EQ(zeva_read_header(f.data(), static_cast<u32>(f.size()), &h), 1u);
  EXPECT_EQ(h.width, 160u);
  EXPECT_EQ(h.height, 134u);
  EXPECT_EQ(h.frame_count, 1u);
  Bytes bad = f;
  bad[0] = 'z';
  EXPECT_EQ(zeva_read_header(bad.data(), static_cast<u32>(bad.size()), &h), 0u);
  EXPECT_EQ(zeva_read_header(f.data(), 11, &h), 0u);
}

}  // namespace
}  // namespace tavlin
