// Framebuffer discovery from the Multiboot2 information block.
#include "kernel/core/framebuffer.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"

namespace tavlin {

uptr fb;
u32 fb_width;
u32 fb_height;
u32 fb_pitch_px;
u32 fb_ok;

namespace {

constexpr u32 kTagEnd = 0;
constexpr u32 kTagFramebuffer = 8;
constexpr u32 kFramebufferTagMinSize = 28;  // through the height field

u32 read_u32(const u8* p) {
  u32 v;
  memcpy(&v, p, 4);
  return v;
}

// We draw through 32-bit addresses: a framebuffer that starts or ends above
// 4 GiB would have its address cut short and our drawing land elsewhere.
bool reachable(const u8* tag) {
  const u64 address = read_u32(tag + 8) | static_cast<u64>(read_u32(tag + 12)) << 32;
  const u64 end = address + static_cast<u64>(read_u32(tag + 16)) * read_u32(tag + 24);
  if (end <= 0x100000000ull) return true;
  serial_puts("[FB] Framebuffer above 4 GiB refused (address high ");
  serial_hex32(read_u32(tag + 12));
  serial_puts(", low ");
  serial_hex32(read_u32(tag + 8));
  serial_puts(")\n");
  return false;
}

}  // namespace

u32 framebuffer_discover(const void* info) {
  const auto* block = static_cast<const u8*>(info);
  const u32 total_size = read_u32(block);
  bool found = false;
  u32 address = 0, pitch = 0, width = 0, height = 0;

  // Tags start 8 bytes in, each padded to 8 bytes. A tag that would reach
  // past the block's end is not read.
  u32 offset = 8;
  while (offset + 8 <= total_size) {
    const u8* tag = block + offset;
    const u32 type = read_u32(tag);
    const u32 size = read_u32(tag + 4);
    if (type == kTagEnd) break;
    if (type == kTagFramebuffer && size >= kFramebufferTagMinSize &&
        offset + kFramebufferTagMinSize <= total_size && reachable(tag)) {
      address = read_u32(tag + 8);  // low half of the 64-bit address
      pitch = read_u32(tag + 16);
      width = read_u32(tag + 20);
      height = read_u32(tag + 24);
      found = true;
    }
    const u32 advance = (size + 7) & ~7u;
    if (advance == 0 || advance > total_size - offset) break;
    offset += advance;
  }

  if (found) {
    fb = address;
    fb_pitch_px = pitch / 4;
    fb_width = width;
    fb_height = height;
    fb_ok = 1;
  }
  if (fb_width > kMaxScreenWidth) fb_width = kMaxScreenWidth;
  if (fb_height > kMaxScreenHeight) fb_height = kMaxScreenHeight;
  // A pitch narrower than the width would make rows overlap; draw only what fits.
  if (fb_ok && fb_width > fb_pitch_px) fb_width = fb_pitch_px;
  return fb_ok;
}

}  // namespace tavlin
