// Left presses while the Store's upload dialog is open: its close box, the
// file picker's rows and buttons, and the form's fields and buttons. The
// dialog takes every such press, whether or not it hits anything.
#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/apps/upload_dialog_layout.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/dispatch_parts.h"

namespace tavlin::dispatch {
namespace {

bool inside(const ButtonRect& r, i32 x, i32 y) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; }
bool within(i32 v, i32 lo, i32 hi) { return v >= lo && v <= hi; }

// A row of the list: a file becomes the selection, a folder is entered.
bool press_picker_row(const DialogBox& b, i32 cy) {
  if (cy < b.y + kPickerRowsTop) return false;
  const i32 node = upload_picker_row_entry(b, (cy - (b.y + kPickerRowsTop)) / kPickerRowHeight);
  if (node < 0) return false;
  if (fs_is_live_dir(node))
    upload_picker_choose(node);
  else
    upload_dialog.picker_sel = node;
  return true;
}

void press_picker(i32 cx, i32 cy) {
  const DialogBox b = upload_dialog_box(true);
  if (press_picker_row(b, cy)) return;
  if (!within(cy, b.y + b.h - 30, b.y + b.h - 7)) return;
  UploadDialog& d = upload_dialog;
  if (within(cx, b.x + b.w - 100, b.x + b.w - 21))
    upload_picker_choose(fs_is_live_file(d.picker_sel) ? d.picker_sel : -1);
  else if (within(cx, b.x + 20, b.x + 99))
    d.picker_open = 0;
}

void press_form(i32 cx, i32 cy) {
  const DialogBox b = upload_dialog_box(false);
  UploadDialog& d = upload_dialog;
  if (cx >= b.x + 70 && cx < b.x + b.w - 10) {
    if (within(cy, b.y + 52, b.y + 73)) d.focused_field = 0;
    if (within(cy, b.y + 80, b.y + 101)) d.focused_field = 1;
  }
  if (inside(d.browse_button, cx, cy)) {
    upload_picker_open();
    return;
  }
  if (!within(cy, b.y + b.h - 40, b.y + b.h - 15)) return;
  if (within(cx, b.x + 20, b.x + 99))
    d.active = 0;
  else if (within(cx, b.x + b.w - 100, b.x + b.w - 21))
    upload_dialog_submit();
}

}  // namespace

void press_upload_dialog(i32 cx, i32 cy) {
  UploadDialog& d = upload_dialog;
  if (inside(d.close_button, cx, cy)) {
    d.active = 0;
  } else if (d.picker_open) {
    press_picker(cx, cy);
  } else {
    press_form(cx, cy);
  }
}

}  // namespace tavlin::dispatch
