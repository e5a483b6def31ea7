// The kernel's string and memory routines.
#include <gtest/gtest.h>

#include <cstring>

#include "kernel/core/kstring.h"

namespace tavlin {
namespace {

TEST(Strings, CopyCutsAtCapacityAndEqualComparesLength) {
  char buf[8];
  EXPECT_EQ(str_copy(buf, "abcdefghijklmnopqrst", sizeof buf), 7u);
  EXPECT_STREQ(buf, "abcdefg");
  EXPECT_EQ(str_copy(buf, "", 1), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(str_eq("", ""), 1u);
  EXPECT_EQ(str_eq("ab", "abc"), 0u);
  EXPECT_EQ(str_eq("abc", "ab"), 0u);
  EXPECT_EQ(str_eq("abc", "abc"), 1u);
}

TEST(Strings, IntToStrPadsAndSigns) {
  const struct {
    i32 value, min_digits;
    const char* text;
  } cases[] = {{9, 2, "09"}, {10, 2, "10"}, {0, 1, "0"}, {0, 2, "00"}, {-12, 1, "-12"}, {-5, 2, "-05"},
               {-2147483647 - 1, 1, "-2147483648"}, {2147483647, 1, "2147483647"}};
  for (const auto& c : cases) {
    char buf[12];
    int_to_str(c.value, buf, c.min_digits);
    EXPECT_STREQ(buf, c.text) << c.value;
  }
}

TEST(Memory, MoveHandlesOverlapBothWays) {
  for (int shift : {1, -1, 5, -5}) {
    unsigned char buf[64], expect[64];
    for (int i = 0; i < 64; ++i) buf[i] = expect[i] = static_cast<unsigned char>(i * 7);
    unsigned char* src = buf + 10;
    memmove(src + shift, src, 40);
    std::memmove(expect + 10 + shift, expect + 10, 40);
    EXPECT_EQ(0, std::memcmp(buf, expect, 64)) << shift;
  }
}

TEST(Memory, CopyAndSetEveryLengthAndAlignment) {
  for (usize offset = 0; offset < 8; ++offset) {
    for (usize n = 0; n < 70; ++n) {
      unsigned char src[96], dst[96];
      for (int i = 0; i < 96; ++i) src[i] = static_cast<unsigned char>(i + 1), dst[i] = 0xEE;
      memcpy(dst + offset, src, n);
      for (usize i = 0; i < 96; ++i)
        ASSERT_EQ(dst[i], (i >= offset && i < offset + n) ? src[i - offset] : 0xEE);
      memset(dst + offset, 0x5A, n);
      for (usize i = 0; i < 96; ++i)
        ASSERT_EQ(dst[i], (i >= offset && i < offset + n) ? 0x5A : 0xEE);
    }
  }
}

TEST(Memory, Set32FillsExactlyCountWords) {
  u32 words[20];
  for (auto& w : words) w = 1;
  memset32(words + 1, 0xAABBCCDD, 17);
  EXPECT_EQ(words[0], 1u);
  for (int i = 1; i <= 17; ++i) EXPECT_EQ(words[i], 0xAABBCCDDu);
  EXPECT_EQ(words[18], 1u);
}

}  // namespace
}  // namespace tavlin
