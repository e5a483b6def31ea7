// COM1 set-up and the log's print routines. Every byte waits a bounded time
// for the transmitter, so a missing UART slows logging but never hangs us.
#include "kernel/core/serial.h"

#include "kernel/arch/hw.h"
#include "kernel/core/kstring.h"

namespace tavlin {
namespace {

constexpr u16 kCom1 = 0x3F8;
constexpr u16 kData = kCom1 + 0;         // data / divisor low
constexpr u16 kIntEnable = kCom1 + 1;    // interrupt enable / divisor high
constexpr u16 kFifoControl = kCom1 + 2;
constexpr u16 kLineControl = kCom1 + 3;
constexpr u16 kModemControl = kCom1 + 4;
constexpr u16 kLineStatus = kCom1 + 5;
constexpr u8 kTransmitEmpty = 0x20;
constexpr u32 kMaxStatusReads = 100001;

void send_byte(u8 byte) {
  for (u32 i = 0; i < kMaxStatusReads; ++i) {
    if (hw::inb(kLineStatus) & kTransmitEmpty) break;
  }
  hw::outb(kData, byte);
}

}  // namespace

void serial_init() {
  hw::outb(kIntEnable, 0x00);     // no UART interrupts
  hw::outb(kLineControl, 0x80);   // divisor latch on
  hw::outb(kData, 0x03);          // 115200 / 3 = 38400 baud
  hw::outb(kIntEnable, 0x00);
  hw::outb(kLineControl, 0x03);   // 8N1, latch off
  hw::outb(kFifoControl, 0xC7);   // FIFOs on and cleared, 14-byte trigger
  hw::outb(kModemControl, 0x0B);  // DTR, RTS, OUT2
}

void serial_putc(char c) {
  if (c == '\n') send_byte('\r');
  send_byte(static_cast<u8>(c));
}

void serial_puts(const char* s) {
  while (*s) serial_putc(*s++);
}

void serial_hex32(u32 value) {
  char text[11];
  hex32_to_str(value, text);
  serial_puts(text);
}

void serial_hex8(u8 value) {
  send_byte(kHexDigits[value >> 4]);
  send_byte(kHexDigits[value & 0xF]);
}

void serial_dec32(u32 value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  while (count) send_byte(static_cast<u8>(digits[--count]));
}

}  // namespace tavlin
