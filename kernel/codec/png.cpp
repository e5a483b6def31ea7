// png_decode: the chunk walk, the zlib wrapper, and the conversion of
// unfiltered scanlines to 0xAARRGGBB pixels.
#include "kernel/codec/png.h"

#include "kernel/codec/file_magic.h"
#include "kernel/codec/image_cache.h"
#include "kernel/codec/inflate.h"
#include "kernel/core/byte_order.h"
#include "kernel/core/kstring.h"

namespace tavlin {

u8 idat_buf[kIdatBufSize];
u8 palette[kPaletteBytes];
u8 trns[kTrnsBytes];

namespace {

constexpr u32 kChunkOverhead = 12;  // length, type, CRC
constexpr u32 kIhdrSize = 13;
constexpr u32 kMaxSide = 512;
constexpr u32 kZlibHeaderSize = 2;
constexpr u32 kZlibMethodDeflate = 8;
constexpr u32 kGreyKeyBytes = 2;  // tRNS of a grey image: one 16-bit sample
constexpr u32 kRgbKeyBytes = 6;   // tRNS of an RGB image: three 16-bit samples

enum : u32 { kGrey = 0, kRgb = 2, kIndexed = 3, kGreyAlpha = 4, kRgba = 6 };

struct PngInfo {
  u32 width, height, colour_type;
  u32 idat_len;
  u32 has_palette;
  u32 trns_count;
};

inline bool chunk_is(const u8* type, const char* name) {
  return type[0] == name[0] && type[1] == name[1] && type[2] == name[2] && type[3] == name[3];
}

u32 read_ihdr(PngInfo& info, const u8* data, u32 len) {
  if (len < kIhdrSize) return 0;
  const u32 width = be32(data), height = be32(data + 4);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return 0;
  if (data[8] != 8 || data[12] != 0) return 0;  // bit depth, interlace method
  info.width = width;
  info.height = height;
  info.colour_type = data[9];
  return 1;
}

void read_plte(PngInfo& info, const u8* data, u32 len) {
  u32 n = len / 3 * 3;
  if (n > kPaletteBytes) n = kPaletteBytes;
  memcpy(palette, data, n);
  info.has_palette = 1;
}

void read_idat(PngInfo& info, const u8* data, u32 len) {
  if (len > kIdatBufSize - info.idat_len) return;  // would overflow: skipped whole
  memcpy(idat_buf + info.idat_len, data, len);
  info.idat_len += len;
}

// Gathers IHDR, PLTE, tRNS and IDAT up to IEND or the first chunk that
// would run past the content. Returns 0 only for a bad IHDR.
u32 walk_chunks(PngInfo& info, const u8* content, u32 length) {
  u32 off = kPngSignatureSize;
  while (length - off >= kChunkOverhead) {
    const u32 len = be32(content + off);
    const u8* type = content + off + 4;
    const u8* data = content + off + 8;
    if (len > length - off - kChunkOverhead) break;
    if (chunk_is(type, "IEND")) break;
    if (chunk_is(type, "IHDR")) {
      if (!read_ihdr(info, data, len)) return 0;
    } else if (chunk_is(type, "IDAT")) {
      read_idat(info, data, len);
    } else if (chunk_is(type, "PLTE")) {
      read_plte(info, data, len);
    } else if (chunk_is(type, "tRNS")) {
      info.trns_count = len < kTrnsBytes ? len : kTrnsBytes;
      memcpy(trns, data, info.trns_count);
    }
    off += kChunkOverhead + len;
  }
  return 1;
}

u32 bytes_per_pixel(const PngInfo& info) {
  switch (info.colour_type) {
    case kGrey: return 1;
    case kRgb: return 3;
    case kIndexed: return info.has_palette ? 1 : 0;
    case kGreyAlpha: return 2;
    case kRgba: return 4;
    default: return 0;
  }
}

inline u32 argb(u32 a, u32 r, u32 g, u32 b) { return a << 24 | r << 16 | g << 8 | b; }

// A grey or RGB image's tRNS names one colour as fully transparent; only
// the low byte of each 16-bit sample can match an 8-bit one.
void convert_row(const PngInfo& info, const u8* src, u32* dst) {
  const u32 w = info.width;
  switch (info.colour_type) {
    case kGrey: {
      const bool keyed = info.trns_count == kGreyKeyBytes;
      for (u32 x = 0; x < w; ++x) {
        const u32 v = src[x];
        dst[x] = argb(keyed && v == trns[1] ? 0 : 255, v, v, v);
      }
      return;
    }
    case kRgb: {
      const bool keyed = info.trns_count == kRgbKeyBytes;
      for (u32 x = 0; x < w; ++x, src += 3) {
        const bool clear = keyed && src[0] == trns[1] && src[1] == trns[3] && src[2] == trns[5];
        dst[x] = argb(clear ? 0 : 255, src[0], src[1], src[2]);
      }
      return;
    }
    case kIndexed:
      for (u32 x = 0; x < w; ++x) {
        const u32 i = src[x];
        const u8* c = palette + 3 * i;
        dst[x] = argb(i < info.trns_count ? trns[i] : 255, c[0], c[1], c[2]);
      }
      return;
    case kGreyAlpha:
      for (u32 x = 0; x < w; ++x, src += 2) dst[x] = argb(src[1], src[0], src[0], src[0]);
      return;
    case kRgba:
      for (u32 x = 0; x < w; ++x, src += 4) dst[x] = argb(src[3], src[0], src[1], src[2]);
      return;
    default:
      return;  // refused earlier by bytes_per_pixel
  }
}

}  // namespace

u32 png_decode(const u8* content, u32 length, u32* out_width, u32* out_height) {
  for (u32 i = 0; i < kTrnsBytes; ++i) trns[i] = 255;
  // Indices past a short palette read black, never a former image's colours.
  memset(palette, 0, kPaletteBytes);
  if (length < kPngMinSize || !is_png_data(content, length)) return 0;
  PngInfo info = {};
  if (!walk_chunks(info, content, length)) return 0;
  if (info.width == 0 || info.height == 0 || info.idat_len == 0) return 0;
  const u32 bpp = bytes_per_pixel(info);
  if (bpp == 0) return 0;
  const u32 row_bytes = info.width * bpp;
  const u32 scan_size = info.height * (row_bytes + 1);
  if (scan_size > kInflateOutSize) return 0;
  if (info.idat_len <= 1 || (idat_buf[0] & 0x0F) != kZlibMethodDeflate) return 0;
  const u32 produced = inflate_raw(idat_buf + kZlibHeaderSize, info.idat_len - kZlibHeaderSize);
  if (produced < scan_size) return 0;
  png_unfilter(png_zlib_out, row_bytes, info.height, bpp);
  for (u32 y = 0; y < info.height; ++y)
    convert_row(info, png_zlib_out + y * (row_bytes + 1) + 1, image_decode_scratch + y * info.width);
  *out_width = info.width;
  *out_height = info.height;
  return 1;
}

}  // namespace tavlin
