// Shared set-up for the Terminal's tests: one Terminal opened the way the
// dock opens it over the standard tree, the clock at zero, no programs
// loaded; helpers to type a command line and read the buffer back.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/fs/fs.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/net/intel/e1000.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "kernel/net/realtek/rtl8139.h"
#include "kernel/script/loader.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/window.h"

namespace tavlin::term_test {

using Lines = std::vector<std::string>;
using Ints = std::vector<i32>;

constexpr uint16_t kSerialData = 0x3F8;

// Small stand-ins for the embedded samples; the tree only copies them.
inline const std::vector<u8> kSampleYrf = {'Y', 'R', 'F', '1', 0, 1, 0, 1, 0, 0, 0, 3, 1, 0xF8, 0};
inline const std::vector<u8> kSamplePng = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0, 'I', 'E', 'N', 'D'};
inline const std::vector<u8> kSampleZeva = {'Z', 'E', 'V', 'A', 0, 1, 0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 3, 1, 0, 0};

inline std::string serial_log() {
  std::string out;
  for (uint8_t c : fake_hw::bytes_written_to(kSerialData))
    if (c != '\r') out += static_cast<char>(c);
  return out;
}

// The root, Desktop, Documents, Downloads and Applications; Quillon.yrf in
// Downloads; Tavlin.yrf and DoruViza.zeva on the Desktop, all blob-backed.
inline void standard_tree() {
  auto of = [](const std::vector<u8>& v) { return SampleFile{v.data(), static_cast<u32>(v.size())}; };
  fs_populate(of(kSampleYrf), of(kSamplePng), of(kSampleZeva));
}

inline i32 dir_at(const char* path) {
  const i32 node = fs_resolve_path(path);
  EXPECT_TRUE(fs_is_live_dir(node)) << path;
  return node;
}

inline i32 text_file(i32 parent, const char* name, const std::string& text) {
  const i32 node = fs_create(parent, name, kFsFile);
  EXPECT_GE(node, 0) << name;
  if (node >= 0) fs_set_content(node, text.c_str());
  return node;
}

// One Terminal opened the way the dock opens it; network state is the test's business.
class TerminalRig {
 public:
  void open_terminal() {
    pit_ticks = 0;
    windows_init();
    dock_reset_all();
    // The Terminal's own guards against removed folders, without the shell's
    // listener that other fixtures leave registered.
    fs_set_removal_listener(nullptr);
    standard_tree();
    loaded_apps_reset();
    open_app(static_cast<i32>(app::kTerminal));
    for (Window& w : windows)
      if (w.in_use && w.app == app::kTerminal) term = &w;
    ASSERT_NE(term, nullptr);
    fake_hw::clear_writes();
  }

  // Other suites build bare tables and rely on the root and Desktop naming nothing.
  void close_terminal() {
    windows_init();
    fs_tables_reset();
    fs_root = fs_desktop_dir = kFsNone;
  }

  // Types a line as the keyboard would leave it and presses Enter.
  void enter(const std::string& line) {
    str_copy(term->term_input, line.c_str(), kTermInputCap);
    term->term_input_len = strlen(term->term_input);
    run_terminal_command(term);
  }

  Lines buffer() const {
    return Lines(term->term_lines, term->term_lines + std::min<u32>(term->term_line_count, kTermLines));
  }

  // What one line adds to an emptied buffer: echo, output, finishing line.
  Lines run(const std::string& line) {
    term->term_line_count = 0;
    enter(line);
    return buffer();
  }

  // The output alone, checking the echo and the finishing line around it.
  Lines output(const std::string& line) {
    Lines all = run(line);
    EXPECT_EQ(all.size() < 2 ? "" : all.front() + "|" + all.back(), "> " + line + "|") << line;
    return all.size() < 2 ? Lines{} : Lines(all.begin() + 1, all.end() - 1);
  }

  std::string input() const { return term->term_input; }

  Window* term = nullptr;
};

// Terminal tests without a network card.
class TerminalTest : public ::testing::Test, public TerminalRig {
 protected:
  void SetUp() override {
    fake_hw::reset();
    nic_detach();
    e1000_ok = rtl8139_ok = 0;
    net_config_clear();
    open_terminal();
  }
  void TearDown() override { close_terminal(); }
};

}  // namespace tavlin::term_test
