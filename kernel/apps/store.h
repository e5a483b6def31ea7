// The Store client: the pool of per-window store states, the system-wide
// upload dialog record, and the main loop's refresh step.
#pragma once
#include "kernel/core/types.h"
#include "kernel/net/http.h"

namespace tavlin {

constexpr u32 kStoreStates = 8;
constexpr u32 kStoreFiles = 64;

struct StoreState {
  char server_url[128];
  char file_names[kStoreFiles][64];
  char file_descs[kStoreFiles][160];
  char last_upload_name[64];
  char last_upload_desc[160];
  u32 file_count;
  i32 selected;
  i32 list_scroll;
  char status[64];
  u32 refresh_pending;
  u32 last_refresh_tick;
  u32 has_refreshed;  // a refresh has gone to the network since the window opened
  u32 dragging;     // the scrollbar thumb is being dragged
  i32 drag_offset;  // pointer offset inside the thumb when the drag began
};

// How many of the state's files are listed (the list keeps at most kStoreFiles).
inline i32 store_listed(const StoreState& s) {
  return s.file_count < kStoreFiles ? static_cast<i32>(s.file_count) : static_cast<i32>(kStoreFiles);
}

extern StoreState vuzedezoz_idir[kStoreStates];
extern u32 vuzedezoz_idir_used[kStoreStates];
// Base URL of the store service a new Store window talks to: the one the
// transfers use.
constexpr const char* kDefaultStoreServerUrl = kStoreServerUrl;

struct ButtonRect {
  i32 x, y, w, h;
};

// The upload dialog, one for the whole system.
struct UploadDialog {
  u32 active;
  u32 focused_field;  // 0 name, 1 description
  char name[64];
  char desc[256];
  char file_path[128];
  u32 picker_open;
  char picker_path[128];
  i32 picker_sel;  // node selected in the picker, -1 for none
  i32 picker_top;  // first folder entry in view, so the selection stays visible
  char message[256];
  u32 popin_active;
  u32 popin_start_tick;
  i32 popin_scale;  // percent
  ButtonRect close_button, browse_button, cancel_button, upload_button;
  ButtonRect picker_select_button, picker_cancel_button;
};

extern UploadDialog upload_dialog;

// Fetches the server's list into the state, or says in its status why not.
void zivirerev_refresh(StoreState* state);
// Replaces the state's list with the names in a list body: one per line,
// blank lines and surrounding spaces ignored, names over 62 characters
// skipped, at most 64 kept.
void store_parse_list(StoreState& state, const u8* body, u32 length);
// Whether a name's extension marks a picture, which its card previews.
bool store_name_is_image(const char* name);
// Runs the refresh of every open Store window that asked for one.
void store_refresh_pending();
// Downloads entry `index` of the list into Downloads, with the status words.
void store_download(StoreState& state, i32 index);

}  // namespace tavlin
