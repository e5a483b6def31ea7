// The system-call table: names in call-number order, how many arguments
// each takes, and the choice of an entry by number or by name hash.
#include "kernel/script/vm_parts.h"

namespace tavlin::vm {

const Syscall syscalls[kSyscallCount] = {
    {"draw_pixel", 3, sys_draw_pixel},
    {"draw_rect", 5, sys_draw_rect},
    {"draw_text", 4, sys_draw_text},
    {"draw_text_center", 4, sys_draw_text_center},
    {"draw_circle", 4, sys_draw_circle},
    {"draw_line", 5, sys_draw_line},
    {"draw_rect_outline", 5, sys_draw_rect_outline},
    {"win_new", 3, sys_win_new},
    {"win_close", 1, sys_win_close},
    {"win_redraw", 0, sys_win_redraw},
    {"win_center", 1, sys_win_center},
    {"win_title", 2, sys_win_title},
    {"mouse_get", 1, sys_mouse_get},
    {"key_get", 1, sys_key_get},
    {"ticks", 0, sys_ticks},
    {"sleep", 1, sys_sleep},
    {"print", 1, sys_print},
    {"print_num", 1, sys_print_num},
    {"print_hex", 1, sys_print_hex},
    {"fs_read", 3, sys_fs_read},
    {"fs_write", 3, sys_fs_write},
    {"fs_list", 3, sys_fs_list},
    {"fs_mkdir", 1, sys_fs_mkdir},
    {"fs_delete", 1, sys_fs_delete},
    {"http_get", 3, sys_http_get},
    {"dns_get", 2, sys_dns_get},
};

i32 syscall_select(i32 id) {
  for (i32 i = 0; i < kSyscallCount; ++i)
    if (id == i || static_cast<u32>(id) == name_hash(syscalls[i].name)) return i;
  return -1;
}

}  // namespace tavlin::vm
