// scom: checks that the named input file exists in the root folder and
// writes the built-in demonstration program as a new ".hit" file there. The
// input's content is not read; every output is the same 70 bytes.
#include "kernel/apps/apps.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/script/hit_format.h"
#include "kernel/script/script.h"

namespace tavlin {

// Opcodes and system calls as the machine numbers them.
namespace {
constexpr u8 kPush = 0x01;
constexpr u8 kSyscall = 0x0E;
constexpr u8 kHalt = 0x0F;
constexpr u8 kDrawRect = 1;
constexpr u8 kDrawText = 2;
constexpr u32 kNameCap = 64;  // 63 characters
constexpr char kDefaultOutput[] = "a.hit";
}  // namespace

// Draws an empty rectangle, then text from an address no program may use:
// the program shows nothing and stops on the bad address.
const u8 builtin_program[kBuiltinProgramSize] = {
    'T', 'A', 'V', 'L', 'I', 'N', kHitVersion, 0, 0, 0, 0, 0, 0, 0,
    kPush, 0xFF, 0xFF, 0xFF, 0xFF,  // colour -1
    kPush, 0, 0, 0, 200,            // x
    kPush, 0, 0, 0, 44,             // y
    kPush, 0, 0, 0, 0,              // width
    kPush, 0, 0, 0, 0,              // height
    kSyscall, 0, 0, 0, kDrawRect,
    kPush, 0, 0, 0, 10,             // colour
    kPush, 0, 0, 0, 10,             // x
    kPush, 0, 0, 0, 10,             // y
    kPush, 0xFF, 0, 0, 0xFF,        // text address
    kSyscall, 0, 0, 0, kDrawText,
    kHalt,
};

namespace {

// The first "-o" in text, or null.
const char* find_output_flag(const char* text) {
  for (const char* p = text; p[0]; ++p)
    if (p[0] == '-' && p[1] == 'o') return p;
  return nullptr;
}

void println_all(Window& win, const char* const* lines, u32 count) {
  for (u32 i = 0; i < count; ++i) term_println(&win, lines[i]);
}

}  // namespace

// scom <input> [-o <output>]
TermEnd term_scom(Window& win, const char* arg) {
  char input[kNameCap], output[kNameCap];
  const char* rest = term_take_word(term_skip_spaces(arg), input, sizeof input);
  str_copy(output, kDefaultOutput, sizeof output);
  if (const char* flag = find_output_flag(rest)) {
    term_take_word(term_skip_spaces(flag + 2), output, sizeof output);
    if (!output[0]) str_copy(output, kDefaultOutput, sizeof output);
  }

  term_println(&win, "Compiling...");
  if (fs_find_child(fs_root, input) < 0) {
    term_println(&win, "Error: Input file not found");
    return TermEnd::kReturnEarly;
  }
  // fs_create refuses a taken name, so an existing program is never overwritten.
  const i32 node = fs_create(fs_root, output, kFsFile);
  if (node < 0) {
    term_println(&win, "Error: Could not create output file");
    return TermEnd::kReturnEarly;
  }
  FsNode& file = fs_nodes[node];
  memcpy(file.text, builtin_program, kBuiltinProgramSize);
  file.text[kBuiltinProgramSize] = 0;
  file.size = kBuiltinProgramSize;

  const char* report[] = {"Compiled: ", input, " -> ", output, "Run with: ./", output};
  println_all(win, report, sizeof report / sizeof report[0]);
  return TermEnd::kFinish;
}

}  // namespace tavlin
