// Splitting a TextEdit document into lines.
#include "kernel/apps/textedit_lines.h"

namespace tavlin {

void text_lines_split(const char* text, i32 length, TextLines* out) {
  out->start[0] = 0;
  out->count = 1;
  out->length = length;
  for (i32 i = 0; i < length && out->count < kTextLinesMax; ++i)
    if (text[i] == '\n') out->start[out->count++] = i + 1;
}

i32 text_lines_find(const TextLines& lines, i32 pos) {
  i32 line = 0;
  while (line + 1 < lines.count && lines.start[line + 1] <= pos) ++line;
  return line;
}

i32 text_lines_end(const TextLines& lines, i32 line) {
  return line + 1 < lines.count ? lines.start[line + 1] - 1 : lines.length;
}

}  // namespace tavlin
