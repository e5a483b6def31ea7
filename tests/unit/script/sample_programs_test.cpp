// hitasm and the sample programs the store server offers: its line-numbered
// errors (what it assembles, every machine test runs); the committed files are
// what it makes of their sources, and on the machine they draw what they are for.
#include <fstream>
#include <iterator>

#include "kernel/gfx/font.h"
#include "kernel/script/hit_format.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

TEST(Hitasm, ReportsTheLineOfWhatItCannotRead) {
  const std::pair<std::string, const char*> cases[] = {
      {"NOP\nFLY 3", "line 2: unknown instruction FLY"},  {"PUSH", "line 1: PUSH needs an operand"},
      {"ADD 1", "line 1: ADD takes no operand"},          {"JMP nowhere", "line 1: unknown name nowhere"},
      {"a: NOP\na: NOP", "line 2: defined twice: a"},     {"PUSH 0x100000000", "line 1: value out of 32-bit range"},
      {".byte 256", "line 1: byte out of range: 256"},    {".string unquoted", "line 1: expected a quoted string"},
      {".word 1", "line 1: unknown directive .word"}};
  for (const auto& [source, error] : cases) EXPECT_EQ(hitasm::assemble(source).error, error) << source;
  std::string long_program;
  for (int i = 0; i < 100; ++i) long_program += "PUSH 1\n";
  EXPECT_EQ(hitasm::assemble(long_program).error, "program too long: 500 bytes, at most 497");
}

std::string read_file(const std::string& path) {
  std::ifstream in(TAVLIN_SOURCE_DIR "/assets/" + path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Loads the committed file as the loader would and runs it until `stop_at`
// ticks have passed, when Ctrl+C ends it.
class Samples : public VmTest {
 protected:
  void run_sample(const char* name, u32 stop_at) {
    const std::string file = read_file(std::string("store_seed/") + name + ".hit");
    ASSERT_GT(file.size(), kHitHeaderSize);
    code.assign(file.begin() + kHitHeaderSize, file.end());
    fake_hw::set_halt_hook([stop_at] {
      pit_ticks = pit_ticks + 1;
      if (pit_ticks == stop_at) key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;
    });
    vm_load(vm, code.data(), static_cast<i32>(code.size()));
    vm_execute(vm);
    EXPECT_EQ(vm.error, kVmInterrupted) << name;
  }
  i32 count_colour(u32 colour, i32 x0, i32 y0, i32 w, i32 h) const {
    i32 n = 0;
    for (i32 y = y0; y < y0 + h; ++y)
      for (i32 x = x0; x < x0 + w; ++x) n += screen[y * 1024 + x] == colour;
    return n;
  }
};

TEST_F(Samples, CommittedFilesAreWhatTheSourcesAssembleTo) {
  for (const char* name : {"bounce", "keys"}) {
    const hitasm::Result r = hitasm::assemble(read_file(std::string("programs/") + name + ".hitasm"));
    ASSERT_TRUE(r.ok()) << name << ": " << r.error;
    const hitasm::Bytes file = hitasm::hit_file(r.code);
    EXPECT_EQ(read_file(std::string("store_seed/") + name + ".hit"), std::string(file.begin(), file.end()))
        << name << ".hit is stale: rebuild it with hitasm";
  }
}

TEST_F(Samples, BounceMovesABallAroundItsWindow) {
  run_sample("bounce", 20);
  const Window& w = windows[0];
  EXPECT_EQ((Ints{static_cast<i32>(w.app), w.x, w.y, w.w, w.h}), (Ints{99, 352, 240, 320, 240}));
  EXPECT_STREQ(w.title, "Bounce");
  // The last frame shown, the eleventh: the ball (a radius-10 disc, about
  // 300 pixels) has moved 10 steps of (2, 3) from (40, 31).
  const i32 ball = count_colour(0xFFB000, 353, 270, 318, 209);
  EXPECT_GT(ball, 250);
  EXPECT_EQ(count_colour(0xFFB000, 353 + 60 - 11, 270 + 61 - 11, 23, 23), ball);
  EXPECT_GT(count_colour(0x1E2A38, 353, 270, 318, 209), 318 * 209 - 400);
}

TEST_F(Samples, KeysEchoesWhatIsTyped) {
  type_keys("hi");
  run_sample("keys", 10);
  EXPECT_STREQ(windows[0].title, "Keys");
  for (auto [c, x] : {std::pair{"h", 341}, {"i", 349}}) {
    memset(backbuf, 0xFF, 1024 * 768 * 4);
    draw_text(x, 338, c, 0x1C1C1C, 1);
    for (i32 y = 338; y < 346; ++y)
      for (i32 xx = x; xx < x + 8; ++xx) EXPECT_EQ(screen[y * 1024 + xx] & 0xFFFFFF, pixel(xx, y) & 0xFFFFFF) << c;
  }
}

}  // namespace
}  // namespace tavlin::script_test
