// TextEdit's document operations on a window record: the bounds every edit
// keeps, the undo snapshot, the selection, insertion, deletion and the
// shared clipboard.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

namespace textedit {

// Takes the length from the NUL-terminated text (cut at 511 characters) and
// brings the caret and selection ends inside it, so no later step can index
// past the 512-byte buffer.
void normalise(Window& w);

// Copies the text into the undo snapshot; the _if_saved form only while
// there are no unsaved edits, so undo returns to the last save or open.
void snapshot(Window& w);
void snapshot_if_saved(Window& w);

struct Range {
  i32 from, to;  // from <= to; equal when nothing is selected
};
Range selection(const Window& w);
// Selects the whole text, the caret at its end.
void select_all(Window& w);

// Each returns whether the text changed.
bool delete_selection(Window& w);
bool insert_at_caret(Window& w, char c);
bool delete_before_caret(Window& w);

void copy_selection(const Window& w);
// Inserts the clipboard at the caret until the document is full.
void paste_clipboard(Window& w);
void undo(Window& w);

}  // namespace textedit
}  // namespace tavlin
