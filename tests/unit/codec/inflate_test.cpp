// The DEFLATE inflater against zlib's streams and hand-made edge cases.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "kernel/codec/inflate.h"
#include "unit/codec/codec_builders.h"

namespace tavlin {
namespace {

using namespace codec_test;

u32 inflate(const Bytes& stream) { return inflate_raw(stream.data(), static_cast<u32>(stream.size())); }

// zlib's stream of `original` inflates to it, and no cut of it inflates at all.
void expect_round_trip(const Bytes& original, int level, int strategy, const char* what) {
  SCOPED_TRACE(::testing::Message() << what << ", " << original.size() << " bytes, level " << level << "/" << strategy);
  const Bytes stream = zlib_deflate_raw(original, level, strategy);
  ASSERT_EQ(inflate(stream), original.size());
  EXPECT_EQ(0, std::memcmp(png_zlib_out, original.data(), original.size()));
  for (size_t cut : {size_t{1}, stream.size() / 3, stream.size() - 1})
    if (cut < stream.size()) {
      ASSERT_TRUE(zlib_inflate_raw(stream.data(), cut, original.size() + 1).empty()) << cut;
      EXPECT_EQ(inflate_raw(stream.data(), static_cast<u32>(cut)), 0u) << cut;
    }
}

// Every level and strategy, on more data, runs in bench/codec_differential.cpp.
TEST(InflateDifferential, ZlibStreamsReproduceTheInputAndTheirCutsFail) {
  const std::pair<const char*, Bytes> samples[] = {
      {"text", text_data(100000)}, {"noise", noise_data(70000)}, {"image", image_data(200, 150)}};
  for (const auto& [name, data] : samples) {
    for (int level : {0, 1, 6, 9}) expect_round_trip(data, level, Z_DEFAULT_STRATEGY, name);
    for (int strategy : {Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE}) expect_round_trip(data, 6, strategy, name);
  }
  // Short streams end in every position of the reader's word refill.
  for (size_t n = 1; n < 40; ++n) {
    expect_round_trip(text_data(n), 6, Z_DEFAULT_STRATEGY, "short text");
    expect_round_trip(noise_data(n, static_cast<uint32_t>(n)), 0, Z_DEFAULT_STRATEGY, "short stored");
  }
  // The output buffer filled exactly, but not one byte more, stored or coded.
  expect_round_trip(Bytes(kInflateOutSize, 'z'), 9, Z_DEFAULT_STRATEGY, "a full buffer");
  for (int level : {0, 1, 9})
    EXPECT_EQ(inflate(zlib_deflate_raw(Bytes(kInflateOutSize + 1, 'z'), level)), 0u) << level;
  // Text, not noise: zlib would store noise rather than code it as literals.
  EXPECT_EQ(inflate(zlib_deflate_raw(text_data(kInflateOutSize + 1), 6, Z_HUFFMAN_ONLY)), 0u);
}

// Ours gives what zlib gives, or refuses where zlib refuses (or would fill more than the buffer).
u32 expect_as_zlib(const Bytes& stream, const std::string& what) {
  Bytes want = zlib_inflate_raw(stream.data(), stream.size(), kInflateOutSize + 1);
  if (want.size() > kInflateOutSize) want.clear();
  const u32 n = inflate(stream);
  EXPECT_EQ(Bytes(png_zlib_out, png_zlib_out + n), want) << what;
  return n;
}

TEST(InflateDifferential, CorpusStreamsInflateAsZlibDoes) {
  int inflated = 0;
  for (const auto& e : std::filesystem::directory_iterator(TAVLIN_SOURCE_DIR "/tests/fuzz/corpus/inflate"))
    inflated += expect_as_zlib(read_file(e.path()), e.path()) > 0;
  EXPECT_GE(inflated, 10);
}

// A final stored block of LEN and NLEN as given, then the payload.
Bytes stored(uint16_t len, uint16_t nlen, const std::string& payload) {
  BitWriter w;
  w.bits(1, 1).bits(0, 2).byte(len & 0xFF).byte(len >> 8).byte(nlen & 0xFF).byte(nlen >> 8);
  for (char c : payload) w.byte(static_cast<uint8_t>(c));
  return w.done();
}

// A fixed-code block: 'A' and the length symbol at the five-bit distance code, if one is given; end of block.
Bytes fixed(bool final, uint32_t length_sym = 0, uint32_t dist_code = 0) {
  BitWriter w;
  w.bits(final ? 1 : 0, 1).bits(1, 2);
  if (length_sym) {
    fixed_literal(w, 'A');
    fixed_literal(w, length_sym);
    w.code(dist_code, 5);
  }
  fixed_literal(w, 256);
  return w.done();
}

// A complete code of 'a', 'b', end of block and length 3 at two bits each, one one-bit distance; `change` varies it.
DynamicHeader small_code(const std::function<void(DynamicHeader&)>& change = {}) {
  DynamicHeader h;
  h.lit.assign(258, 0);
  h.lit['a'] = h.lit['b'] = h.lit[256] = h.lit[257] = 2;
  h.dist = {1};
  if (change) change(h);
  return h;
}

// A final dynamic block: its header, the symbols given (a length followed by distance code 0), end of block.
Bytes dynamic(const DynamicHeader& h, const std::vector<int>& symbols = {'a', 'b', 257}) {
  BitWriter w;
  write_dynamic_header(w, true, h);
  const auto lit = canonical_codes(h.lit), dist = canonical_codes(h.dist);
  for (int s : symbols) {
    w.code(lit[s], h.lit[s]);
    if (s > 256) w.code(dist[0], h.dist[0]);
  }
  w.code(lit[256], h.lit[256]);
  return w.done();
}

// Lengths 1, 2, ..., 14, 15, 15: every code length in one code, the fifteen-bit ones sharing a second-level
// table; the letters sent longest first, three times over.
Bytes longest_codes() {
  DynamicHeader h;
  h.lit.assign(257, 0);
  for (int i = 0; i < 15; ++i) h.lit['a' + i] = static_cast<uint8_t>(i + 1);
  h.lit[256] = 15;
  h.dist = {0};
  std::vector<int> symbols;
  for (int round = 0; round < 3; ++round)
    for (int i = 14; i >= 0; --i) symbols.push_back('a' + i);
  return dynamic(h, symbols);
}

TEST(InflateCrafted, EachStreamInflatesAsZlibDoes) {
  const std::pair<const char*, Bytes> cases[] = {
      {"empty input", {}}, {"stored five bytes", stored(5, 0xFFFA, "hello")},
      {"stored LEN past the input", stored(6, 0xFFF9, "hello")},
      {"stored header cut short", {0x01, 0x05, 0x00, 0xFA}},  // final, stored, LEN 5, half of NLEN
      {"block type 3 before a sound dynamic block", dynamic(small_code([](DynamicHeader& h) { h.block_type = 3; }))},
      {"input ends before a final block", fixed(false)}, {"end of block alone", fixed(true)},
      {"length 3 at distance 1", fixed(true, 257, 0)}, {"distance too far back", fixed(true, 257, 1)},
      {"length symbol 286", fixed(true, 286, 0)}, {"distance code 30", fixed(true, 257, 30)},
      {"small complete dynamic code", dynamic(small_code())},
      {"incomplete literal code", dynamic(small_code([](DynamicHeader& h) { h.lit['b'] = 3; }))},
      {"over-subscribed distance code", dynamic(small_code([](DynamicHeader& h) { h.dist = {1, 1, 1}; }))},
      {"incomplete two-bit distance code", dynamic(small_code([](DynamicHeader& h) { h.dist = {2, 2}; }))},
      // Symbols 0, 1 and 2 take three of four two-bit codes, yet they are all the block uses.
      {"incomplete code-length code",
       dynamic(small_code([](auto& h) { h.clen = {2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }))},
      {"no end-of-block code", dynamic(small_code([](DynamicHeader& h) { std::swap(h.lit[256], h.lit['c']); }))},
      {"repeat code with nothing before it",
       dynamic(small_code([](DynamicHeader& h) { h.sequence = {{16, 0}, {2, 0}}; }))},
      {"no distance codes, literals only", dynamic(small_code([](DynamicHeader& h) { h.dist = {0}; }), {'a', 'b'})},
      {"no distance codes, a length", dynamic(small_code([](DynamicHeader& h) { h.dist = {0}; }))},
      {"codes of every length through both table levels", longest_codes()},
  };
  int inflated = 0;
  for (const auto& [name, stream] : cases) inflated += expect_as_zlib(stream, name) > 0;
  EXPECT_EQ(inflated, 5);  // the streams meant to be sound are
  EXPECT_EQ(inflate_raw(nullptr, 4), 0u);
  // Where zlib refuses, repeats stop at the last code length: 97 zeros, 'a' and 'b', 157 zeros,
  // end of block and length 3, then a run of 11 zeros cut after the single distance length.
  const Bytes cut_run = dynamic(small_code([](DynamicHeader& h) {
    h.sequence = {{18, 86}, {2, 0}, {2, 0}, {18, 127}, {17, 7}, {17, 6}, {2, 0}, {2, 0}, {18, 0}};
  }), {'a', 'b', 'a'});
  ASSERT_EQ(inflate(cut_run), 3u);
  EXPECT_EQ(Bytes(png_zlib_out, png_zlib_out + 3), (Bytes{'a', 'b', 'a'}));
}

}  // namespace
}  // namespace tavlin
