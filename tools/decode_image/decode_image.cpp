// Decodes an image file with the kernel's own image cache (YRF or PNG, told
// apart by content as on the running system) and writes its size and
// pixels, so system tests can compare what the machine shows with it.
//   decode_image IN OUT
// OUT holds the width and the height as little-endian 32-bit words, then
// width x height little-endian 0xAARRGGBB pixels, row by row.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/codec/image_cache.h"
#include "kernel/fs/node_table.h"

int main(int argc, char** argv) {
  using namespace tavlin;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IN OUT\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), {});
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
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) return 1;
  const u32 size[2] = {image->width, image->height};
  std::fwrite(size, sizeof size, 1, out);
  std::fwrite(image->pixels, sizeof(u32), static_cast<size_t>(image->width) * image->height, out);
  return std::fclose(out) == 0 ? 0 : 1;
}
