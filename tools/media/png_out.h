// PNG output through libpng: 8-bit RGB, no interlacing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace media {

bool write_png_rgb(const std::string& path, unsigned width, unsigned height, const std::vector<uint8_t>& rgb);

}  // namespace media
