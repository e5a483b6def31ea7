// The Terminal's buffer and command line: scrolling, the echo, the split
// into word and argument, unknown words, the finishing line, and the
// commands that only print or act on the window.
#include <gtest/gtest.h>

#include "unit/apps/terminal_fixture.h"

namespace tavlin::term_test {
namespace {

using TermBuffer = TerminalTest;
using CommandLine = TerminalTest;
using InfoCommands = TerminalTest;

TEST_F(TermBuffer, FreshTerminalGreetsAndTheFifteenthLineScrollsTheOldestOut) {
  EXPECT_EQ(buffer(), (Lines{"TavlinOS Terminal - Beta", "Type 'help' for commands.", ""}));
  EXPECT_EQ((Ints{term->term_cwd, i32(term->term_input_len)}), (Ints{fs_root, 0}));
  term->term_line_count = 0;
  for (int i = 1; i <= 15; ++i) term_println(term, ("line " + std::to_string(i)).c_str());
  Lines expected;
  for (int i = 2; i <= 15; ++i) expected.push_back("line " + std::to_string(i));
  EXPECT_EQ(buffer(), expected);
  EXPECT_EQ(term->term_line_count, 14u);
  term_println(term, std::string(60, 'x').c_str());
  EXPECT_EQ(buffer().back(), std::string(48, 'x'));
  EXPECT_EQ(buffer().front(), "line 3");
}

TEST_F(CommandLine, EchoSplitFinishAndTheCommandsThatOnlyPrint) {
  const struct {
    std::string line;
    Lines buffer;
  } cases[] = {
      {"", {"> ", ""}},
      {"frobnicate now", {"> frobnicate now", "Unknown command: frobnicate", ""}},
      {"HELP", {"> HELP", "Unknown command: HELP", ""}},
      {"helpme", {"> helpme", "Unknown command: helpme", ""}},
      {" help", {">  help", ""}},  // a leading space runs nothing
      {"echo  two  spaces ", {"> echo  two  spaces ", " two  spaces ", ""}},
      {"echo", {"> echo", "", ""}},
      {"echo " + std::string(40, 'z'), {"> echo " + std::string(40, 'z'), std::string(40, 'z'), ""}},
      {"about", {"> about", "TavlinOS - a tiny bare-metal desktop.", ""}},
      {"help",
       {"> help", "help about clock date echo clear", "ls cd pwd cat mkdir touch rm",
        "minimize close ifconfig wget itest scom run", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.line), c.buffer) << c.line;
    EXPECT_EQ(input(), "") << c.line;
    EXPECT_EQ(term->term_input_len, 0u) << c.line;
  }
  enter("help");
  enter("clear");  // the echo goes with the rest; the finishing line stays
  EXPECT_EQ(buffer(), (Lines{""}));
  for (int i = 1; i < kTermLines; ++i) EXPECT_STREQ(term->term_lines[i], "") << i;
}

TEST_F(CommandLine, UnterminatedInputIsReadOnlyUpToItsArray) {
  memset(term->term_input, 'q', sizeof term->term_input);
  term->term_input_len = 60;
  term->term_line_count = 0;
  run_terminal_command(term);
  EXPECT_EQ(buffer(), (Lines{"> " + std::string(46, 'q'), "Unknown command: " + std::string(31, 'q'), ""}));
}

TEST_F(CommandLine, StaleCurrentFolderFallsBackToTheRoot) {
  const i32 docs = dir_at("/Documents");
  const i32 sub = fs_create(docs, "sub", kFsDir);
  term->term_cwd = sub;
  ASSERT_EQ(fs_delete(docs, "sub"), 1u);
  EXPECT_EQ(output("pwd"), (Lines{"/"}));
  EXPECT_EQ(term->term_cwd, fs_root);
  // A file that takes over the slot must not become the current folder.
  ASSERT_EQ(text_file(docs, "recycled", "x"), sub);
  term->term_cwd = sub;
  EXPECT_EQ(output("touch f"), Lines{});
  EXPECT_GE(fs_find_child(fs_root, "f"), 0);
}

TEST_F(InfoCommands, DateAndClockGiveUptimeFromTicks) {
  const struct {
    u32 ticks;
    const char* line;
  } cases[] = {{0, "Uptime: 0h 0m 0s"},
               {372300, "Uptime: 1h 2m 3s"},
               {372399, "Uptime: 1h 2m 3s"},
               {5999, "Uptime: 0h 0m 59s"},
               {360000 * 30 + 6000 * 59 + 100 * 7, "Uptime: 30h 59m 7s"},
               {0xFFFFFFFFu, "Uptime: 11930h 27m 52s"}};
  for (const auto& c : cases) {
    pit_ticks = c.ticks;
    EXPECT_EQ(output("date"), (Lines{c.line})) << c.ticks;
    EXPECT_EQ(output("clock"), (Lines{c.line})) << c.ticks;
  }
}

TEST_F(InfoCommands, MinimizeAndCloseReturnEarlyKeepingTheCommand) {
  EXPECT_EQ(run("minimize"), (Lines{"> minimize", "Minimizing..."}));
  EXPECT_EQ(input(), "minimize");
  EXPECT_EQ(term->minimize_pending, 1u);
  EXPECT_EQ(run("close"), (Lines{"> close", "Closing..."}));
  EXPECT_EQ(input(), "close");
  EXPECT_EQ(term->close_pending, 1u);
  pit_ticks = pit_ticks + 1000;
  win_end_finished_animations();
  EXPECT_EQ(term->in_use, 0u);
}

}  // namespace
}  // namespace tavlin::term_test
