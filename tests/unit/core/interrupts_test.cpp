// The interrupt controllers, the timer and the dispatcher's handling of
// every kind of vector.
#include <gtest/gtest.h>

#include "unit/core/screen_fixture.h"
#include "kernel/core/descriptors.h"
#include "kernel/core/interrupts.h"
#include "kernel/core/timer.h"

namespace tavlin {
namespace {

class Interrupts : public test::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    pit_ticks = 0;
    unhandled_irq_count = 0;
  }
  static void raise(u32 vector, u32 error = 0, u32 eip = 0x101234) {
    InterruptFrame frame{};
    frame.vector = vector;
    frame.error_code = error;
    frame.eip = eip;
    tavlin_interrupt_dispatch(&frame);
  }
};

TEST_F(Interrupts, PicRemapIsTenWritesEachWithADelay) {
  pic_remap();
  std::vector<fake_hw::PortWrite> expected;
  const std::pair<u16, u8> steps[] = {{0x20, 0x11}, {0xA0, 0x11}, {0x21, 0x20}, {0xA1, 0x28}, {0x21, 0x04},
                                      {0xA1, 0x02}, {0x21, 0x01}, {0xA1, 0x01}, {0x21, 0x00}, {0xA1, 0x00}};
  for (auto [port, value] : steps) {
    expected.push_back({port, value, 1});
    expected.push_back({0x80, 0, 1});
  }
  EXPECT_EQ(fake_hw::writes(), expected);
}

TEST_F(Interrupts, TimerIsProgrammedFor100Hz) {
  pit_init();
  std::vector<fake_hw::PortWrite> expected = {{0x43, 0x36, 1}, {0x40, 0x9B, 1}, {0x40, 0x2E, 1}};
  EXPECT_EQ(fake_hw::writes(), expected);
}

TEST_F(Interrupts, TimerTickCountsAndAcknowledges) {
  raise(32);
  raise(32);
  EXPECT_EQ(pit_ticks, 2u);
  EXPECT_EQ(fake_hw::writes_to(0x20).size(), 2u);
}

TEST_F(Interrupts, GatesForExceptionsAndEveryIrqLine) {
  idt_install();
  for (u32 v = 0; v < 48; ++v) {
    EXPECT_EQ(idt[v].type_attr, 0x8E) << v;
    EXPECT_EQ(idt[v].selector, 0x08) << v;
  }
  for (u32 v = 48; v < 256; ++v) EXPECT_EQ(idt[v].type_attr, 0) << v;
  EXPECT_EQ(idtp.limit, 2047);
}

TEST_F(Interrupts, SpuriousIrq7IsNotAcknowledged) {
  fake_hw::set_default(0x20, 0x00);  // in-service register: nothing on line 7
  raise(39);
  for (auto& w : fake_hw::writes()) EXPECT_FALSE(w.port == 0x20 && w.value == 0x20);
  EXPECT_EQ(unhandled_irq_count, 0u);
}

TEST_F(Interrupts, SpuriousIrq15AcknowledgesOnlyTheMaster) {
  fake_hw::set_default(0xA0, 0x00);
  raise(47);
  auto master = fake_hw::writes_to(0x20);
  ASSERT_EQ(master.size(), 1u);
  EXPECT_EQ(master[0].value, 0x20u);
  for (auto& w : fake_hw::writes_to(0xA0)) EXPECT_NE(w.value, 0x20u);
}

TEST_F(Interrupts, ALineWithoutHandlerIsMaskedAndAcknowledged) {
  fake_hw::set_default(0xA1, 0x00);
  raise(32 + 11);  // a network card's line
  EXPECT_EQ(unhandled_irq_count, 1u);
  auto mask = fake_hw::writes_to(0xA1);
  ASSERT_EQ(mask.size(), 1u);
  EXPECT_EQ(mask[0].value, 0x08u);
  EXPECT_EQ(fake_hw::writes_to(0xA0).back().value, 0x20u);
  EXPECT_EQ(fake_hw::writes_to(0x20).back().value, 0x20u);
}

TEST_F(Interrupts, ExceptionsEndInTheCrashScreenWithTheirDetails) {
  fake_hw::set_default(0x3FD, 0x20);
  script_enter_key();
  EXPECT_THROW(raise(14, 0x2, 0x00104ABC), fake_hw::MachineReset);
  auto log = fake_hw::bytes_written_to(0x3F8);
  std::string text(log.begin(), log.end());
  EXPECT_NE(text.find("[CPU] exception 14 error 0x00000002 at EIP 0x00104ABC"), std::string::npos);

  script_enter_key();
  EXPECT_THROW(raise(13), fake_hw::MachineReset);
}

TEST_F(Interrupts, CrashScreenIgnoresEverythingButAnEnterPress) {
  // Status full with a release of Enter, another key, then Enter itself.
  fake_hw::script_reads(0x64, {0x00, 0x01, 0x01, 0x01});
  fake_hw::script_reads(0x60, {0x9C, 0x1E, 0x1C});
  EXPECT_THROW(raise(6), fake_hw::MachineReset);
  EXPECT_EQ(fake_hw::writes_to(0x64).size(), 1u);  // only the reset command
}

}  // namespace
}  // namespace tavlin
