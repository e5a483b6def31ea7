// Frame composition into the back buffer: the stacking order decides what shows where windows overlap, and
// nothing is drawn outside the screen whatever is open, selected, hovered, opening or closing.
#include "kernel/wm/render.h"

#include "kernel/codec/image_cache.h"
#include "kernel/wm/dispatch.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Compose = WmTest;
// A window kind with no drawing of its own.
constexpr u32 kBlank = app::kNone;

TEST_F(Compose, TheWindowHigherInTheStackShowsWhereTwoOverlap) {
  Window& a = make_window(kBlank, 500, 260, 300, 200);
  Window& b = make_window(kBlank, 200, 200, 400, 300);
  render_frame();
  ASSERT_NE(px(700, 270), px(250, 400));  // a's title bar and b's content look different
  EXPECT_EQ(px(550, 270), px(250, 400));  // b's content over a's title bar
  a.z = b.z + 1;
  render_frame();
  EXPECT_EQ(px(550, 270), px(700, 270));  // a's title bar over b's content
}

TEST_F(Compose, EverythingStaysInsideTheBackBuffer) {
  use_canvas(640, 480);
  make_window(kBlank, -200, -100, 500, 400);
  win_toggle_maximize(make_window(app::kTerminal, 500, 400, 400, 300));
  Window& closing = make_window(app::kAbout, 600, -50, 100, 100);
  close_window(&closing);
  make_window(app::kFinder, -300, 450, 400, 300).launch_tick = pit_ticks;  // opening
  desktop_icons[0] = {1, "far away", 0xFFD27A, 630, 470, -1, 0, "", 1, 0, 0};  // a selected folder
  desktop_icons[1] = {1, "left", 0xFFD27A, -60, -60, -1, 1, "a long new name", 0, 0, 0};  // renaming
  make_window(app::kClock, 10, 40, 300, 200).minimized = 1;
  StoreState& store = vuzedezoz_idir[0];
  std::memset(&store, 0, sizeof store);
  store.file_count = 7;  // more cards than fit, a picture among them, the first row partly scrolled away
  std::strcpy(store.file_names[3], "f3.png");
  store.list_scroll = 120;
  make_window(app::kStore, 200, 60, 600, 420).store = &store;
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  dock_hover = 2;
  dock_hover_start_tick = pit_ticks - 1000;
  dock_trash_hover = 1;
  trash_count = 5;
  ctx_menu = CtxMenu{1, 630, 470, {"New Finder Window", "Empty Trash"}, {action::kNewFinderWindow, action::kEmptyTrash},
                     2, -1, 0};
  trash_confirm_active = 1;
  trash_confirm_x = mouse_x = 639;
  trash_confirm_y = mouse_y = 479;
  upload_dialog.active = upload_dialog.popin_active = 1;  // popping in, then full size
  upload_dialog.popin_start_tick = pit_ticks;
  std::strcpy(upload_dialog.picker_path, "/Desktop");
  make_file("a file with a long name.txt");
  image_cache_init();
  Window& finder = make_window(app::kFinder, 300, 250, 400, 300);  // a folder, and a picture that does not decode
  finder.finder_dir = fs_desktop_dir;
  fs_create(fs_desktop_dir, "Box", kFsDir);
  finder.finder_last_sel = make_blob_file("broken.png", {1, 2, 3});
  finder.finder_renaming = finder.finder_rubber_active = 1;  // renaming it, and a band past the screen's edge
  std::strcpy(finder.finder_rename_text, "a new name");
  finder.finder_rubber_x1 = finder.finder_rubber_y1 = 500;
  desktop_rubber_active = 1;  // a band from the corner past the screen's edges
  desktop_rubber_start_x = desktop_rubber_start_y = 0;
  desktop_rubber_cur_x = desktop_rubber_cur_y = 700;
  open_menu = 3;  // the Window menu, its first row under the pointer
  menu_item_hover = 0;
  wifi_adapter.type = 1;
  wifi_adapter.signal_percent = 60;
  std::strcpy(wifi_adapter.ssid, "Home WiFi");
  for (u32 t = 0; t < 25; ++t) {
    upload_dialog.picker_open = t > 20;  // the form, then its file picker
    wifi_adapter.connected = t > 10;     // an adapter found, then connected
    render_frame();
    advance(1);
  }
  dock_hover = -1;  // the pointer on the Wi-Fi indicator: the network's name below the bar
  mouse_x = 560;
  mouse_y = 2;
  render_frame();
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
