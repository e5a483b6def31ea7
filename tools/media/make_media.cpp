// Draws the three sample files and writes them into a folder:
//   make_media <dir>  ->  <dir>/sample.yrf, <dir>/sample.png, <dir>/sample.zeva
#include <cstdio>
#include <string>
#include <vector>

#include "tools/media/png_out.h"
#include "tools/media/scenes.h"
#include "tools/media/yrf.h"
#include "tools/media/zeva.h"

namespace {

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && wrote && !bytes.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];

  const media::Canvas lake = media::draw_lake_at_dusk();
  const auto yrf = media::yrf_encode(lake.width(), lake.height(), lake.to_rgb565());

  const media::Canvas emblem = media::draw_emblem();

  std::vector<std::vector<uint16_t>> frames;
  for (int k = 0; k < media::kMeadowFrames; ++k) frames.push_back(media::draw_meadow_frame(k).to_rgb565());
  const auto zeva = media::zeva_encode(media::kMeadowWidth, media::kMeadowHeight, frames);

  if (!write_file(dir + "/sample.yrf", yrf) ||
      !media::write_png_rgb(dir + "/sample.png", emblem.width(), emblem.height(), emblem.to_rgb8()) ||
      !write_file(dir + "/sample.zeva", zeva)) {
    std::fprintf(stderr, "make_media: could not write the sample files into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
