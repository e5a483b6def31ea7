// Decodes an image file with the kernel's own image cache (YRF or PNG, told
// apart by content as on the running system), or frame K of a ZEVA video by
// the kernel's decoder applying frames 0..K in order, and writes its size
// and pixels, so system tests can compare what the machine shows with it.
//   decode_image IN OUT [K]
// OUT holds the width and the height as little-endian 32-bit words, then
// width x height little-endian 0xAARRGGBB pixels, row by row.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/codec/image_cache.h"
#include "kernel/codec/zeva.h"
#include "kernel/fs/node_table.h"

namespace {

using namespace tavlin;

bool write_image(const char* path, u32 width, u32 height, const u32* pixels) {
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  const u32 size[2] = {width, height};
  std::fwrite(size, sizeof size, 1, out);
  std::fwrite(pixels, sizeof(u32), static_cast<size_t>(width) * height, out);
  return std::fclose(out) == 0;
}

int video_frame(const std::vector<u8>& bytes, u32 k, const char* in, const char* out) {
  static u32 picture[kZevaMaxPixels];
  const u32 size = static_cast<u32>(bytes.size());
  ZevaHeader h{};
  if (!zeva_read_header(bytes.data(), size, &h)) {
    std::fprintf(stderr, "%s: not a ZEVA video\n", in);
    return 1;
  }
  for (u32 i = 0; i <= k; ++i)
    if (const char* fault = zeva_decode_frame(bytes.data(), size, h.width, h.height, i, picture)) {
      std::fprintf(stderr, "%s: frame %u: %s\n", in, i, fault);
      return 1;
    }
  return write_image(out, h.width, h.height, picture) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s IN OUT [FRAME]\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), {});
  if (argc == 4) return video_frame(bytes, static_cast<u32>(std::strtoul(argv[3], nullptr, 10)), argv[1], argv[2]);
  fake_hw::set_default(0x3FD, 0x20);  // the decoders' log goes to a ready, silent UART
  fs_tables_reset();
  image_cache_init();
  const i32 node = fs_create(kFsNone, "image", kFsFile);
  if (node < 0 || !fs_set_image_content(node, bytes.data(), static_cast<u32>(bytes.size()))) {
    std::fprintf(stderr, "%s: no room for %zu bytes\n", argv[1], bytes.size());
    return 1;
  }
  const DecodedImage* image = image_get_decoded(node);
  if (!image || !image->valid) {
    std::fprintf(stderr, "%s: not a decodable image\n", argv[1]);
    return 1;
  }
  return write_image(argv[2], image->width, image->height, image->pixels) ? 0 : 1;
}
