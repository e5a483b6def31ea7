// Drawing the Store's upload dialog over a dimmed desktop: its pop-in, the
// form (name, description, file, Browse, Cancel, Upload) or the file
// picker, and the button rectangles the dispatcher hit-tests.
#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog_layout.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/render_parts.h"

namespace tavlin {
namespace {

constexpr u32 kPopinTicks = 20;
constexpr u32 kBlue = 0x0A84FF;
constexpr u32 kLabel = 0x333333;
constexpr u32 kFieldText = 0x202020;

using Box = DialogBox;

// Advances the pop-in: a cubic ease-out from 0 to 100 % over 20 ticks.
void advance_popin(UploadDialog& d) {
  if (!d.popin_active) return;
  const u32 e = ticks_now() - d.popin_start_tick;
  if (e > kPopinTicks - 1) {
    d.popin_active = 0;
    d.popin_scale = 100;
    return;
  }
  const i32 u = 100 - static_cast<i32>(e * 100 / kPopinTicks);
  d.popin_scale = 100 - u * u * u / 10000;
}

void button(ButtonRect& r, i32 x, i32 y, i32 w, i32 h, u32 colour, const char* label, u32 text) {
  r = {x, y, w, h};
  fill_rounded_rect(x, y, w, h, 5, colour);
  draw_text_centered(x + w / 2, y + h / 2, label, text, 1);
}

// Draws at most `room` characters of text, keeping its end in view.
void draw_tail(i32 x, i32 y, const char* text, i32 room, u32 colour) {
  const i32 len = static_cast<i32>(strlen(text));
  draw_text(x, y, len > room ? text + (len - room) : text, colour, 1);
}

void frame_and_header(UploadDialog& d, const Box& b) {
  fill_rect_alpha(b.x + 6, b.y + 8, b.w, b.h, 0x000000, 80);
  fill_rounded_rect(b.x, b.y, b.w, b.h, 8, 0xFFFFFF);
  draw_rect_outline(b.x, b.y, b.w, b.h, 0xC0C0C0);
  fill_rounded_rect(b.x, b.y, b.w, 32, 8, kBlue);
  fill_rect(b.x, b.y + 28, b.w, 4, kBlue);
  draw_rect_outline(b.x, b.y, b.w, 32, kBlue);
  draw_text(b.x + 12, b.y + 10, d.picker_open ? "Select a File" : "Upload File", 0xFFFFFF, 1);
  d.close_button = {b.x + b.w - 28, b.y + 6, 20, 20};
  fill_circle(b.x + b.w - 18, b.y + 16, 9, 0xCC0000);
  draw_text_centered(b.x + b.w - 18, b.y + 16, "X", 0xFFFFFF, 1);
}

void text_field(const Box& b, i32 y, const char* label, const char* text, bool focused) {
  const i32 fx = b.x + 70, fw = b.w - 80;
  draw_text(b.x + 16, y + 7, label, kLabel, 1);
  fill_rounded_rect(fx, y, fw, 22, 4, 0xF0F0F0);
  draw_rect_outline(fx, y, fw, 22, focused ? kBlue : 0xAAAAAA);
  const i32 room = (fw - 14) / 8;
  draw_tail(fx + 6, y + 7, text, room, kFieldText);
  if (focused) {
    const i32 len = static_cast<i32>(strlen(text));
    fill_rect(fx + 6 + 8 * (len < room ? len : room), y + 5, 1, 12, 0x3390FF);
  }
}

void draw_form(UploadDialog& d, const Box& b) {
  text_field(b, b.y + 52, "Name:", d.name, d.focused_field == 0);
  text_field(b, b.y + 80, "Desc:", d.desc, d.focused_field == 1);
  draw_text(b.x + 16, b.y + 116, "File:", kLabel, 1);
  const bool chosen = d.file_path[0] != 0;
  draw_tail(b.x + 70, b.y + 116, chosen ? d.file_path : "No file selected", (b.w - 80) / 8,
            chosen ? kFieldText : 0x888888);
  button(d.browse_button, b.x + 70, b.y + 132, 70, 22, 0xDDDDDD, "Browse", 0x222222);
  draw_tail(b.x + 20, b.y + b.h - 62, d.message, (b.w - 40) / 8, 0x666666);
  button(d.cancel_button, b.x + 20, b.y + b.h - 40, 80, 26, 0xDDDDDD, "Cancel", 0x222222);
  button(d.upload_button, b.x + b.w - 100, b.y + b.h - 40, 80, 26, 0x4CAF50, "Upload", 0xFFFFFF);
}

// Folder entry `node` on the row whose top is y.
void draw_entry(const Box& b, i32 y, i32 node, bool selected) {
  const FsNode& n = fs_nodes[node];
  if (selected) fill_rect(b.x + 12, y, b.w - 24, kPickerRowHeight, 0x3390FF);
  draw_text(b.x + 20, y + 5, n.name, selected ? 0xFFFFFF : kFieldText, 1);
  if (n.kind == kFsDir) draw_text(b.x + 20 + 8 * static_cast<i32>(strlen(n.name)), y + 5, "/", 0x666666, 1);
}

void draw_picker(UploadDialog& d, const Box& b) {
  draw_tail(b.x + 16, b.y + 42, d.picker_path[0] ? d.picker_path : "/", (b.w - 32) / 8, kLabel);
  for (i32 row = 0;; ++row) {
    const i32 node = upload_picker_row_entry(b, row);
    if (node < 0) break;
    draw_entry(b, b.y + kPickerRowsTop + row * kPickerRowHeight, node, node == d.picker_sel);
  }
  button(d.picker_select_button, b.x + b.w - 100, b.y + b.h - 30, 80, 24, 0x3390FF, "Select", 0xFFFFFF);
  button(d.picker_cancel_button, b.x + 20, b.y + b.h - 30, 80, 24, 0xDDDDDD, "Cancel", 0x222222);
}

}  // namespace

void draw_upload_dialog() {
  UploadDialog& d = upload_dialog;
  advance_popin(d);
  fill_rect_alpha(0, 0, static_cast<i32>(fb_width), static_cast<i32>(fb_height), 0x000000, 180);
  const Box b = upload_dialog_box(d.picker_open != 0);
  frame_and_header(d, b);
  // While it grows the box is too small for its contents; they appear once
  // it has reached full size.
  if (d.popin_scale < 100) return;
  if (d.picker_open)
    draw_picker(d, b);
  else
    draw_form(d, b);
}

}  // namespace tavlin
