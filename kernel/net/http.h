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
// A whole transfer, download or upload, connection included: a server that
// trickles its bytes must not hold the desktop longer than this.
constexpr u32 kHttpTransferTicks = 3000;

extern u8 http_resp_buf[kHttpRespCap];
extern u32 http_resp_len;
// Every byte the last response had; above http_resp_len when it was cut to
// the buffer.
extern u32 http_resp_total;
extern u8 post_buf[kPostBufCap];
extern u8 http_tx[kHttpTxCap];

// 1 when the whole response arrived (see http_response_complete; a body
// longer than the buffer is kept cut), else 0. Gives up after about 30 s.
u32 http_get(const u8* server_ip, u16 port, const char* host, const char* path);
// The body after the first blank line of the first `length` response
// bytes, with its length; null and 0 when there is none.
u8* http_strip_headers(u32 length, u32* body_length);

u32 http_post_file(const char* server_url, const char* local_path, const char* remote_name);
u32 http_download_file(const char* name);

// The Content-Length value among the header lines at the start of buf
// (the header block, without its blank line); 0 when there is none or it
// is not one plain decimal number.
u32 http_content_length(const u8* buf, u32 length, u32* out);

// Whether a response of `total` stream bytes, of which the first `kept` are
// in buf, is whole: it must declare a Content-Length its body reaches, or
// else end with the server's own close (a reset, silence or the deadline
// leave no proof that nothing is missing). Logs why not.
u32 http_response_complete(u32 closed_by_peer, const u8* buf, u32 kept, u32 total);

// The status code of the response in buf ("HTTP/1.x nnn ..."), 0 when the
// text does not start with a status line.
u32 http_status_code(const u8* buf, u32 length);

// The host as an address: a dotted quad as it stands, else by DNS.
u32 http_resolve_host(const char* host, u8* ip_out);

}  // namespace tavlin
