// The interrupt dispatcher, the 8259 pair, the timer and the exception path.
#include "kernel/core/interrupts.h"

#include "kernel/arch/hw.h"
#include "kernel/core/crash_screen.h"
#include "kernel/core/descriptors.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/kstring.h"
#include "kernel/core/mouse.h"
#include "kernel/core/pic.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"

namespace tavlin {

u32 pit_ticks;
u32 held_tick;
bool tick_held;
u32 tick_hold_serial;
u32 unhandled_irq_count;

namespace {

constexpr u8 kPicReadInService = 0x0B;  // OCW3: next read of the command port gives the ISR

constexpr u16 kPitCommand = 0x43;
constexpr u16 kPitChannel0 = 0x40;
constexpr u8 kPitChannel0Square = 0x36;  // channel 0, lo/hi byte, mode 3, binary
constexpr u16 kPitDivisor = 11931;       // 1193182 Hz / 11931 = 100 Hz

void pic_write(u16 port, u8 value) {
  hw::outb(port, value);
  hw::io_wait();
}

bool line_in_service(u16 command_port, u32 line) {
  hw::outb(command_port, kPicReadInService);
  return hw::inb(command_port) & (1u << line);
}

// A line with no handler: acknowledge it and mask it, so that a device that
// keeps its line asserted (a PCI card, say) cannot flood the processor.
// Spurious IRQ 7 and 15 are not real requests and must not be acknowledged
// on their own controller.
void handle_other_irq(u32 line) {
  if (line == 7 && !line_in_service(pic::kMasterCommand, 7)) return;
  if (line == 15 && !line_in_service(pic::kSlaveCommand, 7)) {
    pic::end_of_interrupt(2);  // the cascade line was real
    return;
  }
  ++unhandled_irq_count;
  const u16 data_port = line < 8 ? pic::kMasterData : pic::kSlaveData;
  hw::outb(data_port, static_cast<u8>(hw::inb(data_port) | (1u << (line & 7))));
  pic::end_of_interrupt(line);
  serial_puts("[IRQ] masked line without a handler: ");
  serial_dec32(line);
  serial_puts("\n");
}

char fault_log[160];

void append_hex(char* dst, u32 value) {
  char text[11];
  hex32_to_str(value, text);
  str_cat(dst, text);
}

// "<first line>\nVector: n  Error code: 0x...  EIP: 0x..." for the report.
const char* describe_fault(const char* first_line, const InterruptFrame& frame) {
  char number[12];
  str_copy(fault_log, first_line, sizeof fault_log);
  str_cat(fault_log, "\nVector: ");
  int_to_str(static_cast<i32>(frame.vector), number, 1);
  str_cat(fault_log, number);
  str_cat(fault_log, "  Error code: ");
  append_hex(fault_log, frame.error_code);
  str_cat(fault_log, "  EIP: ");
  append_hex(fault_log, frame.eip);
  serial_puts("[CPU] exception ");
  serial_dec32(frame.vector);
  serial_puts(" error ");
  serial_hex32(frame.error_code);
  serial_puts(" at EIP ");
  serial_hex32(frame.eip);
  serial_puts("\n");
  return fault_log;
}

}  // namespace

void pic_remap() {
  pic_write(pic::kMasterCommand, 0x11);  // ICW1: initialise, ICW4 follows
  pic_write(pic::kSlaveCommand, 0x11);
  pic_write(pic::kMasterData, kIrqBase);      // ICW2: vector bases
  pic_write(pic::kSlaveData, kIrqBase + 8);
  pic_write(pic::kMasterData, 0x04);  // ICW3: slave on line 2
  pic_write(pic::kSlaveData, 0x02);   //       slave identity 2
  pic_write(pic::kMasterData, 0x01);  // ICW4: 8086 mode
  pic_write(pic::kSlaveData, 0x01);
  pic_write(pic::kMasterData, 0x00);  // every line enabled
  pic_write(pic::kSlaveData, 0x00);
}

void pit_init() {
  hw::outb(kPitCommand, kPitChannel0Square);
  hw::outb(kPitChannel0, kPitDivisor & 0xFF);
  hw::outb(kPitChannel0, kPitDivisor >> 8);
}

void interrupts_init() {
  gdt_install();
  idt_install();
  pic_remap();
  pit_init();
  hw::sti();
}

void isr_timer() {
  pit_ticks = pit_ticks + 1;
  pic::end_of_interrupt(0);
}

void isr_fault_gp(const InterruptFrame& frame) {
  crash_screen("GENERAL_PROTECTION_FAULT", describe_fault("General Protection Fault (#13)", frame));
}

void isr_fault_generic(const InterruptFrame& frame) {
  crash_screen("UNHANDLED_EXCEPTION", describe_fault("Unhandled CPU exception", frame));
}

}  // namespace tavlin

extern "C" void tavlin_interrupt_dispatch(tavlin::InterruptFrame* frame) {
  using namespace tavlin;
  const u32 v = frame->vector;
  if (v == kVectorGp) isr_fault_gp(*frame);
  if (v < kExceptionCount) isr_fault_generic(*frame);
  if (v == kVectorTimer)
    isr_timer();
  else if (v == kVectorKeyboard)
    isr_keyboard();
  else if (v == kVectorMouse)
    isr_mouse();
  else if (v >= kIrqBase && v < kIrqBase + kIrqCount)
    handle_other_irq(v - kIrqBase);
}
