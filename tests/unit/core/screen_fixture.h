// A host framebuffer for tests that present or crash: fb points at a vector
// and the fake hardware starts clean.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/types.h"

namespace tavlin::test {

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { use_screen(1024, 768, 1024); }

  void use_screen(u32 width, u32 height, u32 pitch_px) {
    fake_hw::reset();
    fake_hw::set_default(0x3FD, 0x20);  // the UART is always ready: logging costs nothing
    screen.assign(static_cast<size_t>(pitch_px) * height, 0xDEADBEEF);
    fb = reinterpret_cast<uptr>(screen.data());
    fb_width = width;
    fb_height = height;
    fb_pitch_px = pitch_px;
    fb_ok = 1;
  }

  // Lets a crash screen's polled wait see Enter released and pressed, so it
  // ends in a reset even when the chord left Enter held.
  static void script_enter_key() {
    fake_hw::script_reads(0x64, {0x01, 0x01});
    fake_hw::script_reads(0x60, {0x9C, 0x1C});
  }

  std::vector<u32> screen;
};

}  // namespace tavlin::test
