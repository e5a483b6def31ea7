// File download from the store server into the "Downloads" folder: short
// bodies become inline content, longer ones a content-pool blob.
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/fs/fs.h"
#include "kernel/net/http.h"
#include "kernel/net/url.h"

namespace tavlin {
namespace {

constexpr u32 kUrlCap = 256;
constexpr u32 kStatusOk = 200;

bool unreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// base + "/" (unless there) + "download/" + the name, percent-encoded so a
// space or "?" in a name cannot break the request line or the path.
u32 build_url(const char* name, char* url) {
  u32 n = str_copy(url, kStoreServerUrl, kUrlCap);
  if (n == 0 || url[n - 1] != '/') url[n++] = '/';
  for (const char* s = "download/"; *s;) url[n++] = *s++;
  for (const char* p = name; *p; ++p) {
    if (n + 4 > kUrlCap) return 0;
    const auto c = static_cast<u8>(*p);
    if (unreserved(*p)) {
      url[n++] = *p;
    } else {
      url[n++] = '%';
      url[n++] = kHexDigits[c >> 4];
      url[n++] = kHexDigits[c & 15];
    }
  }
  url[n] = 0;
  return 1;
}

i32 downloads_folder() {
  const i32 existing = fs_find_child(fs_root, "Downloads");
  if (existing >= 0) return fs_is_live_dir(existing) ? existing : -1;
  return fs_create(fs_root, "Downloads", kFsDir);
}

u32 store_body(i32 folder, i32 node, const u8* body, u32 length) {
  if (length < kFsTextCap) {
    FsNode& n = fs_nodes[node];
    memcpy(n.text, body, length);
    n.text[length] = 0;
    n.size = length;
    n.has_blob = 0;
    return 1;
  }
  if (fs_set_image_content(node, body, length)) return 1;
  serial_puts("[DOWNLOAD] no room in the content pool\n");
  fs_unlink_child(folder, node);
  fs_remove_recursive(node);
  return 0;
}

}  // namespace

u32 http_download_file(const char* name) {
  char url[kUrlCap], host[kUrlHostCap], path[kUrlPathCap];
  u16 port = 0;
  if (!name || !*name || !build_url(name, url)) return 0;
  browser_parse_url(url, host, &port, path);
  u8 ip[4];
  if (!http_resolve_host(host, ip) || !http_get(ip, port, host, path)) return 0;
  if (http_resp_total > http_resp_len) {
    // Stored, the cut body would pass for the whole file.
    serial_puts("[DOWNLOAD] file larger than the response buffer\n");
    return 0;
  }
  const u32 status = http_status_code(http_resp_buf, http_resp_len);
  if (status != kStatusOk) {
    // An error page is not the file: keep it out of Downloads.
    serial_puts("[DOWNLOAD] server answered ");
    serial_dec32(status);
    serial_puts(" for ");
    serial_puts(name);
    serial_puts("\n");
    return 0;
  }
  u32 length = 0;
  const u8* body = http_strip_headers(http_resp_len, &length);
  if (!body || length == 0) return 0;
  const i32 folder = downloads_folder();
  if (folder < 0) return 0;
  const i32 node = fs_create(folder, name, kFsFile);
  if (node < 0) return 0;
  return store_body(folder, node, body, length);
}

}  // namespace tavlin
