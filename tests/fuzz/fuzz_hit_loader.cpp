// Arbitrary bytes as a root-folder program file, once with their own length as the size and once with a size far past
// the inline text: a load either fails or gives a copy of code that lies wholly inside the file's inline text.
#include "fake/fake_hw.h"
#include "kernel/fs/fs.h"
#include "kernel/script/loader.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  using namespace tavlin;
  fs_populate({}, {}, {});
  loaded_apps_reset();
  const u32 length = size < kFsTextCap ? static_cast<u32>(size) : kFsTextCap;
  for (u32 claimed : {length, length * 1000 + 1}) {
    const i32 node = fs_create(fs_root, "p.hit", kFsFile);
    __builtin_memcpy(fs_nodes[node].text, data, length);
    fs_nodes[node].size = claimed;
    const i32 slot = app_load("p.hit");
    if (slot >= 0) {
      const VmState& vm = loaded_apps[slot].vm;
      const u8* text = reinterpret_cast<const u8*>(fs_nodes[node].text);
      if (vm.code_len < 0 || 14 + vm.code_len > static_cast<i32>(kFsTextCap - 1)) __builtin_trap();
      if (__builtin_memcmp(vm.code, text + 14, vm.code_len) != 0) __builtin_trap();
    }
    fs_delete(fs_root, "p.hit");
  }
  fake_hw::clear_writes();
  return 0;
}
