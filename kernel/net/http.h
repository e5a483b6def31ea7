// HTTP/1.0 over the TCP client: GET into the shared response buffer, the
// header/body split, file upload and download against the store server.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kHttpRespCap = 512000;
constexpr u32 kPostBufCap = 512000;
constexpr u32 kHttpTxCap = 512512;

// Where QEMU's user-mode network puts the host (tools/run_with_store.sh
// starts the store server there for `make run`).
constexpr const char* kStoreServerUrl = "http://10.0.2.2:8088";

extern u8 http_resp_buf[kHttpRespCap];
extern u32 http_resp_len;
extern u8 post_buf[kPostBufCap];
extern u8 http_tx[kHttpTxCap];

u32 http_get(const u8* server_ip, u16 port, const char* host, const char* path);
// The body after the first blank line of the first `length` response
// bytes, with its length; null and 0 when there is none.
u8* http_strip_headers(u32 length, u32* body_length);

u32 http_post_file(const char* server_url, const char* local_path, const char* remote_name);
u32 http_download_file(const char* name);

// The status code of the response in buf ("HTTP/1.x nnn ..."), 0 when the
// text does not start with a status line.
u32 http_status_code(const u8* buf, u32 length);

// The host as an address: a dotted quad as it stands, else by DNS.
u32 http_resolve_host(const char* host, u8* ip_out);

}  // namespace tavlin
