// The test harness's command block: one resolve, GET, upload or download
// per command, with its result and duration left for the harness to read.
#include "kernel/net/net_debug.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/dns.h"
#include "kernel/net/http.h"
#include "kernel/net/url.h"

namespace tavlin {

volatile NetDebugCommand net_debug_command;

namespace {

i32 run_get(const char* url, u8* ip) {
  char host[kUrlHostCap], path[kUrlPathCap];
  u16 port = 0;
  browser_parse_url(url, host, &port, path);
  if (!http_resolve_host(host, ip)) return -1;
  return static_cast<i32>(http_get(ip, port, host, path));
}

i32 run(u32 op, const char (*args)[kNetDebugArgCap], u8* ip) {
  switch (static_cast<NetDebugOp>(op)) {
    case NetDebugOp::Resolve:
      return static_cast<i32>(dns_resolve(args[0], ip));
    case NetDebugOp::Get:
      return run_get(args[0], ip);
    case NetDebugOp::Upload:
      return static_cast<i32>(http_post_file(args[0], args[1], args[2]));
    case NetDebugOp::Download:
      return static_cast<i32>(http_download_file(args[0]));
  }
  return -2;
}

}  // namespace

void net_debug_poll() {
  if (net_debug_command.ready != kNetDebugReady) return;
  char args[3][kNetDebugArgCap];
  for (u32 i = 0; i < 3; ++i) {
    for (u32 k = 0; k < kNetDebugArgCap; ++k) args[i][k] = net_debug_command.args[i][k];
    args[i][kNetDebugArgCap - 1] = 0;
  }
  const u32 op = net_debug_command.op;
  net_debug_command.ready = 0;
  serial_puts("[NETDBG] command ");
  serial_dec32(op);
  serial_puts("\n");
  u8 ip[4] = {0, 0, 0, 0};
  const u32 start = ticks_now();
  const i32 result = run(op, args, ip);
  net_debug_command.ticks = ticks_now() - start;
  net_debug_command.result = result;
  for (u32 i = 0; i < 4; ++i) net_debug_command.ip[i] = ip[i];
  net_debug_command.completed = net_debug_command.completed + 1;
  serial_puts("[NETDBG] done ");
  serial_dec32(static_cast<u32>(result));
  serial_puts("\n");
}

}  // namespace tavlin
