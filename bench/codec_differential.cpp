// Differential runs too big or too machine-dependent for the unit tests: the
// inflater and the PNG decoder against zlib and libpng on every level and
// strategy, and on the gzip and PNG files the machine's packages installed.
// A difference stops the benchmark with an error naming the input.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "kernel/codec/inflate.h"
#include "kernel/codec/png.h"
#include "unit/codec/codec_nodes.h"

namespace {

using namespace codec_test;

std::vector<std::string> installed_files(const char* extension) {
  std::vector<std::string> paths;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(
           "/usr/share", std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    if (it->is_regular_file() && it->path().extension() == extension) paths.push_back(it->path());
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Where the raw DEFLATE data starts inside a gzip member (RFC 1952), or 0.
size_t gzip_payload_offset(const Bytes& gz) {
  if (gz.size() < 18 || gz[0] != 0x1F || gz[1] != 0x8B || gz[2] != 8) return 0;
  const uint8_t flags = gz[3];
  size_t off = 10;
  if (flags & 4) off += 2 + (gz[off] | gz[off + 1] << 8);  // FEXTRA
  for (int bit : {8, 16})                                  // FNAME, FCOMMENT
    if (flags & bit) {
      while (off < gz.size() && gz[off]) ++off;
      ++off;
    }
  if (flags & 2) off += 2;  // FHCRC
  return off < gz.size() ? off : 0;
}

// "" when ours matches zlib on the raw stream, else what differed.
std::string inflate_difference(const uint8_t* stream, size_t len) {
  const Bytes expect = zlib_inflate_raw(stream, len, tavlin::kInflateOutSize + 1);
  const tavlin::u32 n = tavlin::inflate_raw(stream, static_cast<tavlin::u32>(len));
  if (expect.empty() || expect.size() > tavlin::kInflateOutSize) return n == 0 ? "" : "accepted what zlib refuses";
  if (n != expect.size()) return "length " + std::to_string(n) + ", zlib " + std::to_string(expect.size());
  return std::memcmp(tavlin::png_zlib_out, expect.data(), n) == 0 ? "" : "different bytes";
}

void BM_InflateEveryZlibLevelAndStrategy(benchmark::State& state) {
  const std::pair<const char*, Bytes> samples[] = {
      {"text", text_data(300000)}, {"noise", noise_data(200000)}, {"image", image_data(400, 300)}};
  for (auto _ : state)
    for (const auto& [name, data] : samples)
      for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE, Z_FILTERED})
        for (int level = 0; level <= 9; ++level) {
          const Bytes stream = zlib_deflate_raw(data, level, strategy);
          const std::string diff = inflate_difference(stream.data(), stream.size());
          if (!diff.empty())
            return state.SkipWithError((std::string(name) + " level " + std::to_string(level) + " strategy " +
                                        std::to_string(strategy) + ": " + diff).c_str());
        }
}

void BM_InflateInstalledGzipFiles(benchmark::State& state) {
  const std::vector<std::string> paths = installed_files(".gz");
  size_t compared = 0;
  for (auto _ : state)
    for (const std::string& path : paths) {
      const Bytes gz = read_file(path);
      const size_t off = gzip_payload_offset(gz);
      if (off == 0) continue;
      const std::string diff = inflate_difference(gz.data() + off, gz.size() - off);
      if (!diff.empty()) return state.SkipWithError((path + ": " + diff).c_str());
      ++compared;
    }
  state.counters["files"] = static_cast<double>(compared);
}

// Files in the decoder's subset (8-bit, not interlaced, at most 512x512)
// must match libpng; the rest must be refused.
void BM_PngInstalledFiles(benchmark::State& state) {
  const std::vector<std::string> paths = installed_files(".png");
  size_t compared = 0;
  for (auto _ : state)
    for (const std::string& path : paths) {
      const Bytes file = read_file(path);
      if (file.size() < 33 || !std::equal(file.begin(), file.begin() + 8, png_signature().begin())) continue;
      const uint32_t w = file[16] << 24 | file[17] << 16 | file[18] << 8 | file[19];
      const uint32_t h = file[20] << 24 | file[21] << 16 | file[22] << 8 | file[23];
      const bool in_subset = file[24] == 8 && file[28] == 0 && file[25] != 1 && file[25] != 5 && file[25] <= 6 &&
                             w <= 512 && h <= 512;
      const Decoded got = decode_with(tavlin::png_decode, file);
      const Decoded want = in_subset ? libpng_read_argb(file) : Decoded{};
      if (!in_subset && got.ok) return state.SkipWithError((path + ": decoded outside the subset").c_str());
      if (in_subset && want.width && (!got.ok || got.pixels != want.pixels))
        return state.SkipWithError((path + ": differs from libpng").c_str());
      ++compared;
    }
  state.counters["files"] = static_cast<double>(compared);
}

}  // namespace

BENCHMARK(BM_InflateEveryZlibLevelAndStrategy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_InflateInstalledGzipFiles)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PngInstalledFiles)->Unit(benchmark::kMillisecond)->Iterations(1);
