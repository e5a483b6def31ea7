// Where the upload dialog and its file picker sit on the screen while they
// pop in, and which folder entry each picker row shows. Its drawing and its
// clicks both use these, so what is drawn is what answers.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct DialogBox {
  i32 x, y, w, h;
};

constexpr i32 kPickerRowsTop = 60;  // from the picker's top
constexpr i32 kPickerRowHeight = 18;

// The form (460 x 280) or the picker (500 x 350) scaled by the pop-in,
// centred where the full-size box sits.
DialogBox upload_dialog_box(bool picker);
// How many folder entries the picker shows at once.
i32 upload_picker_visible_rows(const DialogBox& picker);
// The folder the picker shows: its path resolved, or the root.
i32 upload_picker_folder();
// Entry n of that folder in list order, -1 past its end.
i32 upload_picker_entry(i32 n);
// The entry shown on screen row `row` (0 at the top of the list), -1 for none.
i32 upload_picker_row_entry(const DialogBox& picker, i32 row);

}  // namespace tavlin
