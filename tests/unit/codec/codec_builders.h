// Codec test builders: streams and files made by zlib and libpng, hand-made DEFLATE bits, PNG, YRF and ZEVA files.
#pragma once
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace codec_test {

using Bytes = std::vector<uint8_t>;

inline Bytes read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

// A raw DEFLATE stream (no zlib wrapper) as zlib writes it.
inline Bytes zlib_deflate_raw(const Bytes& in, int level, int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{.next_in = const_cast<uint8_t*>(in.data()), .avail_in = static_cast<uInt>(in.size())};
  deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy);
  Bytes out(deflateBound(&z, in.size()) + 64);
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// zlib's own reading of a raw stream; empty when zlib refuses it.
inline Bytes zlib_inflate_raw(const uint8_t* in, size_t len, size_t max_out) {
  Bytes out(max_out);
  z_stream z{.next_in = const_cast<uint8_t*>(in), .avail_in = static_cast<uInt>(len), .next_out = out.data(),
             .avail_out = static_cast<uInt>(out.size())};
  inflateInit2(&z, -15);
  const int rc = inflate(&z, Z_FINISH);
  out.resize(rc == Z_STREAM_END ? z.total_out : 0);
  inflateEnd(&z);
  return out;
}

// Text, noise and picture-like inputs of a given size.
inline Bytes text_data(size_t n) {
  Bytes licence = read_file("/usr/share/common-licenses/GPL-3");
  if (licence.empty()) licence.assign({'t', 'e', 'x', 't', ' '});
  Bytes out;
  while (out.size() < n) out.insert(out.end(), licence.begin(), licence.end());
  out.resize(n);
  return out;
}

inline Bytes noise_data(size_t n, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<uint8_t>(rng());
  return out;
}

// RGBA rows of soft gradients with a little noise and flat patches.
inline Bytes image_data(uint32_t w, uint32_t h, uint32_t seed = 7) {
  std::mt19937 rng(seed);
  Bytes out(size_t{w} * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &out[(size_t{y} * w + x) * 4];
      const bool flat = ((x / 64) + (y / 64)) % 3 == 0;
      p[0] = static_cast<uint8_t>(flat ? 40 : x * 255 / (w ? w : 1) + rng() % 4);
      p[1] = static_cast<uint8_t>(flat ? 90 : y * 255 / (h ? h : 1) + rng() % 4);
      p[2] = static_cast<uint8_t>(flat ? 200 : (x ^ y) & 0xFF);
      p[3] = static_cast<uint8_t>(flat ? 255 : 128 + (x + y) % 128);
    }
  return out;
}

// Writes DEFLATE bits: fields least significant bit first, Huffman codes most significant first (RFC 1951, 3.1.1).
struct BitWriter {
  BitWriter& bits(uint32_t value, int n) {
    for (int i = 0; i < n; ++i) out.push_back(value >> i & 1);
    return *this;
  }
  BitWriter& code(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) out.push_back(value >> i & 1);
    return *this;
  }
  BitWriter& byte(uint8_t b) {  // byte-aligned, as stored blocks are
    out.resize((out.size() + 7) / 8 * 8);
    return bits(b, 8);
  }
  Bytes done() const {
    Bytes bytes((out.size() + 7) / 8);
    for (size_t i = 0; i < out.size(); ++i) bytes[i / 8] |= static_cast<uint8_t>(out[i] << i % 8);
    return bytes;
  }
  std::vector<bool> out;
};

// Fixed-code symbols (RFC 1951, 3.2.6).
inline void fixed_literal(BitWriter& w, uint32_t sym) {
  if (sym < 144) w.code(0x30 + sym, 8);
  else if (sym < 256) w.code(0x190 + sym - 144, 9);
  else if (sym < 280) w.code(sym - 256, 7);
  else w.code(0xC0 + sym - 280, 8);
}

// Canonical codes from code lengths (RFC 1951, 3.2.2).
inline std::vector<uint32_t> canonical_codes(const std::vector<uint8_t>& lengths) {
  uint32_t count[16] = {}, next[16] = {};
  for (uint8_t l : lengths) ++count[l];
  count[0] = 0;
  for (int bits = 1; bits < 16; ++bits) next[bits] = (next[bits - 1] + count[bits - 1]) << 1;
  std::vector<uint32_t> codes(lengths.size());
  for (size_t s = 0; s < lengths.size(); ++s)
    if (lengths[s]) codes[s] = next[lengths[s]]++;
  return codes;
}

// A dynamic block header: code lengths sent one symbol each, or as the (symbol, extra bits) sequence given.
struct DynamicHeader {
  std::vector<uint8_t> lit, dist;
  std::vector<std::pair<int, int>> sequence;
  uint32_t block_type = 2;  // 3, reserved, to make a bad block of a sound one
  // Default code-length code: symbols 0..12 four bits, 13..18 five bits.
  std::vector<uint8_t> clen = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5};
};

inline void write_dynamic_header(BitWriter& w, bool final, const DynamicHeader& h) {
  static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  w.bits(final ? 1 : 0, 1).bits(h.block_type, 2);
  w.bits(static_cast<uint32_t>(h.lit.size() - 257), 5).bits(static_cast<uint32_t>(h.dist.size() - 1), 5).bits(15, 4);
  for (int i = 0; i < 19; ++i) w.bits(h.clen[order[i]], 3);
  const auto codes = canonical_codes(h.clen);
  auto put = [&](int sym, int extra) {
    static const int extra_bits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
    w.code(codes[sym], h.clen[sym]).bits(extra, extra_bits[sym]);
  };
  if (!h.sequence.empty()) {
    for (auto [sym, extra] : h.sequence) put(sym, extra);
    return;
  }
  for (uint8_t l : h.lit) put(l, 0);
  for (uint8_t l : h.dist) put(l, 0);
}

inline void put_be32(Bytes& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

inline Bytes png_signature() { return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}; }

inline void png_chunk(Bytes& file, const char* type, const Bytes& data) {
  put_be32(file, static_cast<uint32_t>(data.size()));
  const size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), data.begin(), data.end());
  put_be32(file, static_cast<uint32_t>(crc32(0, file.data() + start, static_cast<uInt>(file.size() - start))));
}

inline Bytes ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t colour, uint8_t interlace = 0) {
  Bytes d;
  put_be32(d, w);
  put_be32(d, h);
  d.insert(d.end(), {depth, colour, 0, 0, interlace});
  return d;
}

// The zlib stream (with header) of raw scanlines.
inline Bytes zlib_compress(const Bytes& raw) {
  uLongf n = compressBound(raw.size());
  Bytes out(n);
  compress2(out.data(), &n, raw.data(), raw.size(), 6);
  out.resize(n);
  return out;
}

// A hand-assembled PNG: IHDR, an optional PLTE, one IDAT, IEND.
inline Bytes craft_png(const Bytes& header, const Bytes& scanlines, const Bytes& plte = {}) {
  Bytes f = png_signature();
  png_chunk(f, "IHDR", header);
  if (!plte.empty()) png_chunk(f, "PLTE", plte);
  png_chunk(f, "IDAT", zlib_compress(scanlines));
  png_chunk(f, "IEND", {});
  return f;
}

struct PngSpec {
  uint32_t width, height;
  int colour_type;           // PNG_COLOR_TYPE_*
  Bytes samples;             // rows of width * channels bytes
  std::vector<png_color> palette;
  Bytes trns_alpha;          // palette alphas
  bool trns_key = false;     // grey/RGB transparent colour key
  png_color_16 key{};
  int filters = PNG_ALL_FILTERS;
  int level = 6;
};

// Writes a PNG with libpng into memory.
inline Bytes libpng_write(const PngSpec& s) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, [](png_structp p, png_bytep d, png_size_t n) {
    auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
    o->insert(o->end(), d, d + n);
  }, nullptr);
  png_set_IHDR(png, info, s.width, s.height, 8, s.colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.trns_alpha.empty())
    png_set_tRNS(png, info, s.trns_alpha.data(), static_cast<int>(s.trns_alpha.size()), nullptr);
  if (s.trns_key) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(&s.key));
  png_set_filter(png, 0, s.filters);
  png_set_compression_level(png, s.level);
  png_write_info(png, info);
  const size_t row = s.samples.size() / s.height;
  for (uint32_t y = 0; y < s.height; ++y) png_write_row(png, s.samples.data() + y * row);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A decoded picture as 0xAARRGGBB pixels, row by row; ok 0 when refused.
struct Decoded {
  uint32_t ok = 0, width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// libpng's reading of a PNG expanded to 8-bit RGBA (palette, grey, tRNS key included), no gamma, as 0xAARRGGBB.
inline Decoded libpng_read_argb(const Bytes& file) {
  std::pair<const Bytes*, size_t> cursor{&file, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Decoded{};
  }
  png_set_read_fn(png, &cursor, [](png_structp p, png_bytep d, png_size_t n) {
    auto& [bytes, at] = *static_cast<std::pair<const Bytes*, size_t>*>(png_get_io_ptr(p));
    if (at + n > bytes->size()) png_error(p, "short file");
    std::memcpy(d, bytes->data() + at, n);
    at += n;
  });
  png_read_info(png, info);
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);  // B, G, R, A in memory: 0xAARRGGBB words on this little-endian host
  png_read_update_info(png, info);
  Decoded result{1, png_get_image_width(png, info), png_get_image_height(png, info)};
  result.pixels.resize(size_t{result.width} * result.height);
  std::vector<png_bytep> rows(result.height);
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = reinterpret_cast<png_bytep>(&result.pixels[y * result.width]);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

using RunSpec = std::pair<uint8_t, uint16_t>;  // a count and its RGB565 colour

inline Bytes run_bytes(const std::vector<RunSpec>& runs) {
  Bytes b;
  for (const auto& [count, colour] : runs) b.insert(b.end(), {count, uint8_t(colour >> 8), uint8_t(colour)});
  return b;
}

inline Bytes yrf_file(uint16_t w, uint16_t h, const std::vector<RunSpec>& runs) {
  Bytes f = {'Y', 'R', 'F', '1', uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 8), uint8_t(h)};
  put_be32(f, static_cast<uint32_t>(runs.size() * 3));
  const Bytes body = run_bytes(runs);
  f.insert(f.end(), body.begin(), body.end());
  return f;
}

// Runs for a picture of RGB565 values, longest runs first as an encoder would.
inline std::vector<RunSpec> runs_of(const std::vector<uint16_t>& px) {
  std::vector<RunSpec> runs;
  for (size_t i = 0; i < px.size();) {
    size_t n = 1;
    while (i + n < px.size() && n < 255 && px[i + n] == px[i]) ++n;
    runs.push_back({static_cast<uint8_t>(n), px[i]});
    i += n;
  }
  return runs;
}

// Frames of (type, data): type 1 a key frame, any other a delta.
inline Bytes zeva_file(uint16_t w, uint16_t h, const std::vector<std::pair<uint8_t, Bytes>>& frames) {
  Bytes f = {'Z', 'E', 'V', 'A', uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 8), uint8_t(h)};
  put_be32(f, static_cast<uint32_t>(frames.size()));
  for (const auto& [type, data] : frames) {
    f.push_back(type);
    put_be32(f, static_cast<uint32_t>(data.size()));
    f.insert(f.end(), data.begin(), data.end());
  }
  return f;
}

// The conversion rule of the format, written out independently.
inline uint32_t expect_argb(uint16_t c) {
  const uint32_t r5 = c >> 11, g6 = (c >> 5) & 63, b5 = c & 31;
  return 0xFF000000u | (r5 << 3) << 16 | (g6 << 2) << 8 | (b5 << 3);
}

}  // namespace codec_test
