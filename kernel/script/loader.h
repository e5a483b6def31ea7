// The table of loaded programs: eight entries, filled in order; once all
// are taken, a load reuses the entry of the program loaded longest ago.
#pragma once
#include "kernel/core/types.h"
#include "kernel/script/vm.h"

namespace tavlin {

constexpr u32 kMaxLoadedApps = 8;
constexpr u32 kLoadedAppNameCap = 64;  // 63 characters and a NUL

struct LoadedApp {
  char name[kLoadedAppNameCap];
  VmState vm;
  u32 window;  // 0 at load; nothing else writes it
  u32 in_use;
  u32 slot;  // the entry's own index
};
static_assert(sizeof(void*) != 4 || sizeof(LoadedApp) == 4968);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(LoadedApp, vm) == 64);
static_assert(sizeof(void*) != 4 || __builtin_offsetof(LoadedApp, window) == 4956);

extern LoadedApp loaded_apps[kMaxLoadedApps];
extern u32 app_count;  // entries in use, at most kMaxLoadedApps

// Empties the table (tests; at start it is zero already).
void loaded_apps_reset();

// Loads the root-folder program file `name` into an entry after checking
// it; the entry's index, or -1 (logged).
i32 app_load(const char* name);

}  // namespace tavlin
