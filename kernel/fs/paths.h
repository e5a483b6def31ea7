// Absolute paths in both directions, and the naming rule for copies
// ("report.txt" taken gives "report 2.txt").
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kFsPathCap = 128;  // 127 characters and a NUL

i32 fs_resolve_path(const char* path);
// Writes the node's absolute path into out, which holds kFsPathCap bytes.
void fs_path(i32 node, char* out);
i32 fs_create_unique(i32 parent, const char* name, u32 kind);

}  // namespace tavlin
