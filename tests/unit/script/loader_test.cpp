// The Terminal's scom and run: scom writes the demonstration program under "a.hit" or the "-o" name and never
// overwrites; run checks the program file, loads it (a ninth program takes the oldest entry) and says why it
// stopped. The store's sample programs are what hitasm makes of their sources and draw what they are for.
#include <cstring>
#include <fstream>
#include <iterator>

#include "kernel/core/keyboard.h"
#include "kernel/script/hit_format.h"
#include "kernel/script/loader.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

using term_test::Lines;
using term_test::serial_log;
using term_test::text_file;
class Run : public term_test::TerminalTest {};  // a class: an alias would name Test::Run

Bytes hit(const Bytes& code, u8 version = 1, u8 reserved = 0) {
  Bytes out = {'T', 'A', 'V', 'L', 'I', 'N', version};
  out.insert(out.end(), 7, reserved);
  out.insert(out.end(), code.begin(), code.end());
  return out;
}

// Puts bytes into a new file's inline text with the given size field.
i32 program_file(i32 parent, const char* name, const Bytes& bytes, u32 size = 0) {
  const i32 node = fs_create(parent, name, kFsFile);
  std::memcpy(fs_nodes[node].text, bytes.data(), std::min<size_t>(bytes.size(), kFsTextCap));
  fs_nodes[node].size = size ? size : static_cast<u32>(bytes.size());
  return node;
}

Lines running(const std::string& name, const char* why = nullptr) {
  return why ? Lines{"Running: ", name, why} : Lines{"Running: ", name};
}
Bytes file_bytes(i32 node) { return Bytes(fs_nodes[node].text, fs_nodes[node].text + fs_nodes[node].size); }
const Bytes kDemonstration(builtin_program, builtin_program + kBuiltinProgramSize);

// Both files are looked up in the root, whatever the current folder; the input is not read. The program
// loads into the first entry from a clear state and stops on its text address.
TEST_F(Run, ScomWritesTheDemonstrationProgramUnderTheFlagsNameNeverOverwritesAndRunLoadsIt) {
  const i32 docs = term_test::dir_at("/Documents");
  text_file(docs, "local.txt", "x");
  text_file(fs_root, "in", "");
  const i32 mine = text_file(fs_root, "keep.hit", "my own text");
  term->term_cwd = docs;
  const std::pair<const char*, const char*> cases[] = {
      {"scom in", "a.hit"}, {"scom   in -o    spaced.hit", "spaced.hit"},
      {"scom in -ojoined.hit", "joined.hit"}, {"scom in -o   ", "a.hit"}};
  for (const auto& [line, out] : cases) {
    fs_delete(fs_root, "a.hit");
    EXPECT_EQ(output(line), (Lines{"Compiling...", "Compiled: ", "in", " -> ", out, "Run with: ./", out})) << line;
    EXPECT_EQ(file_bytes(fs_find_child(fs_root, out)), kDemonstration) << line;
  }
  const u32 nodes = fs_node_count;
  const char* const not_found = "Error: Input file not found";
  const char* const not_created = "Error: Could not create output file";
  const std::pair<std::string, const char*> refusals[] = {
      {"scom", not_found},       {"scom nothing.txt", not_found},      {"scom local.txt", not_found},
      {"scom in", not_created},  {"scom in -o keep.hit", not_created}, {"scom in -o Desktop", not_created}};
  for (const auto& [line, error] : refusals) {
    EXPECT_EQ(run(line), (Lines{"> " + line, "Compiling...", error})) << line;
    EXPECT_EQ(input(), line);
  }
  EXPECT_EQ(fs_node_count, nodes);
  EXPECT_STREQ(fs_nodes[mine].text, "my own text");
  VmState& vm = loaded_apps[0].vm;
  vm.sp = 9;  // left over in the table
  vm.var_count = 3;
  fake_hw::clear_writes();
  EXPECT_EQ(output("run a.hit"), running("a.hit", "Stopped: bad address (-5)"));
  EXPECT_EQ(serial_log(), "[App] Loaded: a.hit (56 bytes)\n");
  const LoadedApp& app = loaded_apps[0];
  EXPECT_EQ((std::vector<u32>{app.in_use, app.slot, app.window, app_count}), (std::vector<u32>{1, 0, 0, 1}));
  EXPECT_STREQ(app.name, "a.hit");
  EXPECT_EQ(Bytes(vm.code, vm.code + vm.code_len), Bytes(kDemonstration.begin() + 14, kDemonstration.end()));
  program_file(fs_root, "p.hit", hit({0x0B}, 9, 0xEE));  // whatever the version and reserved bytes
  ASSERT_EQ(app_load("p.hit"), 1);
  const VmState& fresh = loaded_apps[1].vm;
  EXPECT_EQ((Ints{fresh.code_len, fresh.pc, fresh.sp, fresh.var_count, fresh.error}), (Ints{1, 0, 0, 0, 0}));
}

TEST_F(Run, NeedsANameAndAFileInTheRootHoldingAHeaderWithTheMagic) {
  EXPECT_EQ(run("run"), (Lines{"> run", "Usage: run <file.hit>"}));
  EXPECT_EQ(input(), "run");  // the usage returns early
  fs_create(fs_root, "dir.hit", kFsDir);
  program_file(term_test::dir_at("/Documents"), "local.hit", hit({}));
  term->term_cwd = term_test::dir_at("/Documents");
  Bytes thirteen = hit({});
  thirteen.pop_back();
  program_file(fs_root, "short.hit", thirteen);
  Bytes bad_magic = hit({0x0F});
  bad_magic[5] = 'M';
  program_file(fs_root, "TAVLIM.hit", bad_magic);
  // The samples keep their bytes in blobs; their inline text is empty.
  ASSERT_TRUE(fs_move(fs_find_child(term_test::dir_at("/Desktop"), "Tavlin.yrf"), fs_root));
  const std::pair<const char*, const char*> refusals[] = {
      {"nope.hit", "[App] File not found: nope.hit\n"},   {"dir.hit", "[App] File not found: dir.hit\n"},
      {"local.hit", "[App] File not found: local.hit\n"}, {"short.hit", "[App] File too small\n"},
      {"TAVLIM.hit", "[App] Invalid magic\n"},           {"Tavlin.yrf", "[App] Invalid magic\n"}};
  for (const auto& [name, log] : refusals) {
    fake_hw::clear_writes();
    EXPECT_EQ(output(std::string("run ") + name), (Lines{"Failed to load app"})) << name;
    EXPECT_EQ(serial_log(), log) << name;
  }
  EXPECT_EQ(app_count, 0u);
  program_file(fs_root, "empty.hit", hit({}));
  EXPECT_EQ(output("run empty.hit"), running("empty.hit"));  // no code: ends at once
  // A size counting more than the inline text holds never stretches the code.
  program_file(fs_root, "big.hit", hit({}), 400000);
  EXPECT_EQ(output("run big.hit"), running("big.hit"));
  EXPECT_EQ((Ints{loaded_apps[0].vm.code_len, loaded_apps[1].vm.code_len}), (Ints{0, 511 - 14}));
}

TEST_F(Run, ANinthProgramTakesTheEntryLoadedLongestAgoAndAFailingOneSaysWhy) {
  program_file(fs_root, "ok.hit", hit({0x0F}));
  program_file(fs_root, "my prog.hit", hit({0x30}));  // the argument is the whole name, spaces included
  program_file(fs_root, "stuck.hit", hit({0x07, 0, 0, 0, 0}));
  for (u32 i = 0; i < 8; ++i) EXPECT_EQ(output("run ok.hit"), running("ok.hit")) << i;
  for (u32 i = 0; i < 2; ++i) {
    EXPECT_EQ(output("run my prog.hit"), running("my prog.hit", "Stopped: bad instruction (-6)")) << i;
    EXPECT_STREQ(loaded_apps[i].name, "my prog.hit");
    EXPECT_EQ(loaded_apps[i].slot, i);
  }
  EXPECT_STREQ(loaded_apps[2].name, "ok.hit");
  EXPECT_EQ(app_count, 8u);
  key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;  // Ctrl+C stops a program that never ends
  EXPECT_EQ(output("run stuck.hit"), running("stuck.hit", "Stopped: interrupted (-7)"));
  key_states[scancode::kCtrl] = key_states[scancode::kC] = 0;
}

std::string read_file(const std::string& path) {
  std::ifstream in(TAVLIN_SOURCE_DIR "/assets/" + path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using Samples = VmTest;

// Bounce is loaded as the loader would and runs until 20 ticks have passed, when Ctrl+C ends it. Its last frame
// shown, the eleventh: the ball (a radius-10 disc, about 300 pixels) has moved 10 steps of (2, 3) from (40, 31).
TEST_F(Samples, CommittedFilesAreWhatTheSourcesAssembleToAndBounceMovesABallAroundItsWindow) {
  for (const char* name : {"bounce", "keys"}) {
    const hitasm::Result r = hitasm::assemble(read_file(std::string("programs/") + name + ".hitasm"));
    ASSERT_TRUE(r.ok()) << name << ": " << r.error;
    const hitasm::Bytes file = hitasm::hit_file(r.code);
    EXPECT_EQ(read_file(std::string("store_seed/") + name + ".hit"), std::string(file.begin(), file.end()))
        << name << ".hit is stale: rebuild it with hitasm";
  }
  const std::string file = read_file("store_seed/bounce.hit");
  ASSERT_GT(file.size(), kHitHeaderSize);
  code.assign(file.begin() + kHitHeaderSize, file.end());
  fake_hw::set_halt_hook([] {
    pit_ticks = pit_ticks + 1;
    if (pit_ticks == 20) key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;
  });
  vm_load(vm, code.data(), static_cast<i32>(code.size()));
  vm_execute(vm);
  EXPECT_EQ(vm.error, kVmInterrupted);
  EXPECT_STREQ(windows[0].title, "Bounce");
  const auto ball_pixels = [this](i32 x0, i32 y0, i32 w, i32 h) {
    i32 n = 0;
    for (i32 y = y0; y < y0 + h; ++y)
      for (i32 x = x0; x < x0 + w; ++x) n += screen[y * 1024 + x] == 0xFFB000;
    return n;
  };
  const i32 ball = ball_pixels(353, 270, 318, 209);
  EXPECT_GT(ball, 250);
  EXPECT_EQ(ball_pixels(353 + 60 - 11, 270 + 61 - 11, 23, 23), ball);
}

}  // namespace
}  // namespace tavlin::script_test
