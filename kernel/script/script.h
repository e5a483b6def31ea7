// The scripting subsystem as the Terminal sees it: its two commands, scom
// (writes the demonstration program) and run (loads and starts a program).
#pragma once
#include "kernel/apps/terminal.h"

namespace tavlin {

TermEnd term_scom(Window& win, const char* arg);
TermEnd term_run(Window& win, const char* arg);

}  // namespace tavlin
