// The steps of mouse and keyboard dispatch, shared between their files.
// Press steps return true when they consumed the press, which ends the pass.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;
struct StoreState;
struct StoreLayout;

namespace dispatch {

// Modifier keys as the keyboard interrupt left them.
bool ctrl_held();
bool shift_held();

// Mouse, in the order a pass runs them.
void update_hover();
void press_upload_dialog(i32 cx, i32 cy);
// True when the press ends the pass (the dock's context menu).
bool press_right(i32 rx, i32 ry);
bool press_modal_layers(i32 cx, i32 cy);
bool press_hit_priority(i32 cx, i32 cy);
bool press_window(Window& win, i32 cx, i32 cy);
bool press_store(Window& win, i32 cx, i32 cy);
void update_held();
void update_released();

// The action code of the open context menu's item under the point, -1 when
// the point misses its items.
i32 ctx_menu_action_at(i32 cx, i32 cy);

// TextEdit's click-to-caret: the text position under the point, -1 when
// the point lies below the last line.
i32 textedit_position_at(const Window& win, i32 cx, i32 cy);
bool in_textedit_text_area(const Window& win, i32 cx, i32 cy);

// The layout of a Store window's content rectangle, as it is drawn.
StoreLayout layout_of(const Window& win, const StoreState& s);
// A Store window's scrollbar thumb, while dragged.
void update_store_thumb(Window& win);

}  // namespace dispatch
}  // namespace tavlin
