// The Terminal's built-in texts and window commands: help, clear, about,
// minimize, close, the uptime (date and clock) and echo.
#include "kernel/apps/apps.h"
#include "kernel/apps/terminal.h"
#include "kernel/core/timer.h"

namespace tavlin {

TermEnd term_help(Window& win, const char*) {
  term_println(&win, "help about clock date echo clear");
  term_println(&win, "ls cd pwd cat mkdir touch rm");
  term_println(&win, "minimize close ifconfig wget itest scom run");
  return TermEnd::kFinish;
}

TermEnd term_clear(Window& win, const char*) {
  for (auto& line : win.term_lines) line[0] = 0;
  win.term_line_count = 0;
  return TermEnd::kFinish;
}

TermEnd term_about(Window& win, const char*) {
  term_println(&win, "TavlinOS - a tiny bare-metal desktop.");
  return TermEnd::kFinish;
}

TermEnd term_minimize(Window& win, const char*) {
  term_println(&win, "Minimizing...");
  win_minimize(win);
  return TermEnd::kReturnEarly;
}

TermEnd term_close(Window& win, const char*) {
  term_println(&win, "Closing...");
  close_window(&win);
  return TermEnd::kReturnEarly;
}

TermEnd term_date(Window& win, const char*) {
  char text[kUptimeTextCap];
  uptime_text(ticks_now(), text);
  term_println(&win, text);
  return TermEnd::kFinish;
}

TermEnd term_echo(Window& win, const char* arg) {
  term_println(&win, arg);
  return TermEnd::kFinish;
}

}  // namespace tavlin
