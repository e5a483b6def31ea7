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

class Serial : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_hw::reset();
    fake_hw::set_default(0x3FD, 0x20);  // transmitter empty
  }
};

TEST_F(Serial, SetUpWritesSevenRegistersInOrder) {
  serial_init();
  std::vector<fake_hw::PortWrite> expected = {{0x3F9, 0x00, 1}, {0x3FB, 0x80, 1}, {0x3F8, 0x03, 1},
                                              {0x3F9, 0x00, 1}, {0x3FB, 0x03, 1}, {0x3FA, 0xC7, 1},
                                              {0x3FC, 0x0B, 1}};
  EXPECT_EQ(fake_hw::writes(), expected);
}

TEST_F(Serial, LineFeedBecomesCarriageReturnLineFeed) {
  serial_puts("a\nb");
  EXPECT_EQ(sent(), "a\r\nb");
}

TEST_F(Serial, NumbersInHexAndDecimal) {
  serial_hex32(32902);
  serial_hex8(10);
  serial_dec32(0);
  serial_dec32(4294967295u);
  EXPECT_EQ(sent(), "0x000080860A04294967295");
}

TEST_F(Serial, AMissingUartCostsTimeButNeverHangs) {
  fake_hw::set_default(0x3FD, 0x00);  // never ready
  serial_puts("x");
  EXPECT_EQ(sent(), "x");
  EXPECT_EQ(fake_hw::writes().size(), 1u);
}

}  // namespace
}  // namespace tavlin
