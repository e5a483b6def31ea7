// Every application window is made here: one window per application kind
// and per file, centred between the top bar and the dock, focused and on
// top, with a dynamic dock record for whatever was opened.
#include "kernel/wm/launch.h"

#include "kernel/apps/apps.h"
#include "kernel/apps/mediaplayer.h"
#include "kernel/apps/store.h"
#include "kernel/apps/trash_window.h"
#include "kernel/codec/file_magic.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr const char* kVideoExtensions[] = {".zeva", ".mp4", ".webm"};
constexpr const char* kImageExtensions[] = {".yrf", ".png", ".jpg", ".jpeg", ".gif"};

struct NewWindow {
  const char* title;
  i32 w, h;
};

NewWindow new_window_for(u32 kind) {
  switch (kind) {
    case app::kAbout: return {"About This OS", 460, 320};
    case app::kClock: return {"Clock", 320, 260};
    case app::kTerminal: return {"Terminal", 560, 380};
    case app::kFinder: return {"Finder", 520, 380};
    case app::kTextEdit: return {"Untitled", 480, 360};
    case app::kMediaPlayer: return {"Tavlin Media Player", 520, 360};
    case app::kStore: return {"Moss Store", 600, 420};
    default: return {"", 0, 0};  // the browser sizes its own window
  }
}

// The first open window matching, for the one-window-per-kind rule. A window
// in its close animation no longer counts: it is on its way out.
Window* find_open(bool (*match)(const Window&, i32), i32 key) {
  for (Window& w : windows)
    if (w.in_use && !win_is_closing(w) && match(w, key)) return &w;
  return nullptr;
}

bool same_kind(const Window& w, i32 kind) { return static_cast<i32>(w.app) == kind; }
bool shows_node(const Window& w, i32 node) { return w.doc_node == node || w.image_node == node; }

bool ends_with_any(const char* name, const char* const* exts, u32 n, bool longer_only) {
  const u32 len = strlen(name);
  for (u32 i = 0; i < n; ++i)
    if (has_extension(name, exts[i]) && (!longer_only || len > strlen(exts[i]))) return true;
  return false;
}

// The steps every new window shares; null when the table is full.
Window* new_window(u32 kind) {
  Window* w = win_alloc();
  if (!w) return nullptr;
  w->in_use = 1;
  w->app = kind;
  w->launched = 0;
  w->launch_tick = ticks_now();
  return w;
}

// Centred in the band between the top bar and the dock, then on top.
void place_and_focus(Window& w) {
  const i32 W = static_cast<i32>(fb_width), H = static_cast<i32>(fb_height);
  w.x = w.w > W ? 0 : (W - w.w) / 2;
  const i32 band = H - kDockReserve > w.h ? H - kDockReserve : w.h;
  w.y = (band - w.h) / 2 + kTopBarHeight;
  if (w.y < kTopBarHeight) w.y = kTopBarHeight;
  focused_window = win_index(w);
  w.z = next_z;
  next_z = next_z + 1;
}

StoreState* take_store_state() {
  for (u32 i = 0; i < kStoreStates; ++i) {
    if (vuzedezoz_idir_used[i]) continue;
    vuzedezoz_idir_used[i] = 1;
    StoreState& s = vuzedezoz_idir[i];
    memset(&s, 0, sizeof s);
    str_copy(s.server_url, kDefaultStoreServerUrl, sizeof s.server_url);
    str_copy(s.status, "Ready", sizeof s.status);
    s.selected = -1;
    s.refresh_pending = 1;
    return &s;
  }
  return nullptr;
}

void init_app_state(Window& w) {
  switch (w.app) {
    case app::kTerminal:
      w.term_cwd = fs_root;
      str_copy(w.term_lines[0], "TavlinOS Terminal - Beta", kTermLineCap);
      w.term_line_count = 1;
      term_println(&w, "Type 'help' for commands.");
      term_println(&w, "");
      break;
    case app::kFinder: w.finder_dir = ensure_desktop_dir(); break;
    case app::kTextEdit: w.te_line_h = 12; break;
    case app::kBrowser: browser_app(&w, 0, 0, 0, 0, 0, 0, 0); break;
    default: break;
  }
}

void log_created(const Window& w) {
  serial_puts("[OPENAPP-DBG] created window slot=");
  serial_dec32(static_cast<u32>(win_index(w)));
  serial_puts(" app=");
  serial_dec32(w.app);
  serial_puts(" title=");
  serial_puts(w.title);
  serial_puts("\n");
}

// The kinds open_app makes a window for; an image viewer needs a file and the
// Trash has its own window.
bool has_own_window(i32 kind) {
  switch (kind) {
    case app::kAbout:
    case app::kClock:
    case app::kTerminal:
    case app::kFinder:
    case app::kTextEdit:
    case app::kBrowser:
    case app::kMediaPlayer:
    case app::kStore: return true;
    default: return false;
  }
}

}  // namespace

void open_app(i32 kind) {
  if (kind == static_cast<i32>(app::kTrash)) {
    open_trash_window();
    return;
  }
  if (!has_own_window(kind)) return;
  if (Window* existing = find_open(same_kind, kind)) {
    win_restore_and_focus(*existing);
    return;
  }
  StoreState* state = nullptr;
  if (kind == static_cast<i32>(app::kStore)) {
    bool free_state = false;
    for (u32 i = 0; i < kStoreStates; ++i) free_state |= vuzedezoz_idir_used[i] == 0;
    if (!free_state) return;
  }
  Window* w = new_window(static_cast<u32>(kind));
  if (!w) return;
  if (kind == static_cast<i32>(app::kStore)) state = take_store_state();
  const NewWindow fresh = new_window_for(w->app);
  str_copy(w->title, fresh.title, kWindowTitleCap);
  w->w = fresh.w;
  w->h = fresh.h;
  w->store = state;
  init_app_state(*w);
  place_and_focus(*w);
  log_created(*w);
  dock_add_dynamic_item(kind, -1, w->title);
}

void open_file_in_app(i32 node) {
  if (!fs_is_live_file(node)) return;
  if (Window* existing = find_open(shows_node, node)) {
    win_restore_and_focus(*existing);
    return;
  }
  const FsNode& f = fs_nodes[node];
  u32 kind = app::kTextEdit;
  if (ends_with_any(f.name, kVideoExtensions, 3, false))
    kind = app::kMediaPlayer;
  else if (f.has_blob == 1 || ends_with_any(f.name, kImageExtensions, 5, false))
    kind = app::kImageViewer;
  Window* w = new_window(kind);
  if (!w) return;
  str_copy(w->title, f.name, kWindowTitleCap);
  if (kind == app::kImageViewer) {
    w->w = 420;
    w->h = 340;
    w->image_node = node;
    w->zoom = 100;
  } else if (kind == app::kMediaPlayer) {
    w->w = 520;
    w->h = 360;
    w->doc_node = node;
    mediaplayer_open(*w);
  } else {
    w->w = 480;
    w->h = 360;
    w->doc_node = node;
    w->text_len = w->te_caret = str_copy(w->text, f.text, kDocTextCap);
  }
  place_and_focus(*w);
  dock_add_dynamic_item(static_cast<i32>(kind), node, f.name);
}

i32 get_app_for_file(i32 node) {
  if (!fs_is_live(node)) return static_cast<i32>(app::kTextEdit);
  const char* name = fs_nodes[node].name;
  if (ends_with_any(name, kImageExtensions, 5, true)) return static_cast<i32>(app::kImageViewer);
  if (ends_with_any(name, kVideoExtensions, 3, true)) return static_cast<i32>(app::kMediaPlayer);
  u32 length = 0;
  const u8* bytes = fs_blob_data(node, &length);
  if (is_yrf_data(bytes, length) || is_png_data(bytes, length)) return static_cast<i32>(app::kImageViewer);
  if (is_zeva_data(bytes, length)) return static_cast<i32>(app::kMediaPlayer);
  return static_cast<i32>(app::kTextEdit);
}

}  // namespace tavlin
