// ZEVA video: "ZEVA", width, height, frame count, then frames of a type byte
// (1 key, 0 delta), a 32-bit length and the runs. The first frame is a key
// frame; every later one is the exclusive-or of it with the frame before.
#pragma once
#include <cstdint>
#include <vector>

namespace media {

constexpr uint8_t kZevaKeyFrame = 1;
constexpr uint8_t kZevaDeltaFrame = 0;

// Empty result for no frames, a frame of the wrong size or a side above 65535.
std::vector<uint8_t> zeva_encode(unsigned width, unsigned height,
                                 const std::vector<std::vector<uint16_t>>& frames);

}  // namespace media
