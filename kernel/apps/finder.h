// The Finder's window content: the grid its folder's entries are laid out
// in, which entry lies under a point, its selection and folder changes, and
// the in-place rename.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

constexpr i32 kFinderSelectable = 128;  // one selection flag per node index

// The grid of a content area: where cells start, how many per row, and the
// edge every shown cell must end above.
struct FinderGrid {
  i32 left, top;
  i32 columns;
  i32 bottom;
};

FinderGrid finder_grid(i32 x, i32 y, i32 w, i32 h);
// Top-left corner of cell i; false when that cell does not end above the
// grid's bottom edge, and so is not shown.
bool finder_cell(const FinderGrid& grid, i32 i, i32* cx, i32* cy);
// The content area of a Finder window: below the title bar, inside the frame.
void finder_content_rect(const Window& win, i32* x, i32* y, i32* w, i32* h);

// The entries of a folder in list order: the first, then each next one;
// -1 ends the walk (also for a damaged link).
i32 finder_first_entry(i32 dir);
i32 finder_next_entry(i32 node);

// Node of the Finder item under (px, py) for a content area at (x, y) of
// size w x h, or -1.
i32 finder_grid_hit_test(const Window* win, i32 x, i32 y, i32 w, i32 h, i32 px, i32 py);

// All selection flags off and no last-selected entry.
void finder_clear_selection(Window& win);
// Shows another folder: a rename in progress is committed first, nothing is
// selected there yet, there is no range anchor, and a press in it starts no
// double click.
void finder_enter_folder(Window& win, i32 dir);

// Starts an in-place rename of a live entry, the field holding its name.
void finder_begin_rename(Window& win, i32 node);
// Ends an in-place rename, giving the entry the typed name when the file
// tree accepts it; a refused name leaves the old one.
void finder_commit_rename(Window& win);

}  // namespace tavlin
