// The Terminal's line buffer and its command line: the echo, the split into
// command word and argument, the command table, and the finishing line.
#include "kernel/apps/terminal.h"

#include "kernel/apps/apps.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/script/script.h"

namespace tavlin {
namespace {

constexpr u32 kLineMaxChars = kTermLineCap - 1;

struct TermCommand {
  const char* word;
  TermCommandFn run;
};

// Tested in this order; the first exact (case-sensitive) match runs.
constexpr TermCommand kCommands[] = {
    {"help", term_help},         {"clear", term_clear}, {"about", term_about},
    {"minimize", term_minimize}, {"close", term_close}, {"ifconfig", term_ifconfig},
    {"itest", term_itest},       {"scom", term_scom},   {"run", term_run},
    {"date", term_date},         {"clock", term_date},  {"echo", term_echo},
    {"pwd", term_pwd},           {"wget", term_wget},   {"ls", term_ls},
    {"cd", term_cd},             {"cat", term_cat},     {"mkdir", term_mkdir},
    {"touch", term_touch},       {"rm", term_rm},
};

void clear_input(Window& win) {
  win.term_input[0] = 0;
  win.term_input_len = 0;
}

TermEnd dispatch(Window& win, const char* word, const char* arg) {
  for (const TermCommand& command : kCommands)
    if (str_eq(word, command.word)) return command.run(win, arg);
  TermLine line;
  line.add("Unknown command: ");
  line.add(word);
  term_println(&win, line.text);
  return TermEnd::kFinish;
}

}  // namespace

void TermLine::add(const char* s) {
  while (*s) add_char(*s++);
}

void TermLine::add_char(char c) {
  if (len >= kLineMaxChars) return;
  text[len++] = c;
  text[len] = 0;
}

void TermLine::add_dec(u32 value) {
  char digits[10];
  u32 count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  while (count) add_char(digits[--count]);
}

const char* term_take_word(const char* p, char* out, u32 cap) {
  u32 n = 0;
  for (; *p && *p != ' '; ++p)
    if (n + 1 < cap) out[n++] = *p;
  out[n] = 0;
  return p;
}

const char* term_skip_spaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

void term_println(Window* win, const char* text) {
  if (!win) return;
  if (win->term_line_count >= static_cast<u32>(kTermLines)) {
    for (i32 i = 1; i < kTermLines; ++i) memcpy(win->term_lines[i - 1], win->term_lines[i], kTermLineCap);
    win->term_line_count = kTermLines - 1;
    win->term_lines[kTermLines - 1][0] = 0;
  }
  str_copy(win->term_lines[win->term_line_count], text, kTermLineCap);
  win->term_line_count = win->term_line_count + 1;
}

void run_terminal_command(Window* win) {
  if (!win) return;
  Window& w = *win;
  // The keyboard keeps the line short, but it is read as a string here: make
  // sure it ends inside its array. Commands work on a copy, so nothing they
  // do to the window can move the argument under them.
  w.term_input[kTermInputCap - 1] = 0;
  char line[kTermInputCap];
  str_copy(line, w.term_input, sizeof line);

  TermLine echo;
  echo.add("> ");
  echo.add(line);
  term_println(win, echo.text);
  if (!line[0]) {
    term_println(win, "");
    clear_input(w);
    return;
  }
  // A folder removed behind the terminal's back (Finder, trash, a program)
  // leaves a stale index that a later folder may reuse: start over at the root.
  if (!fs_is_live_dir(w.term_cwd)) w.term_cwd = fs_root;

  if (line[0] != ' ') {
    char word[kTermInputCap];
    const char* rest = term_take_word(line, word, sizeof word);
    const char* arg = *rest == ' ' ? rest + 1 : rest;
    if (dispatch(w, word, arg) == TermEnd::kReturnEarly) return;
  }
  term_println(win, "");
  clear_input(w);
}

}  // namespace tavlin
