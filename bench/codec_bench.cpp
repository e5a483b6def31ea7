// Codec speed against the real zlib and libpng on the same inputs in the
// same run. Each benchmark times both sides itself and reports the ratio
// (ours / reference throughput); ratio 1.0 is parity.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "kernel/codec/image_cache.h"
#include "kernel/codec/inflate.h"
#include "kernel/codec/png.h"
#include "ratio.h"
#include "unit/codec/codec_builders.h"

namespace {

using namespace codec_test;

constexpr size_t kCorpusSize = 1 << 20;

// Real text: the Debian changelogs installed on the machine.
Bytes changelog_text() {
  Bytes out;
  for (const auto& e : std::filesystem::recursive_directory_iterator("/usr/share/doc")) {
    if (out.size() >= kCorpusSize) break;
    if (e.path().filename() != "changelog.Debian.gz") continue;
    gzFile gz = gzopen(e.path().c_str(), "rb");
    if (!gz) continue;
    Bytes text(kCorpusSize);
    const int n = gzread(gz, text.data(), static_cast<unsigned>(text.size()));
    gzclose(gz);
    if (n > 0) out.insert(out.end(), text.begin(), text.begin() + n);
  }
  if (out.size() < kCorpusSize / 2) out = text_data(kCorpusSize);
  out.resize(std::min(out.size(), kCorpusSize));
  return out;
}

// Noise with a skewed byte distribution: Huffman-coded literals, few matches.
Bytes skewed_noise() {
  std::mt19937 rng(11);
  std::geometric_distribution<int> g(0.04);
  Bytes out(kCorpusSize);
  for (auto& b : out) b = static_cast<uint8_t>(g(rng));
  return out;
}

Bytes empty_blocks() {
  BitWriter w;
  for (int i = 0; i < 800000; ++i) {
    w.bits(0, 1).bits(1, 2);
    fixed_literal(w, 256);
  }
  w.bits(1, 1).bits(1, 2);
  fixed_literal(w, 'x');
  fixed_literal(w, 256);
  return w.done();
}

Bytes distance_one_runs() {
  BitWriter w;
  w.bits(1, 1).bits(1, 2);
  fixed_literal(w, 'r');
  for (int i = 0; i < 4000; ++i) {
    fixed_literal(w, 285);
    w.code(0, 5);
  }
  fixed_literal(w, 256);
  return w.done();
}

// Every literal sent with a fifteen-bit code.
Bytes longest_codes() {
  DynamicHeader h;
  h.lit.assign(257, 0);
  for (int i = 0; i < 14; ++i) h.lit['a' + i] = static_cast<uint8_t>(i + 1);
  h.lit['z'] = 15;
  h.lit[256] = 15;
  h.dist = {0};
  const auto codes = canonical_codes(h.lit);
  BitWriter w;
  write_dynamic_header(w, true, h);
  for (int i = 0; i < 1000000; ++i) w.code(codes['z'], 15);
  w.code(codes[256], 15);
  return w.done();
}

// Our throughput as a fraction of the reference's on the same input (best of
// several rounds each): 0.5 means half as fast, 1.0 parity.
template <typename Ours, typename Reference>
void speed_ratio(benchmark::State& state, const char* counter, size_t bytes, Ours&& ours, Reference&& reference) {
  for (auto _ : state) {
    ours();
    benchmark::ClobberMemory();
  }
  state.counters[counter] = tavlin::bench::best_seconds(reference, 7) / tavlin::bench::best_seconds(ours, 7);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void inflate_vs_zlib(benchmark::State& state, const Bytes& stream) {
  static Bytes ref(tavlin::kInflateOutSize);
  const Bytes expect = zlib_inflate_raw(stream.data(), stream.size(), tavlin::kInflateOutSize);
  const tavlin::u32 n = tavlin::inflate_raw(stream.data(), static_cast<tavlin::u32>(stream.size()));
  if (expect.empty() || n != expect.size() || std::memcmp(tavlin::png_zlib_out, expect.data(), n) != 0) {
    state.SkipWithError("inflate_raw disagrees with zlib");
    return;
  }
  speed_ratio(
      state, "speed_vs_zlib", expect.size(),
      [&] { tavlin::inflate_raw(stream.data(), static_cast<tavlin::u32>(stream.size())); },
      [&] {
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = const_cast<uint8_t*>(stream.data());
        z.avail_in = static_cast<uInt>(stream.size());
        z.next_out = ref.data();
        z.avail_out = static_cast<uInt>(ref.size());
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
      });
}

void BM_InflateText(benchmark::State& s) { static const Bytes in = zlib_deflate_raw(changelog_text(), 6); inflate_vs_zlib(s, in); }
void BM_InflateImage(benchmark::State& s) { static const Bytes in = zlib_deflate_raw(image_data(512, 512), 6); inflate_vs_zlib(s, in); }
void BM_InflateSkewedNoise(benchmark::State& s) { static const Bytes in = zlib_deflate_raw(skewed_noise(), 6); inflate_vs_zlib(s, in); }
void BM_InflateStoredNoise(benchmark::State& s) { static const Bytes in = zlib_deflate_raw(noise_data(kCorpusSize), 6); inflate_vs_zlib(s, in); }
void BM_InflateEmptyBlocks(benchmark::State& s) { static const Bytes in = empty_blocks(); inflate_vs_zlib(s, in); }
void BM_InflateDistanceOneRuns(benchmark::State& s) { static const Bytes in = distance_one_runs(); inflate_vs_zlib(s, in); }
void BM_InflateLongestCodes(benchmark::State& s) { static const Bytes in = longest_codes(); inflate_vs_zlib(s, in); }

void BM_Png512Rgba(benchmark::State& state) {
  static const Bytes file = [] {
    PngSpec s{512, 512, PNG_COLOR_TYPE_RGB_ALPHA, image_data(512, 512), {}, {}, false, {}, PNG_ALL_FILTERS, 6};
    return libpng_write(s);
  }();
  tavlin::u32 w = 0, h = 0;
  const Decoded want = libpng_read_argb(file);
  if (!tavlin::png_decode(file.data(), static_cast<tavlin::u32>(file.size()), &w, &h) || want.width != w ||
      std::memcmp(tavlin::image_decode_scratch, want.pixels.data(), want.pixels.size() * 4) != 0) {
    state.SkipWithError("png_decode disagrees with libpng");
    return;
  }
  speed_ratio(
      state, "speed_vs_libpng", 512 * 512 * 4,
      [&] { tavlin::png_decode(file.data(), static_cast<tavlin::u32>(file.size()), &w, &h); },
      [&] { benchmark::DoNotOptimize(libpng_read_argb(file)); });
}

BENCHMARK(BM_InflateText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateSkewedNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateStoredNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateEmptyBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateDistanceOneRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateLongestCodes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png512Rgba)->Unit(benchmark::kMillisecond);

}  // namespace
