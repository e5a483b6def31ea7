// A Store window's refresh: at most one network fetch of the server's list
// per 15 seconds, each step and outcome logged, the old list kept when the
// fetch fails.
#include "kernel/apps/store.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/net/dns.h"
#include "kernel/net/http.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/url.h"

namespace tavlin {
namespace {

constexpr u32 kRefreshGapTicks = 1500;
constexpr u32 kPreviewBytes = 128;
constexpr u32 kStatusOk = 200;
constexpr u32 kUrlCap = 160;

void finish(StoreState& s, const char* status, const char* log) {
  str_copy(s.status, status, sizeof s.status);
  s.refresh_pending = 0;
  if (log) serial_puts(log);
}

void log_ip(const u8* ip) {
  serial_puts("[MOSS] IP=");
  for (u32 i = 0; i < 4; ++i) {
    if (i) serial_putc('.');
    serial_dec32(ip[i]);
  }
  serial_puts("\n");
}

// The first bytes of the body as one log line: printable bytes as they are,
// line ends spelled out, anything else dropped.
void log_preview(const u8* body, u32 length) {
  serial_puts("[MOSS] body preview: ");
  for (u32 i = 0; i < length && i < kPreviewBytes; ++i) {
    const u8 c = body[i];
    if (c == '\n')
      serial_puts("\\n");
    else if (c == '\r')
      serial_puts("\\r");
    else if (c >= 0x20 && c < 0x7F)
      serial_putc(static_cast<char>(c));
  }
  serial_puts("\n");
}

void list_url(const StoreState& s, char* url) {
  u32 n = str_copy(url, s.server_url, kUrlCap);
  if ((n == 0 || url[n - 1] != '/') && n + 1 < kUrlCap) {
    url[n++] = '/';
    url[n] = 0;
  }
  str_copy(url + n, "list", kUrlCap - n);
  serial_puts("[MOSS] GET url=");
  serial_puts(url);
  serial_puts("\n");
}

bool resolve(StoreState& s, const char* host, u8* ip) {
  if (!parse_ipv4(host, ip)) {
    serial_puts("[MOSS] DNS resolving...\n");
    if (!dns_resolve(host, ip)) {
      finish(s, "DNS failed", "[MOSS] DNS failed\n");
      return false;
    }
  }
  log_ip(ip);
  return true;
}

// The answer must be a whole "200" response: an error page is not a list.
bool fetch(StoreState& s, const u8* ip, u16 port, const char* host, const char* path) {
  if (!http_get(ip, port, host, path)) {
    finish(s, "HTTP get failed", "[MOSS] http_get failed\n");
    return false;
  }
  serial_puts("[MOSS] http_resp_len=");
  serial_dec32(http_resp_len);
  serial_puts("\n");
  const u32 status = http_status_code(http_resp_buf, http_resp_len);
  if (status != kStatusOk) {
    serial_puts("[MOSS] server answered ");
    serial_dec32(status);
    serial_puts("\n");
    finish(s, "HTTP get failed", nullptr);
    return false;
  }
  return true;
}

void log_target(const char* host, const char* path, u16 port) {
  serial_puts("[MOSS] host=");
  serial_puts(host);
  serial_puts(" path=");
  serial_puts(path);
  serial_puts(" port=");
  serial_dec32(port);
  serial_puts("\n");
}

}  // namespace

void zivirerev_refresh(StoreState* state) {
  if (!state) return;
  StoreState& s = *state;
  const u32 now = ticks_now();
  // A window that has not fetched yet is never made to wait.
  if (s.has_refreshed && now - s.last_refresh_tick < kRefreshGapTicks) {
    finish(s, "Please wait 15s between refreshes", nullptr);
    return;
  }
  s.has_refreshed = 1;
  s.last_refresh_tick = now;
  serial_puts("[MOSS] Refreshing from: ");
  serial_puts(s.server_url);
  serial_puts("\n");
  char url[kUrlCap], host[kUrlHostCap], path[kUrlPathCap];
  u16 port = 0;
  list_url(s, url);
  browser_parse_url(url, host, &port, path);
  log_target(host, path, port);
  u8 ip[4];
  if (!resolve(s, host, ip) || !fetch(s, ip, port, host, path)) return;
  u32 length = 0;
  const u8* body = http_strip_headers(http_resp_len, &length);
  if (!body || length == 0) {
    finish(s, "Empty response", "[MOSS] empty body\n");
    return;
  }
  serial_puts("[MOSS] body_len=");
  serial_dec32(length);
  serial_puts("\n");
  log_preview(body, length);
  store_parse_list(s, body, length);
  serial_puts("[MOSS] total files=");
  serial_dec32(s.file_count);
  serial_puts("\n");
  char count[12];
  int_to_str(static_cast<i32>(s.file_count), count, 1);
  str_copy(s.status, "Files: ", sizeof s.status);
  str_cat(s.status, count);
  s.refresh_pending = 0;
  s.selected = -1;
  s.last_upload_name[0] = 0;
  s.last_upload_desc[0] = 0;
}

}  // namespace tavlin
