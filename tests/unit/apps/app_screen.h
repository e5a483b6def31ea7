// Reading application pictures back from the test canvas: whether a text
// was drawn at a place in one colour, glyph by glyph from the font's rows.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "kernel/gfx/font.h"
#include "kernel/gfx/gfx.h"

namespace tavlin::test {

// Every pixel of each 8 x 8 cell is the ink exactly where the glyph has a
// bit set.
inline ::testing::AssertionResult text_drawn_at(i32 x, i32 y, const std::string& text, u32 ink) {
  for (size_t i = 0; i < text.size(); ++i)
    for (i32 r = 0; r < 8; ++r)
      for (i32 b = 0; b < 8; ++b) {
        const i32 px = x + 8 * static_cast<i32>(i) + b, py = y + r;
        const bool on = font8x8[static_cast<u8>(text[i]) & 0x7F][r] >> b & 1;
        if ((backbuf[static_cast<size_t>(py) * fb_width + static_cast<size_t>(px)] == ink) != on)
          return ::testing::AssertionFailure() << "'" << text[i] << "' of \"" << text << "\" differs at (" << px
                                               << ", " << py << ")";
      }
  return ::testing::AssertionSuccess();
}

}  // namespace tavlin::test
