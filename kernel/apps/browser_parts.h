// What the browser's files share: the toolbar and scrollbar geometry its
// drawing and its clicks agree on (content-area coordinates), and the page
// loads behind Enter and the toolbar buttons.
#pragma once
#include "kernel/core/types.h"

namespace tavlin::browser {

constexpr i32 kToolbarHeight = 36;
constexpr i32 kButtonTop = 6;
constexpr i32 kButtonSize = 24;
constexpr i32 kBackX = 6, kForwardX = 34, kReloadX = 62, kHomeX = 90;
constexpr i32 kUrlBarX = 118;
constexpr i32 kTrackTop = 38;     // below the toolbar
constexpr i32 kTrackRight = 12;   // the track's left edge from the right side
constexpr i32 kTrackWidth = 10;
constexpr i32 kStatusHeight = 18;
constexpr i32 kLineHeight = 12;
constexpr i32 kFirstLine = 44;    // baseline offset of the first text line
constexpr i32 kTextX = 8;

inline i32 url_bar_width(i32 w) { return w - 128 > 80 ? w - 128 : 80; }

// The wrapped page in a content area of w x h: lines, how many show, and
// the scrollbar. Wrapping refreshes line_starts; scroll is clamped to the
// lines there are.
struct PageLayout {
  i32 lines, visible;
  i32 track;      // track height
  i32 thumb;      // thumb height, 0 when everything fits
  i32 thumb_top;  // from the track's top
};
PageLayout page_layout(i32 w, i32 h);

// Paints the whole content area at (x, y).
void draw(i32 x, i32 y, i32 w, i32 h);

// Loads behind the URL bar's Enter and the toolbar buttons. Each runs to
// completion and leaves the page, the status and the history as the user
// should see them.
void navigate();  // the URL in the bar, recorded in the history
void back();
void forward();
void reload();
void home();

}  // namespace tavlin::browser
