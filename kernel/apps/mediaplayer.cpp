// draw_app_mediaplayer: the idle screen, the playing video scaled to fit
// with its frame counter, and the red messages of a damaged file; opening a
// file into the player and pausing it with a click.
#include "kernel/apps/mediaplayer.h"

#include "kernel/apps/apps.h"
#include "kernel/codec/zeva.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kBackground = 0x1C1C1E, kMessageInk = 0xFF0000, kTitleInk = 0xFFFFFF;
constexpr u32 kSubtitleInk = 0x999999, kCounterInk = 0x888888;
constexpr i32 kFrameCountLimit = 0x7FFFFFFF;
constexpr i32 kContentLeft = 1, kContentTop = 30;  // of a window's content area

struct Box {
  i32 x, y, w, h;
};

// The picture's place in a content area: as large as fits, centred.
Box fitted(const Window& win, i32 x, i32 y, i32 W, i32 H) {
  const i64 vw = win.video_width, vh = win.video_height;
  i64 dw = W, dh = H;
  if (vh * W < vw * H)
    dh = vh * W / vw;
  else
    dw = vw * H / vh;
  if (dw < 1) dw = 1;
  if (dh < 1) dh = 1;
  return {x + (W - static_cast<i32>(dw)) / 2, y + (H - static_cast<i32>(dh)) / 2, static_cast<i32>(dw),
          static_cast<i32>(dh)};
}

bool has_picture_size(const Window& w) {
  return w.video_width >= 1 && w.video_height >= 1 && w.video_width <= kZevaMaxSide &&
         w.video_height <= kZevaMaxSide;
}

void message(i32 cx, i32 cy, const char* text) {
  draw_text_centered(cx, cy, text, kMessageInk, 1);
}

void draw_idle(i32 cx, i32 cy) {
  draw_text_centered(cx, cy - 20, "Tavlin Media Player", kTitleInk, 2);
  draw_text_centered(cx, cy + 10, "No video data", kSubtitleInk, 1);
}

// One frame per paint at most, three ticks apart, back to 0 after the last.
void advance(Window& w) {
  if (w.video_frame < 0 || w.video_frame >= w.video_frame_count) w.video_frame = 0;
  const u32 now = ticks_now();
  if (!w.video_playing || static_cast<i32>(now - w.video_next_tick) < 0) return;
  w.video_frame = w.video_frame + 1 >= w.video_frame_count ? 0 : w.video_frame + 1;
  w.video_next_tick = now + kVideoTicksPerFrame;
}

// The bytes and the header checks; null with the message when unusable.
const u8* checked_bytes(const Window& w, u32* size, const char** fault) {
  const u8* bytes = fs_blob_data(w.doc_node, size);
  ZevaHeader header;
  if (!bytes || *size < kZevaHeaderSize)
    *fault = "Invalid video data";
  else if (!zeva_read_header(bytes, *size, &header))
    *fault = "Invalid ZEVA header";
  else if (w.video_width > kZevaMaxSide || w.video_height > kZevaMaxSide)
    *fault = "Frame too large";
  else if (!has_picture_size(w))
    *fault = "Invalid video data";  // a side of 0 has no picture to fit
  else
    return bytes;
  return nullptr;
}

void draw_counter(const Window& w, i32 x, i32 y, i32 H) {
  char text[40], number[12];
  str_copy(text, "Frame ", sizeof text);
  int_to_str(w.video_frame + 1, number, 1);
  str_cat(text, number);
  str_cat(text, "/");
  int_to_str(w.video_frame_count, number, 1);
  str_cat(text, number);
  draw_text(x + 8, y + H - 16, text, kCounterInk, 1);
}

}  // namespace

void draw_app_mediaplayer(Window* win, i32 x, i32 y, i32 W, i32 H) {
  if (!win) return;
  Window& w = *win;
  const i32 cx = x + W / 2, cy = y + H / 2;
  if (W > 0 && H > 0) fill_rect(x, y, W, H, kBackground);
  if (w.video_frame_count <= 0 || w.doc_node < 0) {
    draw_idle(cx, cy);
    return;
  }
  advance(w);
  u32 size = 0;
  const char* fault = nullptr;
  const u8* bytes = checked_bytes(w, &size, &fault);
  if (!fault) fault = video_show_frame({bytes, size, w.video_width, w.video_height}, w.video_frame);
  if (fault) {
    message(cx, cy, fault);
    return;
  }
  if (W > 0 && H > 0) {
    const Box b = fitted(w, x, y, W, H);
    draw_decoded_image(&mediaplayer_picture, b.x, b.y, b.w, b.h);
  }
  draw_counter(w, x, y, H);
}

void mediaplayer_open(Window& w) {
  w.video_frame = 0;
  w.video_playing = 0;
  w.video_next_tick = ticks_now() + kVideoTicksPerFrame;
  u32 size = 0;
  const u8* bytes = fs_blob_data(w.doc_node, &size);
  ZevaHeader header;
  if (!bytes || !zeva_read_header(bytes, size, &header)) {
    w.video_frame_count = 1;
    w.video_width = w.video_height = 0;
    return;
  }
  w.video_width = header.width;
  w.video_height = header.height;
  w.video_frame_count = header.frame_count > static_cast<u32>(kFrameCountLimit) ? kFrameCountLimit
                                                                                : static_cast<i32>(header.frame_count);
  w.video_playing = w.video_frame_count > 0 ? 1 : 0;
}

void mediaplayer_press(Window& w, i32 cx, i32 cy) {
  if (w.video_frame_count <= 0 || w.doc_node < 0 || !has_picture_size(w)) return;
  const Box b = fitted(w, w.x + kContentLeft, w.y + kContentTop, w.w - 2, w.h - 31);
  if (cx < b.x || cx >= b.x + b.w || cy < b.y || cy >= b.y + b.h) return;
  w.video_playing = w.video_playing ? 0 : 1;
  if (w.video_playing) w.video_next_tick = ticks_now() + kVideoTicksPerFrame;
}

}  // namespace tavlin
