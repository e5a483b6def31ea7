// The Terminal's file commands against the standard tree: pwd, ls, the cd
// rules (child first, otherwise a path from the root), cat's line cutting,
// and mkdir, touch and rm with their refusals.
#include <gtest/gtest.h>

#include "unit/apps/terminal_fixture.h"

namespace tavlin::term_test {
namespace {

using Pwd = TerminalTest;
using Ls = TerminalTest;
using Cd = TerminalTest;
using Cat = TerminalTest;
using MakeAndRemove = TerminalTest;

std::string path_of(i32 node) {
  char out[kFsPathCap];
  fs_path(node, out);
  return out;
}

TEST_F(Pwd, ShowsTheCurrentFolder) {
  EXPECT_EQ(output("pwd"), (Lines{"/"}));
  term->term_cwd = dir_at("/Desktop");
  EXPECT_EQ(output("pwd"), (Lines{"/Desktop"}));
}

TEST_F(Pwd, LongPathIsCutToOneLine) {
  i32 at = dir_at("/Documents");
  for (const char* name : {"aaaaaaaaaaaaaaaaaaaa", "bbbbbbbbbbbbbbbbbbbb", "cccccccccccccccccccc"})
    at = fs_create(at, name, kFsDir);
  term->term_cwd = at;
  const std::string full = "/Documents/" + std::string(20, 'a') + "/" + std::string(20, 'b') + "/" + std::string(20, 'c');
  EXPECT_EQ(output("pwd"), (Lines{full.substr(0, 48)}));
}

TEST_F(Ls, ListsChildrenInOrderWithSlashesOnFolders) {
  EXPECT_EQ(output("ls"), (Lines{"Desktop/", "Documents/", "Downloads/", "Applications/"}));
  EXPECT_EQ(output("ls Desktop"), (Lines{"Tavlin.yrf", "DoruViza.zeva"}));
  EXPECT_EQ(output("ls Downloads"), (Lines{"Quillon.yrf"}));
}

TEST_F(Ls, EmptyFolderSaysSo) {
  EXPECT_EQ(output("ls Documents"), (Lines{"(empty)"}));
  term->term_cwd = dir_at("/Applications");
  EXPECT_EQ(output("ls"), (Lines{"(empty)"}));
}

TEST_F(Ls, ArgumentMustBeAChildFolder) {
  term->term_cwd = dir_at("/Desktop");
  EXPECT_EQ(output("ls Tavlin.yrf"), (Lines{"ls: not a directory"}));
  EXPECT_EQ(output("ls Documents"), (Lines{"ls: not a directory"}));
  term->term_cwd = fs_root;
  EXPECT_EQ(output("ls /Desktop"), (Lines{"ls: not a directory"}));
  EXPECT_EQ(output("ls Desktop/"), (Lines{"ls: not a directory"}));
}

TEST_F(Cd, ChildFolderOfTheCurrentOneIsEntered) {
  EXPECT_EQ(output("cd Desktop"), Lines{});
  EXPECT_EQ(term->term_cwd, dir_at("/Desktop"));
  fs_create(dir_at("/Desktop"), "sub", kFsDir);
  EXPECT_EQ(output("cd sub/"), Lines{});
  EXPECT_EQ(path_of(term->term_cwd), "/Desktop/sub");
}

TEST_F(Cd, NoArgumentOrTildeGoesToTheRoot) {
  term->term_cwd = dir_at("/Desktop");
  EXPECT_EQ(output("cd"), Lines{});
  EXPECT_EQ(term->term_cwd, fs_root);
  term->term_cwd = dir_at("/Desktop");
  EXPECT_EQ(output("cd ~"), Lines{});
  EXPECT_EQ(term->term_cwd, fs_root);
}

TEST_F(Cd, PathWithSeveralComponentsStartsAtTheRoot) {
  const i32 sub = fs_create(dir_at("/Desktop"), "sub", kFsDir);
  const i32 inner = fs_create(sub, "Desktop", kFsDir);
  fs_create(inner, "sub", kFsDir);
  term->term_cwd = dir_at("/Desktop");
  // Relative to the Desktop this would be /Desktop/Desktop/sub; it is not.
  EXPECT_EQ(output("cd Desktop/sub"), Lines{});
  EXPECT_EQ(term->term_cwd, sub);
  term->term_cwd = sub;
  EXPECT_EQ(output("cd Desktop"), Lines{});
  EXPECT_EQ(term->term_cwd, inner);
}

TEST_F(Cd, AbsolutePathsAndDotsAreWalked) {
  const i32 sub = fs_create(dir_at("/Documents"), "sub", kFsDir);
  EXPECT_EQ(output("cd /Documents/sub"), Lines{});
  EXPECT_EQ(term->term_cwd, sub);
  term->term_cwd = fs_root;
  EXPECT_EQ(output("cd //Documents/./sub/../sub//"), Lines{});
  EXPECT_EQ(term->term_cwd, sub);
  term->term_cwd = sub;
  EXPECT_EQ(output("cd ../.."), (Lines{"cd: invalid directory"}));
  EXPECT_EQ(output("cd Documents/sub/.."), Lines{});
  EXPECT_EQ(term->term_cwd, dir_at("/Documents"));
  EXPECT_EQ(output("cd ../../../Downloads"), Lines{});
  EXPECT_EQ(term->term_cwd, dir_at("/Downloads"));
}

TEST_F(Cd, RootByPathOrDotDotIsRefusedAndNothingMoves) {
  const i32 desktop = dir_at("/Desktop");
  for (const char* line : {"cd /", "cd ..", "cd //", "cd .", "cd /Desktop/.."}) {
    term->term_cwd = desktop;
    EXPECT_EQ(output(line), (Lines{"cd: invalid directory"})) << line;
    EXPECT_EQ(term->term_cwd, desktop) << line;
  }
}

TEST_F(Cd, MissingComponentOrFileIsNamed) {
  const i32 desktop = dir_at("/Desktop");
  term->term_cwd = desktop;
  EXPECT_EQ(output("cd Tavlin.yrf"), (Lines{"cd: no such directory: Tavlin.yrf"}));
  EXPECT_EQ(output("cd nowhere"), (Lines{"cd: no such directory: nowhere"}));
  EXPECT_EQ(output("cd /Desktop/Tavlin.yrf/x"), (Lines{"cd: no such directory: Tavlin.yrf"}));
  EXPECT_EQ(output("cd Documents/missing/deeper"), (Lines{"cd: no such directory: missing"}));
  EXPECT_EQ(term->term_cwd, desktop);
}

TEST_F(Cat, PrintsInlineTextLineByLine) {
  text_file(fs_root, "notes.txt", "first\nsecond\n\nfourth");
  EXPECT_EQ(output("cat notes.txt"), (Lines{"first", "second", "", "fourth"}));
}

TEST_F(Cat, TrailingLineFeedOrEmptyFileGivesAnEmptyFinalLine) {
  text_file(fs_root, "a.txt", "one\n");
  text_file(fs_root, "empty.txt", "");
  EXPECT_EQ(output("cat a.txt"), (Lines{"one", ""}));
  EXPECT_EQ(output("cat empty.txt"), (Lines{""}));
}

TEST_F(Cat, LinesAreCutAtFortySevenCharacters) {
  const std::string line47(47, 'a'), line48 = std::string(47, 'b') + "B", long_line(100, 'c');
  text_file(fs_root, "wide.txt", line47 + "\n" + line48 + "\n" + long_line + "\nend");
  EXPECT_EQ(output("cat wide.txt"), (Lines{line47, std::string(47, 'b'), std::string(47, 'c'), "end"}));
}

TEST_F(Cat, ReadsNoMoreThanTheSize) {
  const i32 node = text_file(fs_root, "s.txt", "abcdef\nghi");
  fs_nodes[node].size = 3;
  EXPECT_EQ(output("cat s.txt"), (Lines{"abc"}));
}

TEST_F(Cat, OversizedSizeStopsAtTheInlineText) {
  const i32 node = fs_create(fs_root, "big.txt", kFsFile);
  memset(fs_nodes[node].text, '\n', kFsTextCap);
  fs_nodes[node].size = 100000;
  const Lines all = run("cat big.txt");
  // 511 line feeds make 512 empty lines; the buffer keeps the last 14.
  EXPECT_EQ(all, Lines(14, ""));
}

TEST_F(Cat, BlobFileSaysWhatItIs) {
  term->term_cwd = dir_at("/Desktop");
  EXPECT_EQ(output("cat Tavlin.yrf"), (Lines{"binary file, " + std::to_string(kSamplePng.size()) + " bytes"}));
  // The sample video keeps its bytes in a blob without the flag.
  EXPECT_EQ(output("cat DoruViza.zeva"), (Lines{"binary file, " + std::to_string(kSampleZeva.size()) + " bytes"}));
}

TEST_F(Cat, RefusesFoldersMissingFilesAndNoArgument) {
  EXPECT_EQ(output("cat"), (Lines{"usage: cat <file>"}));
  EXPECT_EQ(output("cat Desktop"), (Lines{"cat: no such file"}));
  EXPECT_EQ(output("cat nothing.txt"), (Lines{"cat: no such file"}));
  EXPECT_EQ(output("cat Desktop/Tavlin.yrf"), (Lines{"cat: no such file"}));
}

TEST_F(MakeAndRemove, MkdirTakesTheWholeArgumentAsTheName) {
  EXPECT_EQ(output("mkdir my files"), Lines{});
  const i32 node = fs_find_child(fs_root, "my files");
  EXPECT_TRUE(fs_is_live_dir(node));
  EXPECT_EQ(output("mkdir my files"), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("mkdir Documents"), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("mkdir"), (Lines{"usage: mkdir <name>"}));
}

TEST_F(MakeAndRemove, MkdirWorksInTheCurrentFolder) {
  term->term_cwd = dir_at("/Documents");
  EXPECT_EQ(output("mkdir docs"), Lines{});
  EXPECT_TRUE(fs_is_live_dir(fs_resolve_path("/Documents/docs")));
  EXPECT_EQ(fs_find_child(fs_root, "docs"), -1);
}

TEST_F(MakeAndRemove, InvalidNamesAndAFullTableAreRefused) {
  EXPECT_EQ(output("mkdir a/b"), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("mkdir .."), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("touch " + std::string(28, 'n')), (Lines{"touch: failed (exists or full)"}));
  for (int i = 0; fs_create(dir_at("/Documents"), ("f" + std::to_string(i)).c_str(), kFsFile) >= 0; ++i) {
  }
  EXPECT_EQ(output("mkdir one more"), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("touch one more"), (Lines{"touch: failed (exists or full)"}));
}

TEST_F(MakeAndRemove, TouchMakesAnEmptyFile) {
  EXPECT_EQ(output("touch new.txt"), Lines{});
  const i32 node = fs_find_child(fs_root, "new.txt");
  ASSERT_TRUE(fs_is_live_file(node));
  EXPECT_EQ(fs_nodes[node].size, 0u);
  EXPECT_STREQ(fs_nodes[node].text, "");
  EXPECT_EQ(output("touch new.txt"), (Lines{"touch: failed (exists or full)"}));
  EXPECT_EQ(output("touch"), (Lines{"usage: touch <name>"}));
}

TEST_F(MakeAndRemove, RmRemovesFilesAndWholeFolders) {
  const i32 docs = dir_at("/Documents");
  const i32 project = fs_create(docs, "project", kFsDir);
  text_file(project, "readme", "hi");
  const u32 before = fs_node_count;
  term->term_cwd = docs;
  EXPECT_EQ(output("rm project"), Lines{});
  EXPECT_EQ(fs_find_child(docs, "project"), -1);
  EXPECT_EQ(fs_node_count, before - 2);
  term->term_cwd = dir_at("/Desktop");
  EXPECT_EQ(output("rm Tavlin.yrf"), Lines{});
  EXPECT_EQ(output("ls"), (Lines{"DoruViza.zeva"}));
}

TEST_F(MakeAndRemove, RmRefusesProtectedFoldersAndMissingNames) {
  const u32 before = fs_node_count;
  EXPECT_EQ(output("rm Documents"), (Lines{"rm: no such file or directory"}));
  EXPECT_EQ(output("rm Desktop"), (Lines{"rm: no such file or directory"}));
  EXPECT_EQ(output("rm ghost"), (Lines{"rm: no such file or directory"}));
  EXPECT_EQ(output("rm"), (Lines{"usage: rm <name>"}));
  EXPECT_EQ(fs_node_count, before);
  EXPECT_TRUE(fs_is_live_dir(fs_find_child(fs_root, "Documents")));
}

}  // namespace
}  // namespace tavlin::term_test
