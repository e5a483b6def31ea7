// Where the lines of a TextEdit document start, for drawing, caret moves
// and clicks. Lines end at LF; a 511-character document has 512 at most.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kTextLinesMax = 512;

struct TextLines {
  i32 start[kTextLinesMax];
  i32 count;
  i32 length;  // of the text they were taken from
};

void text_lines_split(const char* text, i32 length, TextLines* out);
// The line holding position pos (0..length).
i32 text_lines_find(const TextLines& lines, i32 pos);
// The position of the line's terminating LF, or the text's end.
i32 text_lines_end(const TextLines& lines, i32 line);

}  // namespace tavlin
