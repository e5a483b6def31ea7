// A 1024 x 768 host framebuffer for tests that present or crash, with the fake hardware starting clean.
#pragma once
#include "fake/fake_hw.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {

class ScreenTest : public ScreenCanvas {
 protected:
  void SetUp() override {
    fake_hw::reset();
    ScreenCanvas::SetUp();
  }

  // Lets a crash screen's polled wait see Enter released and pressed, so it
  // ends in a reset even when the chord left Enter held.
  static void script_enter_key() {
    fake_hw::script_reads(0x64, {0x01, 0x01});
    fake_hw::script_reads(0x60, {0x9C, 0x1C});
  }
};

}  // namespace tavlin::test
