// Typed command lines, one per input line, through a Terminal window with no
// network card: its 14 lines stay terminated and its folder stays live.
#include <cstring>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/fs/fs.h"
#include "kernel/script/loader.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/window.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  using namespace tavlin;
  static const u8 sample[] = {'Y', 'R', 'F', '1', 0, 1, 0, 1, 0, 0, 0, 1, 1, 0xF8, 0};
  fs_populate({sample, sizeof sample}, {sample, sizeof sample}, {sample, sizeof sample});
  windows_init();
  dock_reset_all();
  loaded_apps_reset();
  Window& w = *win_alloc();
  w.in_use = 1;
  w.app = app::kTerminal;
  w.term_cwd = fs_root;
  for (usize at = 0; at < size;) {
    u32 n = 0;
    while (at < size && data[at] != '\n') {
      if (n < kTermInputCap - 1) w.term_input[n++] = static_cast<char>(data[at]);
      ++at;
    }
    ++at;
    w.term_input[n] = 0;
    w.term_input_len = n;
    run_terminal_command(&w);
    if (w.term_line_count > kTermLines || !fs_is_live_dir(w.term_cwd)) __builtin_trap();
    for (const auto& line : w.term_lines)
      if (!std::memchr(line, 0, kTermLineCap)) __builtin_trap();
  }
  fake_hw::clear_writes();
  return 0;
}
