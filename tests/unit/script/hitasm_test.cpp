// hitasm: the forms its sources may take, the bytes they give, and the
// line-numbered errors for what it cannot read.
#include "tools/hitasm/assembler.h"

#include <gtest/gtest.h>

namespace {

using hitasm::Bytes;

TEST(Hitasm, AssemblesInstructionsLabelsConstantsAndData) {
  const hitasm::Result ok = hitasm::assemble(R"(
      .equ BASE 0x100000
  top:  PUSH BASE+2
        push -1
        SYSCALL ticks
        JMP top
        PUSH @text+1
        PUSH ';'
        HALT
  text: .string "a;\"\n"
        .byte 1, 255, -1
        .int 0x01020304)");
  ASSERT_TRUE(ok.ok()) << ok.error;
  EXPECT_EQ(ok.code, (Bytes{1, 0, 0x10, 0, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 14, 0, 0, 0, 14, 7, 0, 0, 0, 0,
                            1, 0, 0, 0x10, 0x20, 1, 0, 0, 0, ';', 11, 'a', ';', '"', '\n', 0, 1, 255, 255,
                            1, 2, 3, 4}));
  EXPECT_EQ(hitasm::hit_file({11}), (Bytes{'T', 'A', 'V', 'L', 'I', 'N', 1, 0, 0, 0, 0, 0, 0, 0, 11}));
}

TEST(Hitasm, ReportsTheLineOfWhatItCannotRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"NOP\nFLY 3", "line 2: unknown instruction FLY"},
      {"PUSH", "line 1: PUSH needs an operand"},
      {"ADD 1", "line 1: ADD takes no operand"},
      {"JMP nowhere", "line 1: unknown name nowhere"},
      {"a: NOP\na: NOP", "line 2: defined twice: a"},
      {"PUSH 0x100000000", "line 1: value out of 32-bit range"},
      {".byte 256", "line 1: byte out of range: 256"},
      {".string unquoted", "line 1: expected a quoted string"},
      {".word 1", "line 1: unknown directive .word"},
  };
  for (auto [source, error] : cases) EXPECT_EQ(hitasm::assemble(source).error, error) << source;
  std::string long_program;
  for (int i = 0; i < 100; ++i) long_program += "PUSH 1\n";
  EXPECT_EQ(hitasm::assemble(long_program).error, "program too long: 500 bytes, at most 497");
}

}  // namespace
