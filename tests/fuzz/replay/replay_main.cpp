// Runs a fuzz target once over every file of its corpus, without libFuzzer, so that `make test` keeps every input that
// ever crashed it from crashing it again. Built with the unit tests' sanitizers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc != 2) return 2;  // the corpus folder is the only argument
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++inputs;
  }
  std::printf("%d inputs from %s\n", inputs, argv[1]);
  // An empty corpus would make this a test that cannot fail.
  return inputs > 0 ? 0 : 1;
}
