// Builds Multiboot2 information blocks for framebuffer-discovery tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

namespace tavlin::test {

class MultibootInfo {
 public:
  MultibootInfo() { bytes_.resize(8); }

  // A raw tag of `size` bytes (header included), padded to 8.
  MultibootInfo& tag(uint32_t type, uint32_t size, const std::vector<uint8_t>& body = {}) {
    const size_t at = bytes_.size();
    bytes_.resize(at + ((size + 7) & ~7u), 0);
    put32(at, type);
    put32(at + 4, size);
    for (size_t i = 0; i < body.size() && 8 + i < size; ++i) bytes_[at + 8 + i] = body[i];
    return *this;
  }

  MultibootInfo& framebuffer(uint64_t address, uint32_t pitch, uint32_t width, uint32_t height) {
    std::vector<uint8_t> body(24, 0);
    std::memcpy(&body[0], &address, 8);
    std::memcpy(&body[8], &pitch, 4);
    std::memcpy(&body[12], &width, 4);
    std::memcpy(&body[16], &height, 4);
    body[20] = 32;  // depth
    body[21] = 1;   // direct RGB
    return tag(8, 32, body);
  }

  MultibootInfo& end() { return tag(0, 8); }

  // The block with total_size filled in (or forced to `total`).
  std::vector<uint8_t> build(int64_t total = -1) {
    std::vector<uint8_t> out = bytes_;
    put32(out, 0, total < 0 ? static_cast<uint32_t>(out.size()) : static_cast<uint32_t>(total));
    return out;
  }

 private:
  void put32(size_t at, uint32_t v) { put32(bytes_, at, v); }
  static void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
  std::vector<uint8_t> bytes_;
};

}  // namespace tavlin::test
