// The machine's inner seams, shared by its files: the call record every
// system call receives, the call table, the program's memory as the calls
// see it (its code and its scratch area), its window handles and Ctrl+C.
#pragma once
#include "kernel/core/types.h"
#include "kernel/script/vm.h"

namespace tavlin::vm {

constexpr i32 kSyscallCount = 26;
constexpr i32 kMaxArgs = 5;

// One system call in progress: its arguments in push order (missing ones
// are 0). A call that meets a bad address sets vm.error and its result is
// not pushed.
struct Call {
  VmState& vm;
  i32 arg[kMaxArgs];
  u32 keep_first_arg;  // push arg[0] back before the result (key_get, no key)
};

using SyscallFn = i32 (*)(Call& call);

struct Syscall {
  const char* name;
  u32 arg_count;
  SyscallFn run;
};
extern const Syscall syscalls[kSyscallCount];

// The table entry an id names, by number or by the hash of its name; -1 if
// none does.
i32 syscall_select(i32 id);
// hash = hash * 31 + c over the name's characters, wrapping at 32 bits.
constexpr u32 name_hash(const char* name) {
  u32 h = 0;
  for (; *name; ++name) h = h * 31 + static_cast<u32>(static_cast<i32>(static_cast<signed char>(*name)));
  return h;
}

// The program's memory. Each accessor checks a program address (and the
// span behind it) and answers null after setting error -5 when it is not
// the program's.
void sandbox_bind(const VmState& vm);   // fresh memory when vm is not the one bound
void sandbox_reset(const VmState& vm);  // fresh memory, bound to vm
const char* text_at(VmState& vm, u32 address);
const u8* read_span(VmState& vm, u32 address, u32 length);
u8* write_span(VmState& vm, u32 address, u32 length);
// A call's output buffer of `max` entries of `unit` bytes, of which it
// writes at most `most`; with max < 1 only the address itself is checked.
u8* out_buffer(Call& c, i32 index, i32 max, u32 unit, u32 most);
// The program address of a byte of the scratch area.
u32 scratch_address(const u8* p);
// The top of the scratch area that fs_list fills with copies of names.
constexpr u32 kNameSlotSize = 28;
constexpr u32 kNameSlots = 128;
u8* name_slot(u32 index);

// Window handles: forgotten when a program starts afresh.
void program_windows_forget();

// Ctrl+C held down: the program stops with error -7.
bool interrupt_requested();
void stop_interrupted(VmState& vm);

// System calls, one function each, in table order.
i32 sys_draw_pixel(Call& c);
i32 sys_draw_rect(Call& c);
i32 sys_draw_text(Call& c);
i32 sys_draw_text_center(Call& c);
i32 sys_draw_circle(Call& c);
i32 sys_draw_line(Call& c);
i32 sys_draw_rect_outline(Call& c);
i32 sys_win_new(Call& c);
i32 sys_win_close(Call& c);
i32 sys_win_redraw(Call& c);
i32 sys_win_center(Call& c);
i32 sys_win_title(Call& c);
i32 sys_mouse_get(Call& c);
i32 sys_key_get(Call& c);
i32 sys_ticks(Call& c);
i32 sys_sleep(Call& c);
i32 sys_print(Call& c);
i32 sys_print_num(Call& c);
i32 sys_print_hex(Call& c);
i32 sys_fs_read(Call& c);
i32 sys_fs_write(Call& c);
i32 sys_fs_list(Call& c);
i32 sys_fs_mkdir(Call& c);
i32 sys_fs_delete(Call& c);
i32 sys_http_get(Call& c);
i32 sys_dns_get(Call& c);

// Arguments as the calls use them.
inline u32 address_arg(const Call& c, i32 i) { return static_cast<u32>(c.arg[i]); }

}  // namespace tavlin::vm
