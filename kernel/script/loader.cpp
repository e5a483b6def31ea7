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

}  // namespace

void loaded_apps_reset() {
  memset(loaded_apps, 0, sizeof loaded_apps);
  app_count = 0;
}

i32 app_load(const char* name) {
  if (app_count >= kMaxLoadedApps) return -1;
  const i32 node = program_file(name);
  if (node < 0) return -1;
  const FsNode& file = fs_nodes[node];
  // The code is read from the inline text, so that is all it can span, even
  // when the size counts the bytes of a blob.
  const u32 size = file.size < kHitMaxFileSize ? file.size : kHitMaxFileSize;

  const u32 index = app_count;
  app_count = app_count + 1;
  LoadedApp& entry = loaded_apps[index];
  memset(&entry, 0, sizeof entry);
  entry.in_use = 1;
  entry.slot = index;
  str_copy(entry.name, name, kLoadedAppNameCap);
  entry.window = 0;
  entry.vm.code = reinterpret_cast<const u8*>(file.text) + kHitHeaderSize;
  entry.vm.code_len = static_cast<i32>(size - kHitHeaderSize);
  entry.vm.pc = 0;
  entry.vm.sp = 0;
  entry.vm.var_count = 0;
  entry.vm.running = 1;
  entry.vm.error = kVmOk;

  serial_puts("[App] Loaded: ");
  serial_puts(name);
  serial_puts(" (");
  serial_dec32(size - kHitHeaderSize);
  serial_puts(" bytes)\n");
  return static_cast<i32>(index);
}

// run <file.hit>: a program that stops with an error is still reported as
// running; the machine leaves its state in the table for whoever asks.
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
  return TermEnd::kFinish;
}

}  // namespace tavlin
