// The Terminal's file commands against the standard tree: pwd and ls, the
// cd rules (a child first, otherwise a path from the root), cat's line
// cutting, and mkdir, touch and rm with their refusals.
#include <gtest/gtest.h>

#include "unit/apps/terminal_fixture.h"

namespace tavlin::term_test {
namespace {

using PwdAndLs = TerminalTest;
using Cd = TerminalTest;
using Cat = TerminalTest;
using MakeAndRemove = TerminalTest;

struct Case {
  const char* cwd;
  std::string line;
  Lines out;
};

TEST_F(PwdAndLs, ShowTheFolderAndItsChildrenInOrder) {
  const Case cases[] = {
      {"/", "pwd", {"/"}},
      {"/Desktop", "pwd", {"/Desktop"}},
      {"/", "ls", {"Desktop/", "Documents/", "Downloads/", "Applications/"}},
      {"/", "ls Desktop", {"Tavlin.yrf", "DoruViza.zeva"}},
      {"/Applications", "ls", {"(empty)"}},
      {"/", "ls Documents", {"(empty)"}},
      {"/Desktop", "ls Tavlin.yrf", {"ls: not a directory"}},
      {"/Desktop", "ls Documents", {"ls: not a directory"}},
      {"/", "ls /Desktop", {"ls: not a directory"}},
  };
  for (const Case& c : cases) {
    term->term_cwd = dir_at(c.cwd);
    EXPECT_EQ(output(c.line), c.out) << c.cwd << " " << c.line;
  }
}

TEST_F(Cd, ChildFirstThenAPathFromTheRoot) {
  const i32 sub = fs_create(dir_at("/Desktop"), "sub", kFsDir);
  const i32 inner = fs_create(sub, "Desktop", kFsDir);
  fs_create(inner, "sub", kFsDir);
  fs_create(dir_at("/Documents"), "docs", kFsDir);
  const struct {
    const char* cwd;
    const char* line;
    const char* now;
  } cases[] = {
      {"/", "cd Desktop", "/Desktop"},
      {"/Desktop", "cd sub/", "/Desktop/sub"},
      {"/Desktop/sub", "cd", "/"},
      {"/Desktop/sub", "cd ~", "/"},
      // Relative to the Desktop this would be /Desktop/Desktop/sub; it is not.
      {"/Desktop", "cd Desktop/sub", "/Desktop/sub"},
      {"/Desktop/sub", "cd Desktop", "/Desktop/sub/Desktop"},
      {"/", "cd //Documents/./docs/../docs//", "/Documents/docs"},
      {"/Documents/docs", "cd Documents/docs/..", "/Documents"},
      {"/Documents", "cd ../../../Downloads", "/Downloads"},
  };
  for (const auto& c : cases) {
    term->term_cwd = dir_at(c.cwd);
    EXPECT_EQ(output(c.line), Lines{}) << c.line;
    EXPECT_EQ(term->term_cwd, dir_at(c.now)) << c.line;
  }
}

TEST_F(Cd, RefusalsNameTheProblemAndNothingMoves) {
  const Case cases[] = {
      {"/Desktop", "cd /", {"cd: invalid directory"}},
      {"/Desktop", "cd ..", {"cd: invalid directory"}},
      {"/Desktop", "cd /Desktop/..", {"cd: invalid directory"}},
      {"/Desktop", "cd Tavlin.yrf", {"cd: no such directory: Tavlin.yrf"}},
      {"/Desktop", "cd nowhere", {"cd: no such directory: nowhere"}},
      {"/Desktop", "cd /Desktop/Tavlin.yrf/x", {"cd: no such directory: Tavlin.yrf"}},
      {"/Desktop", "cd Documents/missing/deeper", {"cd: no such directory: missing"}},
  };
  for (const Case& c : cases) {
    term->term_cwd = dir_at(c.cwd);
    EXPECT_EQ(output(c.line), c.out) << c.line;
    EXPECT_EQ(term->term_cwd, dir_at(c.cwd)) << c.line;
  }
}

TEST_F(Cat, PrintsLinesCutAtFortySevenCharacters) {
  const std::string a(47, 'a'), b(47, 'b');
  text_file(fs_root, "f1", "first\nsecond\n\nfourth");
  text_file(fs_root, "f2", "one\n");
  text_file(fs_root, "f3", "");
  text_file(fs_root, "f4", a + "\n" + b + "B\n" + std::string(100, 'c') + "\nend");
  // Blob-backed files say what they are; the sample video keeps its bytes
  // in a blob without the flag.
  const std::string image = "binary file, " + std::to_string(kSamplePng.size()) + " bytes";
  const std::string video = "binary file, " + std::to_string(kSampleZeva.size()) + " bytes";
  const Case cases[] = {
      {"/", "cat f1", {"first", "second", "", "fourth"}},
      {"/", "cat f2", {"one", ""}},
      {"/", "cat f3", {""}},
      {"/", "cat f4", {a, b, std::string(47, 'c'), "end"}},
      {"/Desktop", "cat Tavlin.yrf", {image}},
      {"/Desktop", "cat DoruViza.zeva", {video}},
      {"/", "cat", {"usage: cat <file>"}},
      {"/", "cat Desktop", {"cat: no such file"}},
      {"/", "cat Desktop/Tavlin.yrf", {"cat: no such file"}},
  };
  for (const Case& c : cases) {
    term->term_cwd = dir_at(c.cwd);
    EXPECT_EQ(output(c.line), c.out) << c.line;
  }
}

TEST_F(Cat, ReadsNoMoreThanTheSizeNorPastTheInlineText) {
  const i32 node = text_file(fs_root, "s.txt", "abcdef\nghi");
  fs_nodes[node].size = 3;
  EXPECT_EQ(output("cat s.txt"), (Lines{"abc"}));
  memset(fs_nodes[node].text, '\n', kFsTextCap);
  fs_nodes[node].size = 100000;
  // 511 line feeds make 512 empty lines; the buffer keeps the last 14.
  EXPECT_EQ(run("cat s.txt"), Lines(14, ""));
}

TEST_F(MakeAndRemove, MkdirAndTouchCreateInTheCurrentFolderByTheWholeArgument) {
  EXPECT_EQ(output("mkdir my files"), Lines{});
  EXPECT_TRUE(fs_is_live_dir(fs_find_child(fs_root, "my files")));
  term->term_cwd = dir_at("/Documents");
  EXPECT_EQ(output("touch new.txt"), Lines{});
  const i32 file = fs_resolve_path("/Documents/new.txt");
  ASSERT_TRUE(fs_is_live_file(file));
  EXPECT_EQ(fs_nodes[file].size, 0u);
  EXPECT_EQ(fs_find_child(fs_root, "new.txt"), -1);
}

TEST_F(MakeAndRemove, RefusalsUseTheirOwnWords) {
  fs_create(dir_at("/Documents"), "made", kFsDir);
  term->term_cwd = dir_at("/Documents");
  const Case cases[] = {
      {"", "mkdir", {"usage: mkdir <name>"}},
      {"", "touch", {"usage: touch <name>"}},
      {"", "rm", {"usage: rm <name>"}},
      {"", "mkdir made", {"mkdir: failed (exists or full)"}},
      {"", "mkdir a/b", {"mkdir: failed (exists or full)"}},
      {"", "touch made", {"touch: failed (exists or full)"}},
      {"", "rm ghost", {"rm: no such file or directory"}},
  };
  for (const Case& c : cases) EXPECT_EQ(output(c.line), c.out) << c.line;
  while (fs_create(dir_at("/Documents"), ("f" + std::to_string(fs_node_count)).c_str(), kFsFile) >= 0) {
  }
  EXPECT_EQ(output("mkdir one more"), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("touch one more"), (Lines{"touch: failed (exists or full)"}));
}

TEST_F(MakeAndRemove, RmRemovesWholeFoldersButNoStandardOne) {
  const i32 project = fs_create(dir_at("/Documents"), "project", kFsDir);
  text_file(project, "readme", "hi");
  const u32 before = fs_node_count;
  term->term_cwd = dir_at("/Documents");
  EXPECT_EQ(output("rm project"), Lines{});
  EXPECT_EQ(fs_node_count, before - 2);
  term->term_cwd = fs_root;
  EXPECT_EQ(output("rm Documents"), (Lines{"rm: no such file or directory"}));
  EXPECT_EQ(output("rm Desktop"), (Lines{"rm: no such file or directory"}));
  EXPECT_EQ(fs_node_count, before - 2);
}

}  // namespace
}  // namespace tavlin::term_test
