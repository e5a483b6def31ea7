// The program loader: the checks a ".hit" file must pass, the table entry it
// fills, and the run command that loads a program and runs it to its end.
#include "kernel/script/loader.h"

#include "kernel/apps/apps.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/script/hit_format.h"
#include "kernel/script/script.h"

namespace tavlin {

LoadedApp loaded_apps[kMaxLoadedApps];
u32 app_count;

namespace {

// Each entry's own copy of its code: a program may rewrite or delete its
// file while it runs, and its code must not change under it.
u8 program_code[kMaxLoadedApps][kHitMaxFileSize - kHitHeaderSize];
// Load order, so a full table gives up the entry loaded longest ago.
u32 loaded_at[kMaxLoadedApps];
u32 loads;

bool has_magic(const FsNode& file) {
  for (u32 i = 0; i < kHitMagicSize; ++i)
    if (file.text[i] != kHitMagic[i]) return false;
  return true;
}

// The root-folder program file of that name, or -1 after logging why not.
i32 program_file(const char* name) {
  const i32 node = fs_find_child(fs_root, name);
  if (!fs_is_live_file(node)) {
    serial_puts("[App] File not found: ");
    serial_puts(name);
    serial_puts("\n");
    return kFsNone;
  }
  if (fs_nodes[node].size < kHitHeaderSize) {
    serial_puts("[App] File too small\n");
    return kFsNone;
  }
  if (!has_magic(fs_nodes[node])) {
    serial_puts("[App] Invalid magic\n");
    return kFsNone;
  }
  return node;
}

// A free entry, else the one loaded longest ago: every program in the
// table has finished, since a program runs to its end inside its run.
u32 take_entry() {
  u32 oldest = 0;
  for (u32 i = 0; i < kMaxLoadedApps; ++i) {
    if (!loaded_apps[i].in_use) return i;
    if (loaded_at[i] < loaded_at[oldest]) oldest = i;
  }
  return oldest;
}

// The line naming why a program stopped, or null when it did not fail.
const char* stop_report(i32 error) {
  switch (error) {
    case kVmBadAddress: return "Stopped: bad address (-5)";
    case kVmBadCode: return "Stopped: bad instruction (-6)";
    case kVmInterrupted: return "Stopped: interrupted (-7)";
    default: return nullptr;
  }
}

}  // namespace

void loaded_apps_reset() {
  memset(loaded_apps, 0, sizeof loaded_apps);
  memset(loaded_at, 0, sizeof loaded_at);
  app_count = 0;
  loads = 0;
}

i32 app_load(const char* name) {
  const i32 node = program_file(name);
  if (node < 0) return -1;
  const FsNode& file = fs_nodes[node];
  // The code is read from the inline text, so that is all it can span, even
  // when the size counts the bytes of a blob.
  const u32 size = file.size < kHitMaxFileSize ? file.size : kHitMaxFileSize;

  const u32 index = take_entry();
  if (!loaded_apps[index].in_use) app_count = app_count + 1;
  loaded_at[index] = ++loads;
  LoadedApp& entry = loaded_apps[index];
  memset(&entry, 0, sizeof entry);
  entry.in_use = 1;
  entry.slot = index;
  str_copy(entry.name, name, kLoadedAppNameCap);
  entry.window = 0;
  const u32 code_len = size - kHitHeaderSize;
  memcpy(program_code[index], file.text + kHitHeaderSize, code_len);
  vm_load(entry.vm, program_code[index], static_cast<i32>(code_len));

  serial_puts("[App] Loaded: ");
  serial_puts(name);
  serial_puts(" (");
  serial_dec32(size - kHitHeaderSize);
  serial_puts(" bytes)\n");
  return static_cast<i32>(index);
}

// run <file.hit>: runs the program to its end, then says so, adding why it
// stopped when it failed.
TermEnd term_run(Window& win, const char* arg) {
  if (!arg[0]) {
    term_println(&win, "Usage: run <file.hit>");
    return TermEnd::kReturnEarly;
  }
  char name[kLoadedAppNameCap];
  str_copy(name, arg, sizeof name);
  const i32 index = app_load(name);
  if (index < 0) {
    term_println(&win, "Failed to load app");
    return TermEnd::kFinish;
  }
  vm_execute(loaded_apps[index].vm);
  term_println(&win, "Running: ");
  term_println(&win, name);
  if (const char* why = stop_report(loaded_apps[index].vm.error)) term_println(&win, why);
  return TermEnd::kFinish;
}

}  // namespace tavlin
