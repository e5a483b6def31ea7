// Arbitrary bytecode loaded as a program and run over the start-up tree, a small screen and queued keys until Ctrl+C at
// tick 300 or an instruction bound: the machine stays within its tables and its code stays as loaded.
#include <cstring>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/timer.h"
#include "kernel/fs/fs.h"
#include "kernel/net/ipv4.h"
#include "kernel/script/hit_format.h"
#include "kernel/script/loader.h"
#include "kernel/wm/window.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  using namespace tavlin;
  static std::vector<u32> screen(64 * 48);
  fb = reinterpret_cast<uptr>(screen.data());
  fb_width = fb_pitch_px = 64;
  fb_height = 48;
  fs_populate({}, {}, {});
  windows_init();
  loaded_apps_reset();
  net_config_clear();
  pit_ticks = 0;
  memset(key_states, 0, sizeof key_states);
  kbd_head = kbd_tail = 0;
  for (u8 key : {'a', 'b', '\n'}) kbd_buf[kbd_head++] = key;
  fake_hw::set_halt_hook([] {
    pit_ticks = pit_ticks + 1;
    if (pit_ticks == 300) key_states[scancode::kCtrl] = key_states[scancode::kC] = 1;
  });

  const u32 room = kHitMaxFileSize - kHitHeaderSize;
  const u32 length = size < room ? static_cast<u32>(size) : room;
  const i32 node = fs_create(fs_root, "p.hit", kFsFile);
  memcpy(fs_nodes[node].text, builtin_program, kHitHeaderSize);
  memcpy(fs_nodes[node].text + kHitHeaderSize, data, length);
  fs_nodes[node].size = kHitHeaderSize + length;
  const i32 slot = app_load("p.hit");
  if (slot < 0) __builtin_trap();
  VmState& vm = loaded_apps[slot].vm;
  const u8* code = vm.code;
  vm_execute_for(vm, 200000);

  if (vm.code != code || vm.code_len != static_cast<i32>(length) || memcmp(code, data, length) != 0) __builtin_trap();
  if (vm.sp < 0 || vm.sp > kVmStackSize || vm.var_count < 0 || vm.var_count > kVmMaxVars) __builtin_trap();
  const bool known = vm.error == kVmBadAddress || vm.error == kVmBadCode || vm.error == kVmInterrupted;
  if (vm.error != kVmOk && (!known || vm.running)) __builtin_trap();
  fake_hw::set_halt_hook(nullptr);
  fake_hw::clear_writes();
  return 0;
}
