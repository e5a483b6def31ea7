// The crash path: the registered report is drawn over everything, then a
// polled wait for Enter and a reset through the keyboard controller.
#include "kernel/core/crash_screen.h"

#include "kernel/arch/hw.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/ps2.h"

namespace tavlin {
namespace {

CrashPainter crash_painter = nullptr;

constexpr u8 kEnterMake = 0x1C;
// Status bit 5: the byte waiting in the data port came from the mouse.
constexpr u8 kStatusAuxData = 0x20;

[[noreturn]] void wait_for_enter_and_reset() {
  // The manual chord ends with Enter held: its key repeat must not reset the
  // machine before anyone has read the report, so a held Enter has to be
  // released before a press counts.
  bool enter_down = key_states[kEnterMake] != 0;
  // Interrupts are off here (we may be inside a handler): poll, never halt.
  for (;;) {
    const u8 status = hw::inb(ps2::kStatus);
    if (!(status & ps2::kOutputFull)) continue;
    const u8 s = hw::inb(ps2::kData);
    // A mouse still sends packets; one of their bytes may look like Enter.
    if (status & kStatusAuxData) continue;
    if ((s & 0x7F) != kEnterMake) continue;
    if (s & 0x80)
      enter_down = false;
    else if (!enter_down)
      break;
  }
  for (;;) {
    while (hw::inb(ps2::kStatus) & ps2::kInputFull) {
    }
    hw::outb(ps2::kCommand, ps2::kCmdPulseReset);
  }
}

}  // namespace

void crash_screen_set_painter(CrashPainter painter) { crash_painter = painter; }

void crash_screen(const char* code, const char* log) {
  if (crash_painter) crash_painter(code, log);
  wait_for_enter_and_reset();
}

}  // namespace tavlin
