// Reading the store server's list body into a Store state: one name per
// line, CR LF or LF, blank lines and surrounding spaces ignored.
#include "kernel/apps/store.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"

namespace tavlin {
namespace {

constexpr u32 kLongestName = 62;
constexpr u32 kDescCap = 160;

bool line_end(u8 c) { return c == '\r' || c == '\n'; }

// The description to show for a freshly listed name: the one typed for our
// own last upload when this is that file, else none.
void describe(StoreState& s, u32 index) {
  char* desc = s.file_descs[index];
  desc[0] = 0;
  if (s.last_upload_name[0] && str_eq(s.last_upload_name, s.file_names[index]))
    str_copy(desc, s.last_upload_desc, kDescCap);
}

void log_name(u32 index, const char* name) {
  serial_puts("[MOSS] file[");
  serial_dec32(index);
  serial_puts("]=");
  serial_puts(name);
  serial_puts("\n");
}

}  // namespace

void store_parse_list(StoreState& s, const u8* body, u32 length) {
  s.file_count = 0;
  u32 at = 0;
  while (at < length && s.file_count < kStoreFiles) {
    while (at < length && (line_end(body[at]) || body[at] == ' ')) ++at;
    const u32 start = at;
    while (at < length && !line_end(body[at])) ++at;
    u32 end = at;
    while (end > start && body[end - 1] == ' ') --end;
    const u32 n = end - start;
    if (n == 0 || n > kLongestName) continue;
    char* name = s.file_names[s.file_count];
    memcpy(name, body + start, n);
    name[n] = 0;
    describe(s, s.file_count);
    log_name(s.file_count, name);
    s.file_count = s.file_count + 1;
  }
}

}  // namespace tavlin
