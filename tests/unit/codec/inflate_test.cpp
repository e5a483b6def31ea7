// The DEFLATE inflater against zlib's streams and hand-made edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "kernel/codec/inflate.h"
#include "unit/codec/codec_builders.h"

namespace tavlin {
namespace {

using namespace codec_test;

constexpr u32 kFailed = 0;

Bytes inflate_bytes(const Bytes& stream) {
  const u32 n = inflate_raw(stream.data(), static_cast<u32>(stream.size()));
  return Bytes(png_zlib_out, png_zlib_out + n);
}

void expect_round_trip(const Bytes& original, int level, int strategy, const char* what) {
  const Bytes stream = zlib_deflate_raw(original, level, strategy);
  ASSERT_EQ(zlib_inflate_raw(stream.data(), stream.size(), original.size() + 1), original);
  const u32 n = inflate_raw(stream.data(), static_cast<u32>(stream.size()));
  ASSERT_EQ(n, original.size()) << what << " level " << level << " strategy " << strategy;
  EXPECT_EQ(0, std::memcmp(png_zlib_out, original.data(), n)) << what << " level " << level;
}

struct Sample {
  const char* name;
  Bytes data;
};

std::vector<Sample> samples() {
  return {{"text", text_data(300000)}, {"random", noise_data(200000)}, {"image", image_data(400, 300)}};
}

TEST(InflateDifferential, EveryZlibLevelReproducesTheInput) {
  for (const Sample& s : samples())
    for (int level = 0; level <= 9; ++level) expect_round_trip(s.data, level, Z_DEFAULT_STRATEGY, s.name);
}

TEST(InflateDifferential, FixedHuffmanOnlyAndRleStrategies) {
  for (const Sample& s : samples())
    for (int strategy : {Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE, Z_FILTERED})
      for (int level : {1, 6, 9}) expect_round_trip(s.data, level, strategy, s.name);
}

TEST(InflateDifferential, EverySmallLengthEndsCleanly) {
  // Short streams end in every position of the reader's word refill.
  for (size_t n = 1; n < 400; n += 3) {
    expect_round_trip(text_data(n), 6, Z_DEFAULT_STRATEGY, "short text");
    expect_round_trip(noise_data(n, static_cast<uint32_t>(n)), 0, Z_DEFAULT_STRATEGY, "short stored");
  }
}

TEST(InflateDifferential, GzipFilesInstalledByPackages) {
  std::vector<std::string> paths;
  for (const auto& e : std::filesystem::recursive_directory_iterator(
           "/usr/share", std::filesystem::directory_options::skip_permission_denied))
    if (e.is_regular_file() && e.path().extension() == ".gz") paths.push_back(e.path());
  std::sort(paths.begin(), paths.end());
  ASSERT_GT(paths.size(), 10u);
  // An even spread over the sorted list, so many packages are represented.
  const size_t step = std::max<size_t>(1, paths.size() / 150);
  int compared = 0, too_big = 0;
  for (size_t i = 0; i < paths.size(); i += step) {
    const Bytes gz = read_file(paths[i]);
    const size_t off = gzip_payload_offset(gz);
    if (off == 0) continue;
    const Bytes expect = zlib_inflate_raw(gz.data() + off, gz.size() - off, kInflateOutSize + 1);
    if (expect.empty()) continue;
    const u32 n = inflate_raw(gz.data() + off, static_cast<u32>(gz.size() - off));
    if (expect.size() > kInflateOutSize) {
      EXPECT_EQ(n, kFailed) << paths[i];
      ++too_big;
      continue;
    }
    ASSERT_EQ(n, expect.size()) << paths[i];
    EXPECT_EQ(0, std::memcmp(png_zlib_out, expect.data(), n)) << paths[i];
    ++compared;
  }
  EXPECT_GT(compared, 50);
}

TEST(InflateDifferential, OutputFillsTheBufferExactlyButNotOneMore) {
  const Bytes fits(kInflateOutSize, 'z');
  EXPECT_EQ(inflate_raw(zlib_deflate_raw(fits, 9).data(), static_cast<u32>(zlib_deflate_raw(fits, 9).size())),
            kInflateOutSize);
  for (int level : {0, 1, 9}) {
    const Bytes over = zlib_deflate_raw(Bytes(kInflateOutSize + 1, 'z'), level);
    EXPECT_EQ(inflate_raw(over.data(), static_cast<u32>(over.size())), kFailed) << level;
  }
  const Bytes literals_over = zlib_deflate_raw(noise_data(kInflateOutSize + 1), 6, Z_HUFFMAN_ONLY);
  EXPECT_EQ(inflate_raw(literals_over.data(), static_cast<u32>(literals_over.size())), kFailed);
}

TEST(InflateDifferential, TruncatedStreamsFailLikeZlib) {
  for (const Sample& s : samples()) {
    const Bytes stream = zlib_deflate_raw(Bytes(s.data.begin(), s.data.begin() + 20000), 6);
    for (size_t cut : {size_t{1}, size_t{2}, size_t{7}, stream.size() / 3, stream.size() - 9, stream.size() - 1}) {
      EXPECT_TRUE(zlib_inflate_raw(stream.data(), cut, 30000).empty());
      EXPECT_EQ(inflate_raw(stream.data(), static_cast<u32>(cut)), kFailed) << s.name << " cut at " << cut;
    }
  }
}

// ---- Hand-made streams, one per rule --------------------------------------

TEST(InflateStored, FiveBytesComeOutAsTheyAre) {
  BitWriter w;
  w.bits(1, 1).bits(0, 2).byte(5).byte(0).byte(0xFA).byte(0xFF);
  for (char c : std::string("hello")) w.byte(static_cast<uint8_t>(c));
  EXPECT_EQ(inflate_bytes(w.done()), Bytes({'h', 'e', 'l', 'l', 'o'}));
}

TEST(InflateStored, LengthPastTheInputFails) {
  BitWriter w;
  w.bits(1, 1).bits(0, 2).byte(6).byte(0).byte(0xF9).byte(0xFF);
  for (char c : std::string("hello")) w.byte(static_cast<uint8_t>(c));
  EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed);
}

TEST(InflateStored, HeaderCutShortFails) {
  BitWriter w;
  w.bits(1, 1).bits(0, 2).byte(5).byte(0).byte(0xFA);
  EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed);
}

TEST(InflateHeader, EmptyInputAndBlockTypeThreeFail) {
  const u8 byte = 0;
  EXPECT_EQ(inflate_raw(&byte, 0), kFailed);
  EXPECT_EQ(inflate_raw(nullptr, 4), kFailed);
  BitWriter w;
  w.bits(1, 1).bits(3, 2).bits(0, 13);
  EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed);
}

TEST(InflateHeader, InputEndingBeforeAFinalBlockFails) {
  BitWriter w;
  w.bits(0, 1).bits(1, 2);
  fixed_literal(w, 'x');
  fixed_literal(w, 256);
  EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed);
}

TEST(InflateFixed, EndOfBlockAloneYieldsZeroBytes) {
  BitWriter w;
  w.bits(1, 1).bits(1, 2);
  fixed_literal(w, 256);
  EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed);
}

TEST(InflateFixed, DistanceOneLength258RepeatsTheLiteral) {
  BitWriter w;
  w.bits(1, 1).bits(1, 2);
  fixed_literal(w, 'A');
  fixed_literal(w, 285);  // length 258, no extra bits
  w.code(0, 5);           // distance 1
  fixed_literal(w, 256);
  EXPECT_EQ(inflate_bytes(w.done()), Bytes(259, 'A'));
}

TEST(InflateFixed, LengthAndDistanceExtraBitsAddToTheBase) {
  BitWriter w;
  w.bits(1, 1).bits(1, 2);
  for (char c : std::string("abcde")) fixed_literal(w, static_cast<uint8_t>(c));
  fixed_literal(w, 266);  // lengths 13..14: one extra bit
  w.bits(1, 1);           // length 14
  w.code(4, 5).bits(0, 1);  // distances 5..6: distance 5
  fixed_literal(w, 256);
  EXPECT_EQ(inflate_bytes(w.done()), Bytes({'a', 'b', 'c', 'd', 'e', 'a', 'b', 'c', 'd', 'e', 'a', 'b', 'c', 'd', 'e',
                                            'a', 'b', 'c', 'd'}));
}

TEST(InflateFixed, DistanceBeyondTheOutputFails) {
  for (uint32_t dist_code : {0u, 1u}) {
    BitWriter w;
    w.bits(1, 1).bits(1, 2);
    fixed_literal(w, 'A');
    fixed_literal(w, 257);
    w.code(dist_code, 5);  // distance 1 reaches the literal, distance 2 is too far
    fixed_literal(w, 256);
    EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), dist_code == 0 ? 4u : kFailed);
  }
}

TEST(InflateFixed, UnusedLengthAndDistanceSymbolsFail) {
  for (uint32_t sym : {286u, 287u}) {
    BitWriter w;
    w.bits(1, 1).bits(1, 2);
    fixed_literal(w, 'A');
    fixed_literal(w, sym);
    w.code(0, 5);
    fixed_literal(w, 256);
    EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed) << sym;
  }
  for (uint32_t dist_code : {30u, 31u}) {
    BitWriter w;
    w.bits(1, 1).bits(1, 2);
    fixed_literal(w, 'A');
    fixed_literal(w, 257);
    w.code(dist_code, 5);
    fixed_literal(w, 256);
    EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed) << dist_code;
  }
}

// A small complete literal/length code: 'a', 'b', end of block and length 3,
// two bits each; one one-bit distance code.
DynamicHeader small_code() {
  DynamicHeader h;
  h.lit.assign(258, 0);
  h.lit['a'] = h.lit['b'] = h.lit[256] = h.lit[257] = 2;
  h.dist = {1};
  return h;
}

Bytes small_block(const DynamicHeader& h) {
  BitWriter w;
  write_dynamic_header(w, true, h);
  const auto lit = canonical_codes(h.lit);
  const auto dist = canonical_codes(h.dist);
  w.code(lit['a'], h.lit['a']).code(lit['b'], h.lit['b']);
  w.code(lit[257], h.lit[257]).code(dist[0], h.dist[0]);  // three more 'b'
  w.code(lit[256], h.lit[256]);
  return w.done();
}

TEST(InflateDynamic, SmallCompleteCodeDecodes) {
  EXPECT_EQ(inflate_bytes(small_block(small_code())), Bytes({'a', 'b', 'b', 'b', 'b'}));
}

TEST(InflateDynamic, IncompleteLiteralCodeFails) {
  DynamicHeader h = small_code();
  h.lit['b'] = 3;  // leaves one three-bit code unassigned
  EXPECT_EQ(inflate_raw(small_block(h).data(), static_cast<u32>(small_block(h).size())), kFailed);
}

TEST(InflateDynamic, OverSubscribedCodesFail) {
  DynamicHeader lit = small_code();
  lit.lit['c'] = 2;  // five two-bit codes
  EXPECT_EQ(inflate_raw(small_block(lit).data(), static_cast<u32>(small_block(lit).size())), kFailed);
  DynamicHeader dist = small_code();
  dist.dist = {1, 1, 1};
  EXPECT_EQ(inflate_raw(small_block(dist).data(), static_cast<u32>(small_block(dist).size())), kFailed);
}

TEST(InflateDynamic, IncompleteCodeLengthCodeFails) {
  // Only symbols 0, 1 and 2 have code-length codes (three of four two-bit
  // codes), yet they are all the block uses.
  DynamicHeader h = small_code();
  h.clen.assign(19, 0);
  h.clen[0] = h.clen[1] = h.clen[2] = 2;
  EXPECT_EQ(inflate_raw(small_block(h).data(), static_cast<u32>(small_block(h).size())), kFailed);
}

TEST(HuffBuild, AcceptsCompleteCodesAndTheSanctionedIncompleteOnes) {
  HuffTable t{};
  const u8 complete[4] = {2, 2, 2, 2};
  EXPECT_EQ(huff_build(t, complete, 4, HuffKind::Literals), 1u);
  const u8 one_bit[3] = {0, 1, 0};
  EXPECT_EQ(huff_build(t, one_bit, 3, HuffKind::Distances), 1u);
  const u8 none[30] = {};
  EXPECT_EQ(huff_build(t, none, 30, HuffKind::Distances), 1u);
  EXPECT_EQ(huff_build(t, one_bit, 3, HuffKind::CodeLengths), 0u);
  const u8 short_of_one[3] = {1, 2, 0};
  EXPECT_EQ(huff_build(t, short_of_one, 3, HuffKind::Literals), 0u);
}

TEST(HuffBuild, RefusesOverSubscribedCodes) {
  HuffTable t{};
  const u8 three_one_bit[3] = {1, 1, 1};
  EXPECT_EQ(huff_build(t, three_one_bit, 3, HuffKind::Distances), 0u);
  u8 many[288];
  std::fill(std::begin(many), std::end(many), 8);  // 288 eight-bit codes, room for 256
  EXPECT_EQ(huff_build(t, many, 288, HuffKind::Literals), 0u);
  const u8 too_long[2] = {16, 1};
  EXPECT_EQ(huff_build(t, too_long, 2, HuffKind::Literals), 0u);
}

TEST(HuffBuild, DecodesEachCanonicalCode) {
  // Lengths from RFC 1951's own example (3.2.2): A..H = 3 3 3 3 3 2 4 4.
  const u8 lengths[8] = {3, 3, 3, 3, 3, 2, 4, 4};
  HuffTable t{};
  ASSERT_EQ(huff_build(t, lengths, 8, HuffKind::Literals), 1u);
  const uint32_t codes[8] = {0b010, 0b011, 0b100, 0b101, 0b110, 0b00, 0b1110, 0b1111};
  for (u32 sym = 0; sym < 8; ++sym) {
    BitWriter w;
    w.code(codes[sym], lengths[sym]).bits(0x5A5A, 16);
    const Bytes b = w.done();
    BitReader r;
    br_init(r, b.data(), static_cast<u32>(b.size()));
    EXPECT_EQ(huff_decode(r, t), static_cast<i32>(sym));
    EXPECT_EQ(br_get_bits(r, 16), 0x5A5Au);
  }
}

TEST(InflateDynamic, IncompleteDistanceCodeOtherThanOneBitFails) {
  DynamicHeader h = small_code();
  h.dist = {2, 2};
  EXPECT_EQ(inflate_raw(small_block(h).data(), static_cast<u32>(small_block(h).size())), kFailed);
}

TEST(InflateDynamic, NoDistanceCodesServeLiteralOnlyBlocks) {
  DynamicHeader h = small_code();
  h.dist = {0};
  const auto lit = canonical_codes(h.lit);
  BitWriter ok;
  write_dynamic_header(ok, true, h);
  ok.code(lit['a'], 2).code(lit['b'], 2).code(lit[256], 2);
  EXPECT_EQ(inflate_bytes(ok.done()), Bytes({'a', 'b'}));
  EXPECT_EQ(inflate_raw(small_block(h).data(), static_cast<u32>(small_block(h).size())), kFailed);
}

TEST(InflateDynamic, RepeatWithNothingBeforeItFails) {
  DynamicHeader h = small_code();
  h.sequence = {{16, 0}, {2, 0}};
  BitWriter w;
  write_dynamic_header(w, true, h);
  EXPECT_EQ(inflate_raw(w.done().data(), static_cast<u32>(w.done().size())), kFailed);
}

TEST(InflateDynamic, RepeatsCoverRunsAndStopAtTheEnd) {
  DynamicHeader h = small_code();
  // 97 zeros, 'a' and 'b', 157 zeros, end of block and length 3; the last
  // run of 11 zeros passes the single distance length and is cut there.
  h.sequence = {{18, 86}, {2, 0}, {2, 0}, {18, 127}, {17, 7}, {17, 6}, {2, 0}, {2, 0}, {18, 0}};
  const auto lit = canonical_codes(h.lit);
  BitWriter w;
  write_dynamic_header(w, true, h);
  w.code(lit['a'], 2).code(lit['b'], 2).code(lit['a'], 2).code(lit[256], 2);
  EXPECT_EQ(inflate_bytes(w.done()), Bytes({'a', 'b', 'a'}));
}

TEST(InflateDynamic, MissingEndOfBlockCodeFails) {
  DynamicHeader h = small_code();
  h.lit[256] = 0;
  h.lit['c'] = 2;
  EXPECT_EQ(inflate_raw(small_block(h).data(), static_cast<u32>(small_block(h).size())), kFailed);
}

TEST(InflateDynamic, LongestCodesDecodeThroughBothTableLevels) {
  // Lengths 1, 2, ..., 14, 15, 15: every code length in one code, the
  // fifteen-bit ones sharing a second-level table.
  DynamicHeader h;
  h.lit.assign(257, 0);
  const int syms[16] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 256};
  for (int i = 0; i < 15; ++i) h.lit[syms[i]] = static_cast<uint8_t>(i + 1);
  h.lit[256] = 15;
  h.dist = {0};
  const auto lit = canonical_codes(h.lit);
  BitWriter w;
  write_dynamic_header(w, true, h);
  Bytes expect;
  for (int round = 0; round < 3; ++round)
    for (int i = 14; i >= 0; --i) {
      w.code(lit[syms[i]], h.lit[syms[i]]);
      expect.push_back(static_cast<uint8_t>(syms[i]));
    }
  w.code(lit[256], 15);
  EXPECT_EQ(inflate_bytes(w.done()), expect);
}

}  // namespace
}  // namespace tavlin
