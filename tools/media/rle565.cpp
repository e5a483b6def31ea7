// Run encoding of RGB565 pixels.
#include "tools/media/rle565.h"

namespace media {

void put_be16(std::vector<uint8_t>& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void put_be32(std::vector<uint8_t>& out, uint32_t value) {
  put_be16(out, value >> 16);
  put_be16(out, value & 0xFFFF);
}

void rle565_encode(const uint16_t* pixels, size_t count, std::vector<uint8_t>& out) {
  size_t i = 0;
  while (i < count) {
    const uint16_t colour = pixels[i];
    unsigned run = 1;
    while (i + run < count && run < kMaxRun && pixels[i + run] == colour) ++run;
    out.push_back(static_cast<uint8_t>(run));
    put_be16(out, colour);
    i += run;
  }
}

}  // namespace media
