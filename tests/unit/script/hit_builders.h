// Builders for ".hit" program files in the script tests: the header, a
// small assembler for the instructions the tests need, and a helper that
// stores arbitrary bytes as a file's inline text.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "kernel/fs/node_table.h"

namespace tavlin::script_test {

using Bytes = std::vector<u8>;

inline Bytes hit_header(u8 version = 1, u8 reserved = 0) {
  Bytes h = {'T', 'A', 'V', 'L', 'I', 'N', version};
  h.insert(h.end(), 7, reserved);
  return h;
}

inline void operand(Bytes& code, u32 value) {
  for (int shift = 24; shift >= 0; shift -= 8) code.push_back(static_cast<u8>(value >> shift));
}
inline Bytes& push(Bytes& code, i32 value) {
  code.push_back(1);
  operand(code, static_cast<u32>(value));
  return code;
}
inline Bytes& syscall(Bytes& code, u32 id) {
  code.push_back(14);
  operand(code, id);
  return code;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Puts bytes into a new file's inline text with the given size field.
inline i32 program_file(i32 parent, const char* name, const Bytes& bytes, u32 size) {
  const i32 node = fs_create(parent, name, kFsFile);
  if (node < 0) return node;
  std::memcpy(fs_nodes[node].text, bytes.data(), std::min<size_t>(bytes.size(), kFsTextCap));
  fs_nodes[node].size = size;
  return node;
}
inline i32 program_file(i32 parent, const char* name, const Bytes& bytes) {
  return program_file(parent, name, bytes, static_cast<u32>(bytes.size()));
}

inline Bytes file_bytes(i32 node) {
  const FsNode& f = fs_nodes[node];
  return Bytes(f.text, f.text + std::min<u32>(f.size, kFsTextCap));
}

}  // namespace tavlin::script_test
