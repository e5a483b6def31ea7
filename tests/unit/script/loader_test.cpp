// run and the loader: the usage line, the checks a program file must pass
// with their log lines, the entry a load fills, and the table that refuses
// a ninth program.
#include <gtest/gtest.h>

#include "kernel/script/loader.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/script/hit_builders.h"

namespace tavlin::script_test {
namespace {

using term_test::Lines;
using term_test::serial_log;

class Run : public term_test::TerminalTest {
 protected:
  Lines loaded_as(const std::string& name) { return {"Running: ", name}; }
};

TEST_F(Run, NoArgumentGivesTheUsageAndReturnsEarly) {
  EXPECT_EQ(run("run"), (Lines{"> run", "Usage: run <file.hit>"}));
  EXPECT_EQ(input(), "run");
  EXPECT_EQ(app_count, 0u);
}

TEST_F(Run, CompiledProgramLoadsIntoTheFirstEntry) {
  term_test::text_file(fs_root, "src", "");
  output("scom src");
  fake_hw::clear_writes();
  EXPECT_EQ(output("run a.hit"), loaded_as("a.hit"));
  EXPECT_EQ(serial_log(), "[App] Loaded: a.hit (56 bytes)\n");
  EXPECT_EQ(app_count, 1u);
  const LoadedApp& app = loaded_apps[0];
  EXPECT_EQ(app.in_use, 1u);
  EXPECT_EQ(app.slot, 0u);
  EXPECT_STREQ(app.name, "a.hit");
  EXPECT_EQ(app.window, 0u);
  const i32 node = fs_find_child(fs_root, "a.hit");
  EXPECT_EQ(app.vm.code, reinterpret_cast<const u8*>(fs_nodes[node].text) + 14);
  EXPECT_EQ(app.vm.code_len, 56);
}

TEST_F(Run, LoadStartsTheMachineFromAClearState) {
  // Version and reserved bytes are not looked at.
  const i32 node = program_file(fs_root, "p.hit", hit_header(9, 0xEE) + Bytes{0x0B});
  loaded_apps[0].vm.sp = 9;
  loaded_apps[0].vm.var_count = 3;
  loaded_apps[0].vm.error = -6;
  ASSERT_EQ(app_load("p.hit"), 0);
  const VmState& vm = loaded_apps[0].vm;
  EXPECT_EQ(vm.code, reinterpret_cast<const u8*>(fs_nodes[node].text) + 14);
  EXPECT_EQ(vm.code_len, 1);
  EXPECT_EQ(vm.pc, 0);
  EXPECT_EQ(vm.sp, 0);
  EXPECT_EQ(vm.var_count, 0);
  EXPECT_EQ(vm.running, 1u);
  EXPECT_EQ(vm.error, 0);
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

TEST_F(Run, ThirteenBytesAreTooSmallFourteenLoadEmpty) {
  Bytes thirteen = hit_header();
  thirteen.pop_back();
  program_file(fs_root, "short.hit", thirteen);
  program_file(fs_root, "empty.hit", hit_header());
  EXPECT_EQ(output("run short.hit"), (Lines{"Failed to load app"}));
  EXPECT_EQ(serial_log(), "[App] File too small\n");
  fake_hw::clear_writes();
  EXPECT_EQ(output("run empty.hit"), loaded_as("empty.hit"));
  EXPECT_EQ(serial_log(), "[App] Loaded: empty.hit (0 bytes)\n");
  EXPECT_EQ(app_count, 1u);
  EXPECT_EQ(loaded_apps[0].vm.code_len, 0);
}

TEST_F(Run, WrongMagicIsRefused) {
  for (const char* magic : {"TAVLIM", "tavlin", "XAVLIN"}) {
    fake_hw::clear_writes();
    Bytes bytes = hit_header();
    std::memcpy(bytes.data(), magic, 6);
    const std::string name = std::string(magic) + ".hit";
    program_file(fs_root, name.c_str(), bytes + Bytes{0x0F});
    EXPECT_EQ(output("run " + name), (Lines{"Failed to load app"})) << magic;
    EXPECT_EQ(serial_log(), "[App] Invalid magic\n") << magic;
  }
  // A text file that merely starts like a program but is shorter than a header.
  term_test::text_file(fs_root, "t.hit", "TAVLIN");
  fake_hw::clear_writes();
  EXPECT_EQ(output("run t.hit"), (Lines{"Failed to load app"}));
  EXPECT_EQ(serial_log(), "[App] File too small\n");
  EXPECT_EQ(app_count, 0u);
}

TEST_F(Run, BlobBackedFilesAreNeitherProgramsNorReadPastTheirText) {
  // The samples keep their bytes in blobs; their inline text is empty.
  term->term_cwd = term_test::dir_at("/Desktop");
  const i32 desktop_image = fs_find_child(term_test::dir_at("/Desktop"), "Tavlin.yrf");
  ASSERT_TRUE(fs_move(desktop_image, fs_root));
  fake_hw::clear_writes();
  EXPECT_EQ(output("run Tavlin.yrf"), (Lines{"Failed to load app"}));
  EXPECT_EQ(serial_log(), "[App] Invalid magic\n");
  // A size counting more than the inline text holds never stretches the code.
  program_file(fs_root, "big.hit", hit_header(), 400000);
  EXPECT_EQ(output("run big.hit"), loaded_as("big.hit"));
  EXPECT_EQ(loaded_apps[0].vm.code_len, 511 - 14);
}

TEST_F(Run, NinthLoadIsRefusedEvenForAGoodFile) {
  program_file(fs_root, "ok.hit", hit_header() + Bytes{0x0F});
  for (u32 i = 0; i < 8; ++i) {
    EXPECT_EQ(output("run ok.hit"), loaded_as("ok.hit")) << i;
    EXPECT_EQ(loaded_apps[i].slot, i);
    EXPECT_EQ(loaded_apps[i].in_use, 1u);
  }
  fake_hw::clear_writes();
  EXPECT_EQ(output("run ok.hit"), (Lines{"Failed to load app"}));
  EXPECT_EQ(serial_log(), "");
  EXPECT_EQ(app_count, 8u);
  EXPECT_EQ(app_load("ok.hit"), -1);
}

TEST_F(Run, ArgumentIsTheWholeNameSpacesIncluded) {
  program_file(fs_root, "my prog.hit", hit_header());
  EXPECT_EQ(output("run my prog.hit"), loaded_as("my prog.hit"));
  EXPECT_STREQ(loaded_apps[0].name, "my prog.hit");
}

}  // namespace
}  // namespace tavlin::script_test
