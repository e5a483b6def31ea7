// The Terminal over the standard tree: one table of commands with their output,
// one of refusals that change nothing, cd's rules, and the guards against damaged
// input and stale folders.

#include <cstring>

#include "unit/apps/terminal_fixture.h"

namespace tavlin::term_test {
namespace {

using Terminal = TerminalTest;

struct Case {
  const char* cwd;
  std::string line;
  Lines out;
  const char* cwd_after = nullptr;  // none: unchanged
};

TEST_F(Terminal, CommandsPrintTheirOutputAndCdTriesAChildFirstThenAPathFromTheRoot) {
  const std::string a(47, 'a'), c(47, 'c');
  text_file(fs_root, "f2", a + "\n" + c + "cc\n\nend\n");
  const i32 project = fs_create(dir_at("/Documents"), "project", kFsDir);
  const i32 readme = text_file(project, "readme", "hi");
  const i32 sub = fs_create(dir_at("/Desktop"), "sub", kFsDir);
  fs_create(fs_create(sub, "Desktop", kFsDir), "sub", kFsDir);
  fs_create(dir_at("/Documents"), "docs", kFsDir);
  pit_ticks = 0xFFFFFFFFu;
  // Blob-backed files say what they are; the sample video keeps its bytes in a blob without the flag.
  const std::string image = "binary file, " + std::to_string(kSamplePng.size()) + " bytes";
  const std::string video = "binary file, " + std::to_string(kSampleZeva.size()) + " bytes";
  const Case cases[] = {
      {"/", "", {}},
      {"/", " help", {}},  // a leading space runs nothing
      {"/", "echo  two  spaces ", {" two  spaces "}}, {"/", "about", {"TavlinOS - a tiny bare-metal desktop."}},
      {"/", "help", {"help about clock date echo clear", "ls cd pwd cat mkdir touch rm",
                     "minimize close ifconfig wget itest scom run"}},
      {"/", "date", {"Uptime: 11930h 27m 52s"}}, {"/", "clock", {"Uptime: 11930h 27m 52s"}},
      {"/Desktop", "pwd", {"/Desktop"}}, {"/", "ls", {"Desktop/", "Documents/", "Downloads/", "Applications/", "f2"}},
      {"/", "ls Desktop", {"Tavlin.yrf", "DoruViza.zeva", "sub/"}}, {"/Applications", "ls", {"(empty)"}},
      {"/", "cat f2", {a, c, "", "end", ""}}, {"/Desktop", "cat Tavlin.yrf", {image}},
      {"/Desktop", "cat DoruViza.zeva", {video}}, {"/", "mkdir my files", {}}, {"/Documents", "touch new.txt", {}},
      {"/Documents", "rm project", {}}, {"/Desktop", "cd sub/", {}, "/Desktop/sub"}, {"/Desktop/sub", "cd ~", {}, "/"},
      {"/Desktop", "cd Desktop/sub", {}, "/Desktop/sub"},  // not /Desktop/Desktop/sub
      {"/Desktop/sub", "cd Desktop", {}, "/Desktop/sub/Desktop"},
      {"/", "cd //Documents/./docs/../docs//", {}, "/Documents/docs"},
      {"/Documents", "cd ../../../Downloads", {}, "/Downloads"}};
  for (const Case& k : cases) {
    term->term_cwd = dir_at(k.cwd);
    EXPECT_EQ(output(k.line), k.out) << k.cwd << " " << k.line;
    EXPECT_EQ(input(), "") << k.line;
    EXPECT_EQ(term->term_cwd, dir_at(k.cwd_after ? k.cwd_after : k.cwd)) << k.line;
  }
  EXPECT_TRUE(fs_is_live_dir(fs_find_child(fs_root, "my files")));
  EXPECT_TRUE(fs_is_live_file(fs_resolve_path("/Documents/new.txt")));
  EXPECT_FALSE(fs_is_live_dir(project) || fs_is_live_file(readme));
}

TEST_F(Terminal, RefusalsUseTheirOwnWordsAndChangeNothing) {
  const u32 nodes = fs_node_count;
  const Case cases[] = {
      {"/", "frobnicate now", {"Unknown command: frobnicate"}}, {"/", "helpme", {"Unknown command: helpme"}},
      {"/Desktop", "cd /", {"cd: invalid directory"}},
      {"/Desktop", "cd Tavlin.yrf", {"cd: no such directory: Tavlin.yrf"}},
      {"/Desktop", "cd /Desktop/Tavlin.yrf/x", {"cd: no such directory: Tavlin.yrf"}},
      {"/Desktop", "cd Documents/missing/deeper", {"cd: no such directory: missing"}},
      {"/Desktop", "ls Tavlin.yrf", {"ls: not a directory"}}, {"/", "ls /Desktop", {"ls: not a directory"}},
      {"/", "cat", {"usage: cat <file>"}}, {"/", "cat Desktop/Tavlin.yrf", {"cat: no such file"}},
      {"/", "mkdir", {"usage: mkdir <name>"}}, {"/", "touch", {"usage: touch <name>"}},
      {"/", "rm", {"usage: rm <name>"}}, {"/", "mkdir Desktop", {"mkdir: failed (exists or full)"}},
      {"/", "touch Documents", {"touch: failed (exists or full)"}},
      {"/", "rm ghost", {"rm: no such file or directory"}},
      {"/", "rm Documents", {"rm: no such file or directory"}},  // no standard folder goes
  };
  for (const Case& k : cases) {
    term->term_cwd = dir_at(k.cwd);
    EXPECT_EQ(output(k.line), k.out) << k.line;
    EXPECT_EQ(term->term_cwd, dir_at(k.cwd)) << k.line;
    EXPECT_EQ(fs_node_count, nodes) << k.line;
  }
  while (fs_create(fs_root, ("f" + std::to_string(fs_node_count)).c_str(), kFsFile) >= 0) {
  }
  EXPECT_EQ(output("mkdir one more"), (Lines{"mkdir: failed (exists or full)"}));
  EXPECT_EQ(output("touch one more"), (Lines{"touch: failed (exists or full)"}));
}

TEST_F(Terminal, ReadsNoFurtherThanTheInputArrayTheFileSizeOrTheInlineTextAndAStaleFolderFallsBackToTheRoot) {
  memset(term->term_input, 'q', sizeof term->term_input);
  term->term_input_len = 60;
  term->term_line_count = 0;
  run_terminal_command(term);
  EXPECT_EQ(buffer(), (Lines{"> " + std::string(46, 'q'), "Unknown command: " + std::string(31, 'q'), ""}));
  const i32 node = text_file(fs_root, "s.txt", "abcdef\nghi");
  fs_nodes[node].size = 3;
  EXPECT_EQ(output("cat s.txt"), (Lines{"abc"}));
  memset(fs_nodes[node].text, '\n', kFsTextCap);
  fs_nodes[node].size = 100000;
  EXPECT_EQ(run("cat s.txt"), Lines(14, ""));  // 512 empty lines; the buffer keeps the last 14
  term_println(term, std::string(60, 'x').c_str());
  EXPECT_EQ(buffer().back(), std::string(48, 'x'));
  const i32 docs = dir_at("/Documents");
  const i32 sub = fs_create(docs, "sub", kFsDir);
  term->term_cwd = sub;
  ASSERT_EQ(fs_delete(docs, "sub"), 1u);
  EXPECT_EQ(output("pwd"), (Lines{"/"}));
  // A file that takes over the slot must not become the current folder.
  ASSERT_EQ(text_file(docs, "recycled", "x"), sub);
  term->term_cwd = sub;
  EXPECT_EQ(output("touch f"), Lines{});
  EXPECT_GE(fs_find_child(fs_root, "f"), 0);
}

TEST_F(Terminal, ClearEmptiesAndMinimizeAndCloseKeepTheCommand) {
  enter("help");
  enter("clear");
  EXPECT_EQ(buffer(), (Lines{""}));
  EXPECT_EQ(run("minimize"), (Lines{"> minimize", "Minimizing..."}));
  EXPECT_EQ(input(), "minimize");
  EXPECT_EQ(run("close"), (Lines{"> close", "Closing..."}));
  EXPECT_EQ((Ints{i32(term->minimize_pending), i32(term->close_pending)}), (Ints{1, 1}));
  pit_ticks = pit_ticks + 1000;
  win_end_finished_animations();
  EXPECT_EQ(term->in_use, 0u);
}

}  // namespace
}  // namespace tavlin::term_test
