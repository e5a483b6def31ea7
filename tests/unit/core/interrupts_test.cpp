// The interrupt controllers, the timer and the dispatcher's handling of
// every kind of vector.
#include <gtest/gtest.h>

#include <tuple>

#include "kernel/core/descriptors.h"
#include "kernel/core/interrupts.h"
#include "kernel/core/timer.h"
#include "unit/core/screen_fixture.h"

namespace tavlin {
namespace {

class Interrupts : public test::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    pit_ticks = 0;
    unhandled_irq_count = 0;
  }
};

void raise(u32 vector, u32 error = 0, u32 eip = 0x101234) {
  InterruptFrame frame{.vector = vector, .error_code = error, .eip = eip};
  tavlin_interrupt_dispatch(&frame);
}

// End-of-interrupt commands sent to one controller.
size_t eoi_count(u16 port) {
  size_t n = 0;
  for (const auto& w : fake_hw::writes_to(port)) n += w.value == 0x20;
  return n;
}

TEST_F(Interrupts, IrqsMoveTo32And40AndTheTimerTicksAt100Hz) {
  pic_remap();
  pit_init();
  EXPECT_EQ(fake_hw::writes_to(0x21).front().value, 32u);
  EXPECT_EQ(fake_hw::writes_to(0xA1).front().value, 40u);
  const auto divisor = fake_hw::writes_to(0x40);
  EXPECT_EQ(1193182 / (divisor[0].value | divisor[1].value << 8), 100u);
  idt_install();
  for (u32 v = 0; v < 256; ++v) EXPECT_EQ(idt[v].type_attr, v < 48 ? 0x8E : 0) << v;
  fake_hw::clear_writes();
  raise(32);
  raise(32);
  EXPECT_EQ((std::pair{pit_ticks, eoi_count(0x20)}), (std::pair{2u, size_t{2}}));
}

TEST_F(Interrupts, LinesWithoutHandlersAreMaskedAndSpuriousOnesLeftAlone) {
  // Unhandled count, end-of-interrupts to the master and the slave, the slave's mask afterwards (from 0).
  const std::tuple<const char*, u32, std::vector<size_t>> cases[] = {
      {"spurious IRQ 7", 39, {0, 0, 0, 0}},
      {"spurious IRQ 15: the cascade was real", 47, {0, 1, 0, 0}},
      {"a network card's IRQ 11", 43, {1, 1, 1, 0x08}}};
  for (const auto& [what, interrupt, want] : cases) {
    SetUp();
    raise(interrupt);  // the in-service registers read 0
    const auto mask = fake_hw::writes_to(0xA1);
    const size_t slave_mask = mask.empty() ? 0 : mask.back().value;
    EXPECT_EQ((std::vector<size_t>{unhandled_irq_count, eoi_count(0x20), eoi_count(0xA0), slave_mask}), want) << what;
  }
}

TEST_F(Interrupts, ExceptionsEndInTheCrashScreenWithTheirDetails) {
  script_enter_key();
  EXPECT_THROW(raise(14, 0x2, 0x00104ABC), fake_hw::MachineReset);
  const auto log = fake_hw::bytes_written_to(0x3F8);
  EXPECT_NE(std::string(log.begin(), log.end()).find("[CPU] exception 14 error 0x00000002 at EIP 0x00104ABC"),
            std::string::npos);
}

}  // namespace
}  // namespace tavlin
