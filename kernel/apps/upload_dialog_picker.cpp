// The upload dialog's file picker: the folder it shows, its rows, walking
// the entries with the keys, entering folders and taking a file.
#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/apps/upload_dialog_layout.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/paths.h"
#include "kernel/fs/standard_folders.h"

namespace tavlin {
namespace {

constexpr i32 kMinScale = 10;  // percent: the size of the first pop-in frame
constexpr i32 kButtonBand = 34;  // below the rows: the Select and Cancel buttons

// The position of a node in the picker folder's list, -1 when not there.
i32 entry_index(i32 node) {
  const i32 dir = upload_picker_folder();
  if (!fs_is_live_dir(dir) || node < 0) return -1;
  i32 index = 0;
  const i32 found = fs_walk_children(dir, [&](i32 at) {
    if (at == node) return true;
    ++index;
    return false;
  });
  return found >= 0 ? index : -1;
}

i32 entry_count() {
  const i32 dir = upload_picker_folder();
  if (!fs_is_live_dir(dir)) return 0;
  i32 count = 0;
  fs_walk_children(dir, [&](i32) {
    ++count;
    return false;
  });
  return count;
}

// Scrolls the list so the selected entry is on screen.
void keep_selection_visible() {
  UploadDialog& d = upload_dialog;
  const i32 index = entry_index(d.picker_sel);
  const i32 rows = upload_picker_visible_rows(upload_dialog_box(true));
  if (index < 0 || rows <= 0) return;
  if (index < d.picker_top) d.picker_top = index;
  if (index >= d.picker_top + rows) d.picker_top = index - rows + 1;
}

void show_folder(i32 dir) {
  UploadDialog& d = upload_dialog;
  fs_path(dir, d.picker_path);
  d.picker_sel = -1;
  d.picker_top = 0;
}

}  // namespace

DialogBox upload_dialog_box(bool picker) {
  const i32 base_w = picker ? 500 : 460, base_h = picker ? 350 : 280;
  const i32 q = upload_dialog.popin_scale > kMinScale ? upload_dialog.popin_scale : kMinScale;
  const i32 w = base_w * q / 100, h = base_h * q / 100;
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  return {(W - base_w) / 2 + (base_w - w) / 2, (H - base_h) / 2 + (base_h - h) / 2, w, h};
}

i32 upload_picker_visible_rows(const DialogBox& b) {
  const i32 rows = (b.h - kPickerRowsTop - kButtonBand) / kPickerRowHeight;
  return rows > 0 ? rows : 0;
}

i32 upload_picker_folder() {
  const i32 dir = fs_resolve_path(upload_dialog.picker_path);
  return fs_is_live_dir(dir) ? dir : fs_root;
}

i32 upload_picker_entry(i32 n) {
  const i32 dir = upload_picker_folder();
  if (!fs_is_live_dir(dir) || n < 0) return -1;
  i32 index = 0;
  return fs_walk_children(dir, [&](i32) { return index++ == n; });
}

i32 upload_picker_row_entry(const DialogBox& b, i32 row) {
  if (row < 0 || row >= upload_picker_visible_rows(b)) return -1;
  const i32 top = upload_dialog.picker_top > 0 ? upload_dialog.picker_top : 0;
  return upload_picker_entry(top + row);
}

void upload_picker_open() {
  UploadDialog& d = upload_dialog;
  d.picker_open = 1;
  str_copy(d.picker_path, "/", sizeof d.picker_path);
  d.picker_sel = -1;
  d.picker_top = 0;
}

void upload_picker_step(i32 direction) {
  UploadDialog& d = upload_dialog;
  const i32 count = entry_count();
  if (count == 0) return;
  const i32 index = entry_index(d.picker_sel);
  i32 next = 0;
  if (index >= 0) next = (index + direction + count) % count;
  d.picker_sel = upload_picker_entry(next);
  keep_selection_visible();
}

void upload_picker_choose(i32 node) {
  UploadDialog& d = upload_dialog;
  if (fs_is_live_dir(node)) {
    show_folder(node);
  } else if (fs_is_live_file(node)) {
    fs_path(node, d.file_path);
    d.picker_open = 0;
  }
}

void upload_picker_up() {
  const i32 dir = upload_picker_folder();
  if (dir != fs_root && fs_is_live_dir(fs_nodes[dir].parent)) show_folder(fs_nodes[dir].parent);
}

}  // namespace tavlin
