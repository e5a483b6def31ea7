// The serial log's port set-up and the bytes each print routine sends.
#include <gtest/gtest.h>

#include <string>

#include "fake/fake_hw.h"
#include "kernel/core/serial.h"

namespace tavlin {
namespace {

std::string sent() {
  auto b = fake_hw::bytes_written_to(0x3F8);
  return std::string(b.begin(), b.end());
}

TEST(Serial, SetsUp38400Baud8N1PrintsAndNeverHangsOnAMissingUart) {
  fake_hw::reset();
  serial_init();
  EXPECT_EQ(fake_hw::writes_to(0x3F8).front().value, 3u);  // divisor latch low byte
  EXPECT_EQ(fake_hw::writes_to(0x3FB).back().value, 0x03u);  // 8 bits, no parity, one stop bit, latch closed
  fake_hw::clear_writes();
  serial_puts("a\nb");
  serial_hex8(10);
  serial_dec32(4294967295u);
  EXPECT_EQ(sent(), "a\r\nb0A4294967295");
  fake_hw::reset();
  fake_hw::set_default(0x3FD, 0x00);  // never ready: costs time, the byte still goes
  serial_puts("x");
  EXPECT_EQ(fake_hw::writes(), (std::vector<fake_hw::PortWrite>{{0x3F8, 'x', 1}}));
}

}  // namespace
}  // namespace tavlin
