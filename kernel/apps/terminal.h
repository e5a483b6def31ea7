// The Terminal's insides, shared by its files: how a command ends, a bounded
// builder for output lines, word splitting, and the command handlers the
// command table in terminal.cpp runs.
#pragma once
#include "kernel/core/types.h"
#include "kernel/wm/window.h"

namespace tavlin {

// Most commands finish with an empty line and a cleared input line; a few
// return early, leaving the command in the input line.
enum class TermEnd { kFinish, kReturnEarly };
using TermCommandFn = TermEnd (*)(Window& win, const char* arg);

// One output line under construction, cut silently at 48 characters.
struct TermLine {
  char text[kTermLineCap];
  u32 len;

  TermLine() : len(0) { text[0] = 0; }
  void add(const char* s);
  void add_char(char c);
  void add_dec(u32 value);
};

// Copies the word at p (up to a space or the end) into out, keeping at most
// cap - 1 characters; returns the position after the whole word.
const char* term_take_word(const char* p, char* out, u32 cap);
const char* term_skip_spaces(const char* p);

TermEnd term_help(Window& win, const char* arg);
TermEnd term_clear(Window& win, const char* arg);
TermEnd term_about(Window& win, const char* arg);
TermEnd term_minimize(Window& win, const char* arg);
TermEnd term_close(Window& win, const char* arg);
TermEnd term_date(Window& win, const char* arg);
TermEnd term_echo(Window& win, const char* arg);

TermEnd term_pwd(Window& win, const char* arg);
TermEnd term_ls(Window& win, const char* arg);
TermEnd term_cd(Window& win, const char* arg);
TermEnd term_cat(Window& win, const char* arg);
TermEnd term_mkdir(Window& win, const char* arg);
TermEnd term_touch(Window& win, const char* arg);
TermEnd term_rm(Window& win, const char* arg);

TermEnd term_ifconfig(Window& win, const char* arg);
TermEnd term_itest(Window& win, const char* arg);
TermEnd term_wget(Window& win, const char* arg);

}  // namespace tavlin
