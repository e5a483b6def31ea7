// scom: the input must exist in the root folder, the output is the fixed
// 70-byte demonstration program under "a.hit" or the "-o" name, and an
// existing file is never overwritten.
#include <gtest/gtest.h>

#include <algorithm>

#include "unit/apps/terminal_fixture.h"
#include "unit/script/hit_builders.h"

namespace tavlin::script_test {
namespace {

using term_test::Lines;
using term_test::text_file;
using Scom = term_test::TerminalTest;

// The demonstration program, assembled from its instruction listing.
Bytes demonstration_program() {
  Bytes code;
  push(code, -1);
  push(code, 200);
  push(code, 44);
  push(code, 0);
  push(code, 0);
  syscall(code, 1);
  push(code, 10);
  push(code, 10);
  push(code, 10);
  push(code, static_cast<i32>(0xFF0000FFu));
  syscall(code, 2);
  code.push_back(0x0F);
  return hit_header() + code;
}

Lines compiled(const std::string& input, const std::string& output) {
  return {"Compiling...", "Compiled: ", input, " -> ", output, "Run with: ./", output};
}

TEST_F(Scom, WritesTheDemonstrationProgramToAHit) {
  text_file(fs_root, "prog.txt", "print hello");
  EXPECT_EQ(output("scom prog.txt"), compiled("prog.txt", "a.hit"));
  const i32 node = fs_find_child(fs_root, "a.hit");
  ASSERT_TRUE(fs_is_live_file(node));
  EXPECT_EQ(fs_nodes[node].size, 70u);
  EXPECT_EQ(demonstration_program().size(), 70u);
  EXPECT_EQ(file_bytes(node), demonstration_program());
  EXPECT_EQ(fs_nodes[node].has_blob, 0u);
  EXPECT_EQ(input(), "");
  // The input is not read: an empty one gives the same program.
  text_file(fs_root, "empty.txt", "");
  EXPECT_EQ(output("scom empty.txt -o e.hit"), compiled("empty.txt", "e.hit"));
  EXPECT_EQ(file_bytes(fs_find_child(fs_root, "e.hit")), demonstration_program());
}

TEST_F(Scom, NoArgumentOrMissingInputReturnsEarly) {
  EXPECT_EQ(run("scom"), (Lines{"> scom", "Compiling...", "Error: Input file not found"}));
  EXPECT_EQ(input(), "scom");
  EXPECT_EQ(run("scom nothing.txt"), (Lines{"> scom nothing.txt", "Compiling...", "Error: Input file not found"}));
  EXPECT_EQ(input(), "scom nothing.txt");
  EXPECT_EQ(fs_find_child(fs_root, "a.hit"), -1);
}

TEST_F(Scom, InputIsLookedUpInTheRootWhateverTheCurrentFolder) {
  const i32 docs = term_test::dir_at("/Documents");
  text_file(docs, "local.txt", "x");
  term->term_cwd = docs;
  EXPECT_EQ(run("scom local.txt"), (Lines{"> scom local.txt", "Compiling...", "Error: Input file not found"}));
  text_file(fs_root, "top.txt", "x");
  EXPECT_EQ(output("scom top.txt"), compiled("top.txt", "a.hit"));
  EXPECT_GE(fs_find_child(fs_root, "a.hit"), 0);
  EXPECT_EQ(fs_find_child(docs, "a.hit"), -1);
}

TEST_F(Scom, SecondRunWithoutOutputNameFindsAHitTaken) {
  text_file(fs_root, "prog.txt", "");
  output("scom prog.txt");
  const u32 nodes = fs_node_count;
  EXPECT_EQ(run("scom prog.txt"), (Lines{"> scom prog.txt", "Compiling...", "Error: Could not create output file"}));
  EXPECT_EQ(input(), "scom prog.txt");
  EXPECT_EQ(fs_node_count, nodes);
}

TEST_F(Scom, ExistingOutputIsNeverOverwritten) {
  text_file(fs_root, "prog.txt", "");
  const i32 mine = text_file(fs_root, "keep.hit", "my own text");
  EXPECT_EQ(run("scom prog.txt -o keep.hit").back(), "Error: Could not create output file");
  EXPECT_STREQ(fs_nodes[mine].text, "my own text");
  EXPECT_EQ(fs_nodes[mine].size, 11u);
}

TEST_F(Scom, OutputNameFollowsTheFlagAnywhereAfterTheInput) {
  text_file(fs_root, "in", "");
  const struct {
    const char* line;
    const char* out;
  } cases[] = {{"scom in -o game.hit", "game.hit"}, {"scom   in -o    spaced.hit", "spaced.hit"},
               {"scom in -ojoined.hit", "joined.hit"}, {"scom in junk -o late.hit", "late.hit"},
               {"scom in x-oy.hit", "y.hit"},         {"scom in -o first.hit -o second.hit", "first.hit"},
               {"scom in -o", "a.hit"},               {"scom in -o   ", "a.hit"}};
  for (const auto& c : cases) {
    EXPECT_EQ(output(c.line), compiled("in", c.out)) << c.line;
    EXPECT_EQ(file_bytes(fs_find_child(fs_root, c.out)), demonstration_program()) << c.line;
    fs_delete(fs_root, "a.hit");
  }
}

TEST_F(Scom, UnusableOutputNamesAreRefused) {
  text_file(fs_root, "in", "");
  for (const char* line : {"scom in -o " "abcdefghijklmnopqrstuvwxyz.hit", "scom in -o ..", "scom in -o Desktop"})
    EXPECT_EQ(run(line).back(), "Error: Could not create output file") << line;
  for (int i = 0; fs_create(fs_root, ("f" + std::to_string(i)).c_str(), kFsFile) >= 0; ++i) {
  }
  EXPECT_EQ(run("scom in -o full.hit").back(), "Error: Could not create output file");
}

}  // namespace
}  // namespace tavlin::script_test
