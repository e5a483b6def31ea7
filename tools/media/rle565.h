// RGB565 pixels and the run encoding shared by YRF images and ZEVA frames:
// runs of 3 bytes, a count of 1 to 255 and a big-endian RGB565 colour.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace media {

constexpr unsigned kMaxRun = 255;

inline uint16_t rgb565(unsigned r, unsigned g, unsigned b) {
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Appends the runs for pixels to out; no end marker, the reader counts pixels.
void rle565_encode(const uint16_t* pixels, size_t count, std::vector<uint8_t>& out);

void put_be16(std::vector<uint8_t>& out, unsigned value);
void put_be32(std::vector<uint8_t>& out, uint32_t value);

}  // namespace media
