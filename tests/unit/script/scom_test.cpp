// scom: the input must exist in the root folder, the output is the fixed
// 70-byte demonstration program under "a.hit" or the "-o" name, and an
// existing file is never overwritten.
#include <gtest/gtest.h>

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
  for (i32 value : {-1, 200, 44, 0, 0}) push(code, value);
  syscall(code, 1);
  for (i32 value : {10, 10, 10, static_cast<i32>(0xFF0000FFu)}) push(code, value);
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
  EXPECT_EQ(file_bytes(node), demonstration_program());
  EXPECT_EQ(fs_nodes[node].has_blob, 0u);
  // The input is not read: an empty one gives the same program.
  text_file(fs_root, "empty.txt", "");
  EXPECT_EQ(output("scom empty.txt -o e.hit"), compiled("empty.txt", "e.hit"));
  EXPECT_EQ(file_bytes(fs_find_child(fs_root, "e.hit")), demonstration_program());
}

TEST_F(Scom, OutputNameFollowsTheFlagAnywhereAfterTheInput) {
  text_file(fs_root, "in", "");
  const struct {
    const char* line;
    const char* out;
  } cases[] = {{"scom in -o game.hit", "game.hit"},
               {"scom   in -o    spaced.hit", "spaced.hit"},
               {"scom in -ojoined.hit", "joined.hit"},
               {"scom in junk -o late.hit", "late.hit"},
               {"scom in x-oy.hit", "y.hit"},
               {"scom in -o first.hit -o second.hit", "first.hit"},
               {"scom in -o", "a.hit"},
               {"scom in -o   ", "a.hit"}};
  for (const auto& c : cases) {
    EXPECT_EQ(output(c.line), compiled("in", c.out)) << c.line;
    EXPECT_EQ(file_bytes(fs_find_child(fs_root, c.out)), demonstration_program()) << c.line;
    fs_delete(fs_root, "a.hit");
  }
}

TEST_F(Scom, RefusalsReturnEarlyAndNeverOverwrite) {
  // Both files are looked up in the root, whatever the current folder.
  const i32 docs = term_test::dir_at("/Documents");
  text_file(docs, "local.txt", "x");
  text_file(fs_root, "in", "");
  const i32 mine = text_file(fs_root, "keep.hit", "my own text");
  term->term_cwd = docs;
  EXPECT_EQ(output("scom in"), compiled("in", "a.hit"));
  const u32 nodes = fs_node_count;
  const char* const not_found = "Error: Input file not found";
  const char* const not_created = "Error: Could not create output file";
  const struct {
    std::string line;
    const char* error;
  } cases[] = {{"scom", not_found},
               {"scom nothing.txt", not_found},
               {"scom local.txt", not_found},
               {"scom in", not_created},  // a.hit is taken
               {"scom in -o keep.hit", not_created},
               {"scom in -o Desktop", not_created}};
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.line), (Lines{"> " + c.line, "Compiling...", c.error})) << c.line;
    EXPECT_EQ(input(), c.line);
  }
  EXPECT_EQ(fs_node_count, nodes);
  EXPECT_STREQ(fs_nodes[mine].text, "my own text");
  EXPECT_EQ(fs_nodes[mine].size, 11u);
  EXPECT_EQ(fs_find_child(docs, "a.hit"), -1);
  for (int i = 0; fs_create(fs_root, ("f" + std::to_string(i)).c_str(), kFsFile) >= 0; ++i) {
  }
  EXPECT_EQ(run("scom in -o full.hit").back(), not_created);
}

}  // namespace
}  // namespace tavlin::script_test
