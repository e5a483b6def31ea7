// Left presses while the Store's upload dialog is open: its close box, the
// file picker's rows and buttons, and the form's fields and buttons. The
// dialog takes every such press, whether or not it hits anything.
#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/paths.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/wm/dispatch_parts.h"

namespace tavlin::dispatch {
namespace {

constexpr i32 kPickerW = 500, kPickerH = 350;
constexpr i32 kFormW = 460, kFormH = 280;
constexpr i32 kMinScale = 10;  // percent: the size of the first pop-in frame
constexpr i32 kRowsTop = 60;
constexpr i32 kRowHeight = 18;

struct Box {
  i32 x, y, w, h;
};

bool inside(const ButtonRect& r, i32 x, i32 y) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; }
bool within(i32 v, i32 lo, i32 hi) { return v >= lo && v <= hi; }

// The box as drawn: its base size scaled by the pop-in, centred as the
// full-size box would be.
Box scaled_box(i32 base_w, i32 base_h) {
  const i32 q = upload_dialog.popin_scale > kMinScale ? upload_dialog.popin_scale : kMinScale;
  const i32 w = base_w * q / 100, h = base_h * q / 100;
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  return {(W - base_w) / 2 + (base_w - w) / 2, (H - base_h) / 2 + (base_h - h) / 2, w, h};
}

i32 picker_folder() {
  const i32 dir = fs_resolve_path(upload_dialog.picker_path);
  return fs_is_live_dir(dir) ? dir : fs_root;
}

// The n-th child of a folder in list order, -1 past its end. The walk is
// bounded by the table size, so a damaged list cannot loop.
i32 nth_child(i32 dir, i32 n) {
  i32 node = fs_is_live_dir(dir) ? fs_nodes[dir].first_child : -1;
  for (i32 i = 0; fs_is_live(node) && i < kFsMaxNodes; ++i) {
    if (i == n) return node;
    node = fs_nodes[node].next_sibling;
  }
  return -1;
}

// A row of the list: a file becomes the selection, a folder is entered.
bool press_picker_row(const Box& b, i32 cy) {
  // Rows end where the button band begins: a long folder's later entries
  // are not drawn, and a press on the buttons must reach the buttons.
  if (cy < b.y + kRowsTop || cy >= b.y + b.h - 30) return false;
  const i32 node = nth_child(picker_folder(), (cy - (b.y + kRowsTop)) / kRowHeight);
  if (node < 0) return false;
  UploadDialog& d = upload_dialog;
  if (fs_nodes[node].kind == kFsDir) {
    fs_path(node, d.picker_path);
    d.picker_sel = -1;
  } else {
    d.picker_sel = node;
  }
  return true;
}

void press_picker(i32 cx, i32 cy) {
  const Box b = scaled_box(kPickerW, kPickerH);
  if (press_picker_row(b, cy)) return;
  if (!within(cy, b.y + b.h - 30, b.y + b.h - 7)) return;
  UploadDialog& d = upload_dialog;
  if (within(cx, b.x + b.w - 100, b.x + b.w - 21)) {
    if (!fs_is_live_file(d.picker_sel)) return;
    fs_path(d.picker_sel, d.file_path);
    d.picker_open = 0;
  } else if (within(cx, b.x + 20, b.x + 99)) {
    d.picker_open = 0;
  }
}

void press_form(i32 cx, i32 cy) {
  const Box b = scaled_box(kFormW, kFormH);
  UploadDialog& d = upload_dialog;
  if (cx >= b.x + 70 && cx < b.x + b.w - 10) {
    if (within(cy, b.y + 52, b.y + 73)) d.focused_field = 0;
    if (within(cy, b.y + 80, b.y + 101)) d.focused_field = 1;
  }
  if (inside(d.browse_button, cx, cy)) {
    d.picker_open = 1;
    str_copy(d.picker_path, "/", sizeof d.picker_path);
    d.picker_sel = -1;
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
