// run and the loader: the usage line, the checks a program file must pass
// with their log lines, the entry a load fills, the line naming why a
// program stopped, and the table whose oldest entry a ninth program takes.
#include "kernel/script/loader.h"

#include "kernel/core/keyboard.h"
#include "kernel/script/hit_format.h"

#include <gtest/gtest.h>

#include "unit/apps/terminal_fixture.h"
#include "unit/script/hit_builders.h"

namespace tavlin::script_test {
namespace {

using term_test::Lines;
using term_test::serial_log;
class Run : public term_test::TerminalTest {};  // a class: an alias would name Test::Run

Lines running(const std::string& name) { return {"Running: ", name}; }

TEST_F(Run, NoArgumentGivesTheUsageAndReturnsEarly) {
  EXPECT_EQ(run("run"), (Lines{"> run", "Usage: run <file.hit>"}));
  EXPECT_EQ(input(), "run");
  EXPECT_EQ(app_count, 0u);
}

TEST_F(Run, CompiledProgramLoadsIntoTheFirstEntry) {
  term_test::text_file(fs_root, "src", "");
  output("scom src");
  fake_hw::clear_writes();
  // The demonstration program stops on its text address.
  EXPECT_EQ(output("run a.hit"), (Lines{"Running: ", "a.hit", "Stopped: bad address (-5)"}));
  EXPECT_EQ(serial_log(), "[App] Loaded: a.hit (56 bytes)\n");
  EXPECT_EQ(app_count, 1u);
  const LoadedApp& app = loaded_apps[0];
  EXPECT_EQ((std::vector<u32>{app.in_use, app.slot, app.window}), (std::vector<u32>{1, 0, 0}));
  EXPECT_STREQ(app.name, "a.hit");
  EXPECT_EQ(Bytes(app.vm.code, app.vm.code + app.vm.code_len),
            Bytes(builtin_program + 14, builtin_program + kBuiltinProgramSize));
  EXPECT_EQ(app.vm.code_len, 56);
}

TEST_F(Run, LoadStartsTheMachineFromAClearStateWhateverTheVersionAndReservedBytes) {
  program_file(fs_root, "p.hit", hit_header(9, 0xEE) + Bytes{0x0B});
  VmState& vm = loaded_apps[0].vm;
  vm.sp = 9;  // left over in the table
  vm.var_count = 3;
  vm.error = -6;
  ASSERT_EQ(app_load("p.hit"), 0);
  EXPECT_EQ(vm.code[0], 0x0B);
  EXPECT_EQ((std::vector<i32>{vm.code_len, vm.pc, vm.sp, vm.var_count, vm.error}), (std::vector<i32>{1, 0, 0, 0, 0}));
  EXPECT_EQ(vm.running, 1u);
}

TEST_F(Run, MissingNamesFoldersAndFilesOutsideTheRootAreNotFound) {
  fs_create(fs_root, "dir.hit", kFsDir);
  const i32 docs = term_test::dir_at("/Documents");
  program_file(docs, "local.hit", hit_header());
  term->term_cwd = docs;
  for (const char* name : {"nope.hit", "dir.hit", "local.hit"})
    EXPECT_EQ(output(std::string("run ") + name), (Lines{"Failed to load app"})) << name;
  EXPECT_EQ(serial_log(),
            "[App] File not found: nope.hit\n[App] File not found: dir.hit\n[App] File not found: local.hit\n");
  EXPECT_EQ(app_count, 0u);
}

TEST_F(Run, FilesMustHoldAHeaderWithTheMagic) {
  Bytes thirteen = hit_header();
  thirteen.pop_back();
  program_file(fs_root, "short.hit", thirteen);
  program_file(fs_root, "empty.hit", hit_header());
  term_test::text_file(fs_root, "t.hit", "TAVLIN");  // starts like a program, shorter than a header
  for (const char* magic : {"TAVLIM", "tavlin", "XAVLIN"}) {
    Bytes bytes = hit_header();
    std::memcpy(bytes.data(), magic, 6);
    program_file(fs_root, (std::string(magic) + ".hit").c_str(), bytes + Bytes{0x0F});
  }
  // The samples keep their bytes in blobs; their inline text is empty.
  ASSERT_TRUE(fs_move(fs_find_child(term_test::dir_at("/Desktop"), "Tavlin.yrf"), fs_root));
  const struct {
    const char* name;
    const char* log;
  } refusals[] = {{"short.hit", "[App] File too small\n"}, {"t.hit", "[App] File too small\n"},
                  {"TAVLIM.hit", "[App] Invalid magic\n"}, {"tavlin.hit", "[App] Invalid magic\n"},
                  {"XAVLIN.hit", "[App] Invalid magic\n"}, {"Tavlin.yrf", "[App] Invalid magic\n"}};
  for (const auto& r : refusals) {
    fake_hw::clear_writes();
    EXPECT_EQ(output(std::string("run ") + r.name), (Lines{"Failed to load app"})) << r.name;
    EXPECT_EQ(serial_log(), r.log) << r.name;
  }
  EXPECT_EQ(app_count, 0u);
  fake_hw::clear_writes();
  EXPECT_EQ(output("run empty.hit"), running("empty.hit"));  // 14 bytes: no code, ends at once
  EXPECT_EQ(serial_log(), "[App] Loaded: empty.hit (0 bytes)\n");
  EXPECT_EQ(loaded_apps[0].vm.code_len, 0);
  // A size counting more than the inline text holds never stretches the code.
  program_file(fs_root, "big.hit", hit_header(), 400000);
  EXPECT_EQ(output("run big.hit"), running("big.hit"));
  EXPECT_EQ(loaded_apps[1].vm.code_len, 511 - 14);
}

TEST_F(Run, ANinthProgramTakesTheEntryLoadedLongestAgo) {
  program_file(fs_root, "ok.hit", hit_header() + Bytes{0x0F});
  program_file(fs_root, "other.hit", hit_header() + Bytes{0x0F});
  for (u32 i = 0; i < 8; ++i) {
    EXPECT_EQ(output("run ok.hit"), running("ok.hit")) << i;
    EXPECT_EQ((std::vector<u32>{loaded_apps[i].slot, loaded_apps[i].in_use}), (std::vector<u32>{i, 1}));
  }
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(output("run other.hit"), running("other.hit")) << i;
    EXPECT_STREQ(loaded_apps[i].name, "other.hit");
    EXPECT_EQ(loaded_apps[i].slot, i);
  }
  EXPECT_STREQ(loaded_apps[3].name, "ok.hit");
  EXPECT_EQ(app_count, 8u);
}

TEST_F(Run, AProgramThatFailsSaysWhy) {
  program_file(fs_root, "bad.hit", hit_header() + Bytes{0x30});
  program_file(fs_root, "stuck.hit", hit_header() + Bytes{0x07, 0, 0, 0, 0});
  key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;
  EXPECT_EQ(output("run bad.hit"), (Lines{"Running: ", "bad.hit", "Stopped: bad instruction (-6)"}));
  EXPECT_EQ(output("run stuck.hit"), (Lines{"Running: ", "stuck.hit", "Stopped: interrupted (-7)"}));
  key_states[scancode::kCtrl] = key_states[scancode::kC] = 0;
}

TEST_F(Run, ArgumentIsTheWholeNameSpacesIncluded) {
  program_file(fs_root, "my prog.hit", hit_header());
  EXPECT_EQ(output("run my prog.hit"), running("my prog.hit"));
  EXPECT_STREQ(loaded_apps[0].name, "my prog.hit");
}

}  // namespace
}  // namespace tavlin::script_test
