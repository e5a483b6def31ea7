// The full-screen error report: the last thing the kernel does after a fault
// or the crash chord. The drawing lives above core and is registered at
// start-up, so a fault path here needs no graphics of its own.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

using CrashPainter = void (*)(const char* code, const char* log);

// The function that draws and presents the report (null: none drawn).
void crash_screen_set_painter(CrashPainter painter);

// Draws the report, waits for Enter by polling the controller and resets the
// machine. Reached from interrupt context; never returns.
[[noreturn]] void crash_screen(const char* code, const char* log);

}  // namespace tavlin
