// hitasm: assembles the bytecode machine's mnemonics into ".hit" program
// files. One statement a line: an optional "label:", then an instruction or
// a directive; ";" starts a comment.
//
//   Instructions  NOP PUSH POP ADD SUB MUL DIV JMP JZ JNZ NOP4 HALT LOAD
//                 STORE SYSCALL CMP LT GT EQ NE AND OR NOT (any case)
//   Operands      sums and differences of numbers (12, -3, 0x1F, 'a'),
//                 labels (code offsets), @label (the program address of
//                 that byte of code), .equ names and, for SYSCALL, the
//                 names of the system calls (draw_rect, ticks, ...)
//   Directives    .equ NAME value   .byte v, v, ...   .int v (32-bit,
//                 big-endian)   .string "text" (with \n \t \" \\ \0; a NUL
//                 is appended)
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace hitasm {

using Bytes = std::vector<uint8_t>;

struct Result {
  Bytes code;         // the bytecode, without the file header
  std::string error;  // "line N: what is wrong", empty on success
  bool ok() const { return error.empty(); }
};

// The most bytecode a program file can carry.
constexpr size_t kMaxCode = 511 - 14;

Result assemble(const std::string& source);

// The header (the magic "TAVLIN", version 1, seven zero bytes) and the code.
Bytes hit_file(const Bytes& code);

// The name hash a SYSCALL operand may give instead of the call's number.
uint32_t name_hash(const std::string& name);

}  // namespace hitasm
