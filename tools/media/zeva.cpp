// ZEVA encoder: a key frame, then XOR delta frames. Between frames most
// pixels stay put, so a delta is mostly long runs of zero.
#include "tools/media/zeva.h"

#include "tools/media/rle565.h"

namespace media {
namespace {

constexpr unsigned kMaxSide = 0xFFFF;

void put_frame(std::vector<uint8_t>& out, uint8_t type, const std::vector<uint16_t>& picture) {
  std::vector<uint8_t> runs;
  rle565_encode(picture.data(), picture.size(), runs);
  out.push_back(type);
  put_be32(out, static_cast<uint32_t>(runs.size()));
  out.insert(out.end(), runs.begin(), runs.end());
}

}  // namespace

std::vector<uint8_t> zeva_encode(unsigned width, unsigned height,
                                 const std::vector<std::vector<uint16_t>>& frames) {
  const size_t pixels = static_cast<size_t>(width) * height;
  if (frames.empty() || pixels == 0 || width > kMaxSide || height > kMaxSide) return {};
  for (const auto& frame : frames)
    if (frame.size() != pixels) return {};

  std::vector<uint8_t> out{'Z', 'E', 'V', 'A'};
  put_be16(out, width);
  put_be16(out, height);
  put_be32(out, static_cast<uint32_t>(frames.size()));
  put_frame(out, kZevaKeyFrame, frames[0]);
  std::vector<uint16_t> delta(pixels);
  for (size_t k = 1; k < frames.size(); ++k) {
    for (size_t i = 0; i < pixels; ++i) delta[i] = frames[k][i] ^ frames[k - 1][i];
    put_frame(out, kZevaDeltaFrame, delta);
  }
  return out;
}

}  // namespace media
