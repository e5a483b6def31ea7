// The Terminal's file commands over the file tree: pwd, ls, cd, cat, mkdir,
// touch and rm, each working in the window's current directory.
#include "kernel/apps/apps.h"
#include "kernel/apps/terminal.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/paths.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/tree_ops.h"

namespace tavlin {
namespace {

constexpr u32 kCatLineChars = 47;

void println_with(Window& win, const char* prefix, const char* text) {
  TermLine line;
  line.add(prefix);
  line.add(text);
  term_println(&win, line.text);
}

// Walks a path from the root, skipping empty components; the node reached,
// or -1 once a component is missing or names a file (reported).
i32 walk_from_root(Window& win, const char* path) {
  i32 at = fs_root;
  for (const char* p = path; *p;) {
    if (*p == '/') {
      ++p;
      continue;
    }
    char component[kFsPathCap];
    u32 n = 0;
    for (; *p && *p != '/'; ++p)
      if (n + 1 < sizeof component) component[n++] = *p;
    component[n] = 0;
    if (str_eq(component, ".")) continue;
    if (str_eq(component, "..")) {
      const i32 parent = fs_nodes[at].parent;
      if (at != fs_root && fs_is_live(parent)) at = parent;
      continue;
    }
    const i32 next = fs_find_child(at, component);
    if (!fs_is_live_dir(next)) {
      println_with(win, "cd: no such directory: ", component);
      return kFsNone;
    }
    at = next;
  }
  return at;
}

// Lines end at a line feed; a longer line keeps its first 47 characters.
// What follows the last line feed is a line too, even when empty.
void print_text_lines(Window& win, const char* text, u32 length) {
  TermLine line;
  for (u32 i = 0; i < length; ++i) {
    if (text[i] == '\n') {
      term_println(&win, line.text);
      line = TermLine();
    } else if (line.len < kCatLineChars) {
      line.add_char(text[i]);
    }
  }
  term_println(&win, line.text);
}

}  // namespace

TermEnd term_pwd(Window& win, const char*) {
  char path[kFsPathCap];
  fs_path(win.term_cwd, path);
  term_println(&win, path);
  return TermEnd::kFinish;
}

TermEnd term_ls(Window& win, const char* arg) {
  const i32 dir = arg[0] ? fs_find_child(win.term_cwd, arg) : win.term_cwd;
  if (!fs_is_live_dir(dir)) {
    term_println(&win, "ls: not a directory");
    return TermEnd::kFinish;
  }
  bool any = false;
  i32 at = fs_nodes[dir].first_child;
  for (i32 steps = 0; at >= 0 && at < kFsMaxNodes && steps < kFsMaxNodes; ++steps) {
    const FsNode& child = fs_nodes[at];
    println_with(win, child.name, child.kind == kFsDir ? "/" : "");
    any = true;
    at = child.next_sibling;
  }
  if (!any) term_println(&win, "(empty)");
  return TermEnd::kFinish;
}

// A child folder of the current one is entered by name; anything else is a
// path from the root, whatever it looks like. The root itself is reached only
// with no argument or "~".
TermEnd term_cd(Window& win, const char* arg) {
  if (!arg[0] || str_eq(arg, "~")) {
    win.term_cwd = fs_root;
    return TermEnd::kFinish;
  }
  char path[kFsPathCap + 1];  // the argument behind room for a leading '/'
  char* name = path + 1;
  u32 length = str_copy(name, arg, kFsPathCap);
  if (length > 0 && name[length - 1] == '/') name[--length] = 0;

  const i32 child = fs_find_child(win.term_cwd, name);
  if (fs_is_live_dir(child)) {
    win.term_cwd = child;
    return TermEnd::kFinish;
  }
  path[0] = '/';
  const i32 reached = walk_from_root(win, name[0] == '/' ? name : path);
  if (reached == kFsNone) return TermEnd::kFinish;
  if (reached == fs_root || !fs_is_live_dir(reached)) {
    term_println(&win, "cd: invalid directory");
    return TermEnd::kFinish;
  }
  win.term_cwd = reached;
  return TermEnd::kFinish;
}

TermEnd term_cat(Window& win, const char* arg) {
  if (!arg[0]) {
    term_println(&win, "usage: cat <file>");
    return TermEnd::kFinish;
  }
  const i32 node = fs_find_child(win.term_cwd, arg);
  if (!fs_is_live_file(node)) {
    term_println(&win, "cat: no such file");
    return TermEnd::kFinish;
  }
  // Images, video and large downloads keep their bytes in a blob and no
  // inline text at all: say what the file is rather than print nothing.
  u32 blob_length = 0;
  if (fs_blob_data(node, &blob_length)) {
    TermLine line;
    line.add("binary file, ");
    line.add_dec(blob_length);
    line.add(" bytes");
    term_println(&win, line.text);
    return TermEnd::kFinish;
  }
  const FsNode& file = fs_nodes[node];
  print_text_lines(win, file.text, file.size < kFsTextCap - 1 ? file.size : kFsTextCap - 1);
  return TermEnd::kFinish;
}

TermEnd term_mkdir(Window& win, const char* arg) {
  if (!arg[0])
    term_println(&win, "usage: mkdir <name>");
  else if (fs_create(win.term_cwd, arg, kFsDir) < 0)
    term_println(&win, "mkdir: failed (exists or full)");
  return TermEnd::kFinish;
}

TermEnd term_touch(Window& win, const char* arg) {
  if (!arg[0])
    term_println(&win, "usage: touch <name>");
  else if (fs_create(win.term_cwd, arg, kFsFile) < 0)
    term_println(&win, "touch: failed (exists or full)");
  return TermEnd::kFinish;
}

TermEnd term_rm(Window& win, const char* arg) {
  if (!arg[0])
    term_println(&win, "usage: rm <name>");
  else if (!fs_delete(win.term_cwd, arg))
    term_println(&win, "rm: no such file or directory");
  return TermEnd::kFinish;
}

}  // namespace tavlin
