// Any bytes through the browser's HTML-to-text conversion and its word wrap. The body is exactly sized, so a read past
// it trips AddressSanitizer; the text and the line table sit inside records, so their bounds are checked.
#include <vector>

#include "kernel/apps/browser.h"

extern "C" int LLVMFuzzerTestOneInput(const tavlin::u8* data, tavlin::usize size) {
  using namespace tavlin;
  if (size < 1) return 0;
  const i32 columns = static_cast<i32>(data[0]) - 8;  // below 1 as well
  const std::vector<u8> body(data + 1, data + size);
  browser_html_to_text(body.data(), static_cast<u32>(body.size()));
  const u32 length = browser_state.text_len;
  if (length >= kBrowserTextCap || browser_state.text[length] != 0) __builtin_trap();
  const i32 lines = browser_wrap_lines(length, columns, line_starts);
  if (lines < 1 || lines > static_cast<i32>(kBrowserMaxLines)) __builtin_trap();
  for (i32 i = 1; i < lines; ++i)
    if (line_starts[i] < line_starts[i - 1] || line_starts[i] > length) __builtin_trap();
  browser_wrap_lines(static_cast<u32>(size) * 16, columns, line_starts);  // a length past the text
  return 0;
}
