// hitasm <source> <output.hit>: assembles one program file.
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/hitasm/assembler.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: hitasm <source> <output.hit>\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot read\n";
    return 1;
  }
  std::stringstream source;
  source << in.rdbuf();
  const hitasm::Result result = hitasm::assemble(source.str());
  if (!result.ok()) {
    std::cerr << argv[1] << ": " << result.error << "\n";
    return 1;
  }
  const hitasm::Bytes file = hitasm::hit_file(result.code);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) {
    std::cerr << argv[2] << ": cannot write\n";
    return 1;
  }
  return 0;
}
