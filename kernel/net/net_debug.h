// A command block through which a test harness runs one network operation
// in the running system (it writes the block through the debugger stub;
// the main loop picks it up). Built into test images, never into the ISO
// a user boots.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kNetDebugReady = 0x4E455444;  // "NETD"
constexpr u32 kNetDebugArgCap = 128;

enum class NetDebugOp : u32 { Resolve = 1, Get = 2, Upload = 3, Download = 4 };

struct NetDebugCommand {
  u32 ready;  // kNetDebugReady while a command waits
  u32 op;
  char args[3][kNetDebugArgCap];
  i32 result;
  u32 ticks;     // what the operation took
  u8 ip[4];      // a resolved or contacted address
  u32 completed; // counts finished commands
};
static_assert(sizeof(NetDebugCommand) == 4 + 4 + 3 * 128 + 4 + 4 + 4 + 4);

extern volatile NetDebugCommand net_debug_command;

// Runs the waiting command, if any (one main-loop step). Only test images
// link this file; elsewhere the weak reference is null and nothing polls.
[[gnu::weak]] void net_debug_poll();

}  // namespace tavlin
