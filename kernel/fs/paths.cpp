// Paths and copy names. A path is at most 127 characters; building one keeps
// the 16 names nearest the node and cuts the text at the limit.
#include "kernel/fs/paths.h"

#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"

namespace tavlin {
namespace {

constexpr u32 kPathMaxChars = kFsPathCap - 1;
constexpr u32 kComponentMaxChars = 31;
constexpr u32 kPathMaxNames = 16;
constexpr u32 kCopyMaxNumber = 9999;

bool stops_path_walk(i32 parent) {
  return parent <= 0 || parent >= kFsMaxNodes || parent == fs_root || !fs_is_live(parent);
}

// Appends text to a path under construction; false once the path is full.
bool append_capped(char* out, u32& length, const char* text) {
  bool fits = true;
  for (u32 i = 0; text[i]; ++i) {
    if (length >= kPathMaxChars) {
      fits = false;
      break;
    }
    out[length++] = text[i];
  }
  out[length] = 0;
  return fits;
}

void collapse_slashes(char* path) {
  u32 write = 0;
  for (u32 read = 0; path[read]; ++read) {
    if (path[read] == '/' && write > 0 && path[write - 1] == '/') continue;
    path[write++] = path[read];
  }
  path[write] = 0;
  if (write == 0) str_copy(path, "/", kFsPathCap);
}

// Position of the dot that starts an extension, or the name's length when
// it has none (a leading dot, as in ".profile", is part of the stem).
u32 extension_start(const char* name, u32 length) {
  for (u32 i = length; i > 1; --i)
    if (name[i - 1] == '.') return i - 1;
  return length;
}

}  // namespace

i32 fs_resolve_path(const char* path) {
  if (!path || path[0] != '/') return kFsNone;
  i32 at = fs_root;
  u32 i = 1;
  while (i < kPathMaxChars && path[i]) {
    if (path[i] == '/') {
      ++i;
      continue;
    }
    char component[kComponentMaxChars + 1];
    u32 length = 0;
    while (i < kPathMaxChars && path[i] && path[i] != '/') {
      if (length == kComponentMaxChars) return kFsNone;
      component[length++] = path[i++];
    }
    component[length] = 0;
    at = fs_find_child(at, component);
    if (at < 0) return kFsNone;
  }
  return at;
}

void fs_path(i32 node, char* out) {
  str_copy(out, "/", kFsPathCap);
  if (node <= 0 || node == fs_root || !fs_is_live(node) || !fs_nodes[node].name[0]) return;

  i32 names[kPathMaxNames];
  u32 count = 0;
  i32 at = node;
  for (i32 steps = 0; steps < kFsMaxNodes && count < kPathMaxNames; ++steps) {
    if (fs_nodes[at].name[0]) names[count++] = at;
    const i32 parent = fs_nodes[at].parent;
    if (stops_path_walk(parent)) break;
    at = parent;
  }

  u32 length = 0;
  out[0] = 0;
  while (count > 0) {
    const char* name = fs_nodes[names[--count]].name;
    if (!append_capped(out, length, "/") || !append_capped(out, length, name)) return;
  }
  if (length >= kPathMaxChars) return;
  collapse_slashes(out);
}

i32 fs_create_unique(i32 parent, const char* name, u32 kind) {
  if (parent < 0 || parent >= kFsMaxNodes || !name || !name[0]) return kFsNone;
  if (fs_find_child(parent, name) < 0) return fs_create(parent, name, kind);

  // The name is taken, so it is a stored name of at most 27 characters.
  const u32 length = strlen(name);
  const u32 dot = extension_start(name, length);
  char stem[kFsNameCap];
  memcpy(stem, name, dot);
  stem[dot] = 0;
  const char* extension = name + dot;

  for (u32 n = 2; n <= kCopyMaxNumber; ++n) {
    char number[12];
    int_to_str(static_cast<i32>(n), number, 1);
    if (dot + 1 + strlen(number) + (length - dot) > kFsNameCap - 1) return kFsNone;
    char candidate[kFsNameCap];
    str_copy(candidate, stem, sizeof candidate);
    str_cat(candidate, " ");
    str_cat(candidate, number);
    str_cat(candidate, extension);
    if (fs_find_child(parent, candidate) < 0) return fs_create(parent, candidate, kind);
  }
  return kFsNone;
}

}  // namespace tavlin
