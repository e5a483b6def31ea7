// Shared set-up for the bytecode machine's tests: a 1024 x 768 screen, the
// start-up file tree, no windows, empty keyboard and a still clock; programs
// written in hitasm's mnemonics, assembled, loaded and run with a step bound.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"
#include "kernel/gfx/gfx.h"
#include "kernel/script/vm.h"
#include "kernel/script/vm_parts.h"
#include "tools/hitasm/assembler.h"
#include "unit/apps/terminal_fixture.h"
#include "unit/core/screen_fixture.h"

namespace tavlin::script_test {

using Ints = std::vector<i32>;
using Bytes = std::vector<u8>;
constexpr u32 kScratch = kVmScratchBase;

// The lines that push the arguments, in order, and make the call.
inline std::string call(const std::string& name, const std::vector<std::string>& args = {}) {
  std::string out;
  for (const std::string& a : args) out += "PUSH " + a + "\n";
  return out + "SYSCALL " + name + "\n";
}

// Runs programs and reads back what they left; usable beside any fixture.
struct VmRig {
  VmState& run(const std::string& source, u64 max_steps = 100000) {
    const hitasm::Result r = hitasm::assemble(source);
    EXPECT_TRUE(r.ok()) << r.error;
    code = r.code;
    vm_load(vm, code.data(), static_cast<i32>(code.size()));
    vm_execute_for(vm, max_steps);
    return vm;
  }
  Ints stack() const { return Ints(vm.stack, vm.stack + vm.sp); }
  // The program's memory after a run, read through the machine's own checks.
  Bytes memory(u32 address, u32 length) {
    const u8* p = vm::read_span(vm, address, length);
    EXPECT_NE(p, nullptr) << std::hex << address;
    return p ? Bytes(p, p + length) : Bytes{};
  }

  Bytes code;
  VmState vm{};
};

class VmTest : public test::ScreenTest, public VmRig {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    pit_ticks = 0;
    windows_init();
    term_test::standard_tree();
    memset(key_states, 0, sizeof key_states);
    kbd_head = kbd_tail = 0;
    mouse_x = mouse_y = 0;
    mouse_buttons = 0;
    net_config_clear();
    fake_hw::clear_writes();
  }
  void TearDown() override {
    windows_init();
    fs_tables_reset();
  }

  void type_keys(const std::string& keys) {
    for (char c : keys) {
      kbd_buf[kbd_head] = static_cast<u8>(c);
      kbd_head = (kbd_head + 1) % kKbdBufSize;
    }
  }
  u32 pixel(i32 x, i32 y) const { return backbuf[y * fb_width + x]; }
};

}  // namespace tavlin::script_test
