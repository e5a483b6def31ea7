// The ".hit" program file: a 14-byte header (the magic "TAVLIN", a version
// byte, seven reserved bytes) followed by big-endian bytecode, all held in a
// file's inline text.
#pragma once
#include "kernel/core/types.h"
#include "kernel/fs/node_table.h"

namespace tavlin {

constexpr u32 kHitMagicSize = 6;
constexpr char kHitMagic[kHitMagicSize + 1] = "TAVLIN";
constexpr u32 kHitHeaderSize = 14;
constexpr u8 kHitVersion = 1;
// The inline text holds 511 bytes; that is all a program file can be.
constexpr u32 kHitMaxFileSize = kFsTextCap - 1;

// The demonstration program scom writes, header included.
constexpr u32 kBuiltinProgramSize = 70;
extern const u8 builtin_program[kBuiltinProgramSize];

}  // namespace tavlin
