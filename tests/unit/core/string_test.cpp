// The string, memory and serial print routines (memset32 is checked by every fill), and the serial port's set-up.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "fake/fake_hw.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"

namespace tavlin {
namespace {

TEST(Strings, CopyCutsAtCapacityAndNumbersArePaddedAndSigned) {
  char buf[12];
  EXPECT_EQ(str_copy(buf, "abcdefghijklmnopqrst", 8), 7u);
  EXPECT_STREQ(buf, "abcdefg");
  EXPECT_EQ((std::vector<u32>{str_eq("", ""), str_eq("ab", "abc"), str_eq("abc", "ab")}), (std::vector<u32>{1, 0, 0}));
  const std::tuple<i32, i32, const char*> cases[] = {  // value, least digits, text
      {9, 2, "09"}, {0, 1, "0"}, {-12, 1, "-12"}, {-5, 2, "-05"}, {-2147483647 - 1, 1, "-2147483648"},
      {2147483647, 1, "2147483647"}};
  for (const auto& [value, min_digits, text] : cases) {
    int_to_str(value, buf, min_digits);
    EXPECT_STREQ(buf, text) << value;
  }
}

TEST(Memory, MoveHandlesOverlapBothWaysAndCopyAndSetEveryLengthAndAlignment) {
  for (int shift : {1, -1, 5, -5}) {
    unsigned char buf[64], expect[64];
    for (int i = 0; i < 64; ++i) buf[i] = expect[i] = static_cast<unsigned char>(i * 7);
    memmove(buf + 10 + shift, buf + 10, 40);
    std::memmove(expect + 10 + shift, expect + 10, 40);
    EXPECT_EQ(0, std::memcmp(buf, expect, 64)) << shift;
  }
  for (usize offset = 0; offset < 8; ++offset)
    for (usize n = 0; n < 70; ++n) {
      unsigned char src[96], dst[96];
      for (int i = 0; i < 96; ++i) src[i] = static_cast<unsigned char>(i + 1);
      std::memset(dst, 0xEE, sizeof dst);
      memcpy(dst + offset, src, n);
      for (usize i = 0; i < 96; ++i) ASSERT_EQ(dst[i], (i >= offset && i < offset + n) ? src[i - offset] : 0xEE);
      memset(dst + offset, 0x5A, n);
      for (usize i = 0; i < 96; ++i) ASSERT_EQ(dst[i], (i >= offset && i < offset + n) ? 0x5A : 0xEE);
    }
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
  const auto sent = fake_hw::bytes_written_to(0x3F8);
  EXPECT_EQ(std::string(sent.begin(), sent.end()), "a\r\nb0A4294967295");
  fake_hw::reset();
  fake_hw::set_default(0x3FD, 0x00);  // never ready: costs time, the byte still goes
  serial_puts("x");
  EXPECT_EQ(fake_hw::writes(), (std::vector<fake_hw::PortWrite>{{0x3F8, 'x', 1}}));
}

}  // namespace
}  // namespace tavlin
