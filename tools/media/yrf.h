// YRF images: "YRF1", width and height (1 to 512), the length of the run
// data, then the runs of the whole picture row by row.
#pragma once
#include <cstdint>
#include <vector>

namespace media {

constexpr unsigned kYrfMaxSide = 512;

// Empty result when the size is outside 1..512 or the pixels do not match it.
std::vector<uint8_t> yrf_encode(unsigned width, unsigned height, const std::vector<uint16_t>& pixels);

}  // namespace media
