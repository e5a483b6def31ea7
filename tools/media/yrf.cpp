// YRF encoder.
#include "tools/media/yrf.h"

#include "tools/media/rle565.h"

namespace media {

std::vector<uint8_t> yrf_encode(unsigned width, unsigned height, const std::vector<uint16_t>& pixels) {
  if (width == 0 || height == 0 || width > kYrfMaxSide || height > kYrfMaxSide) return {};
  if (pixels.size() != static_cast<size_t>(width) * height) return {};
  std::vector<uint8_t> runs;
  rle565_encode(pixels.data(), pixels.size(), runs);
  std::vector<uint8_t> out{'Y', 'R', 'F', '1'};
  put_be16(out, width);
  put_be16(out, height);
  put_be32(out, static_cast<uint32_t>(runs.size()));
  out.insert(out.end(), runs.begin(), runs.end());
  return out;
}

}  // namespace media
