// Launching: one window per application and per file, centred between the
// top bar and the dock, focused, with a dock record; the choice of
// application for a file by name and by content.
#include "kernel/wm/launch.h"

#include <gtest/gtest.h>

#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Launch = WmTest;
using AppForFile = WmTest;

Window* only_window_of(u32 kind) {
  Window* found = nullptr;
  for (Window& w : windows)
    if (w.in_use && w.app == kind) {
      EXPECT_EQ(found, nullptr) << "two windows of kind " << kind;
      found = &w;
    }
  return found;
}

TEST_F(Launch, FinderOpensCentredInTheWorkArea) {
  open_app(4);
  Window* w = only_window_of(4);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ((std::vector<i32>{w->x, w->y, w->w, w->h}), (std::vector<i32>{252, 170, 520, 380}));
  EXPECT_STREQ(w->title, "Finder");
  EXPECT_EQ(w->finder_dir, fs_desktop_dir);
  EXPECT_EQ(w->finder_last_sel, -1);
  EXPECT_EQ(focused_window, win_index(*w));
  EXPECT_EQ(w->launched, 0u);
  EXPECT_EQ(w->launch_tick, kStartTick);
}

TEST_F(Launch, EachKindGetsItsTitleAndSize) {
  const struct {
    i32 kind;
    const char* title;
    i32 w, h;
  } cases[] = {{1, "About This OS", 460, 320}, {2, "Clock", 320, 260},   {3, "Terminal", 560, 380},
               {5, "Untitled", 480, 360},      {8, "Tavlin Web", 760, 520}, {9, "Tavlin Media Player", 520, 360},
               {10, "Moss Store", 600, 420},   {6, "", 0, 0}};
  for (const auto& c : cases) {
    reset_desktop();
    open_app(c.kind);
    Window* w = only_window_of(static_cast<u32>(c.kind));
    ASSERT_NE(w, nullptr) << c.kind;
    EXPECT_STREQ(w->title, c.title);
    EXPECT_EQ(w->w, c.w);
    EXPECT_EQ(w->h, c.h);
    EXPECT_EQ(w->x, (1024 - c.w) / 2);
    EXPECT_EQ(w->y, (664 - c.h) / 2 + 28);
  }
}

TEST_F(Launch, TerminalStartsWithItsGreeting) {
  open_app(3);
  Window* w = only_window_of(3);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->term_line_count, 3u);
  EXPECT_STREQ(w->term_lines[0], "TavlinOS Terminal - Beta");
  EXPECT_STREQ(w->term_lines[1], "Type 'help' for commands.");
  EXPECT_STREQ(w->term_lines[2], "");
  EXPECT_EQ(w->term_cwd, fs_root);
  EXPECT_EQ(w->term_input_len, 0u);
}

TEST_F(Launch, SecondLaunchFocusesTheFirstWindow) {
  open_app(2);
  open_app(1);
  open_app(2);
  EXPECT_EQ(open_windows(), 2);
  EXPECT_EQ(focused_window, win_index(*only_window_of(2)));
  EXPECT_EQ(only_window_of(2)->launched, 1u);
}

TEST_F(Launch, MinimisedWindowIsRestoredFromItsDockIcon) {
  open_app(3);
  Window& w = *only_window_of(3);
  win_minimize(w);
  advance(30);
  win_end_finished_animations();
  ASSERT_EQ(w.minimized, 1u);
  open_app(3);
  EXPECT_EQ(w.minimized, 0u);
  EXPECT_EQ(w.anim_kind, anim::kRestore);
  EXPECT_EQ(w.anim_from_x, 216 + 3 * 70 + 40 - 4);
  EXPECT_EQ(focused_window, win_index(w));
}

TEST_F(Launch, AClosingWindowIsNotBroughtBack) {
  open_app(2);
  Window& old = *only_window_of(2);
  close_window(&old);
  open_app(2);  // clicked again while the old one shrinks away
  EXPECT_EQ(open_windows(), 2);
  const Window& fresh = windows[1];
  EXPECT_EQ(fresh.app, 2u);
  EXPECT_EQ(focused_window, 1);
  advance(20);
  win_end_finished_animations();
  EXPECT_EQ(focused_window, 1);
  EXPECT_EQ(open_windows(), 1);
}

TEST_F(Launch, NinthLaunchOpensNothing) {
  for (i32 kind : {1, 2, 3, 4, 5, 8, 9, 10}) open_app(kind);
  ASSERT_EQ(open_windows(), 8);
  const i32 focused = focused_window, z = next_z, dynamic = dock_dynamic_count;
  open_app(6);
  open_file_in_app(make_file("notes.txt", "hi"));
  EXPECT_EQ(open_windows(), 8);
  EXPECT_EQ(focused_window, focused);
  EXPECT_EQ(next_z, z);
  EXPECT_EQ(dock_dynamic_count, dynamic);
}

TEST_F(Launch, StoreNeedsAFreeState) {
  open_app(10);
  Window* w = only_window_of(10);
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->store, nullptr);
  EXPECT_STREQ(w->store->status, "Ready");
  EXPECT_STREQ(w->store->server_url, kDefaultStoreServerUrl);
  EXPECT_EQ(w->store->selected, -1);
  EXPECT_EQ(w->store->refresh_pending, 1u);
  reset_desktop();
  for (u32& used : vuzedezoz_idir_used) used = 1;
  open_app(10);
  EXPECT_EQ(open_windows(), 0);
}

TEST_F(Launch, UnpinnedAppGetsADynamicRecordNamedByItsTitle) {
  open_app(9);
  EXPECT_EQ(dock_dynamic_count, 1);
  EXPECT_EQ(dock_items[16].app, 9);
  EXPECT_STREQ(dock_items[16].label, "Tavlin Media Player");
  EXPECT_EQ(dock_items[16].fs_idx, -1);
  open_app(0);  // no application
  EXPECT_EQ(open_windows(), 1);
}

TEST_F(Launch, WindowStillOpensWhenTheDockIsFull) {
  for (i32 i = 0; i < 16; ++i) dock_add_dynamic_item(6, 40 + i, "x");
  open_app(9);
  EXPECT_NE(only_window_of(9), nullptr);
  EXPECT_EQ(dock_dynamic_count, 16);
}

TEST_F(Launch, FilesOpenInTheApplicationTheirNameOrContentSelects) {
  const struct {
    const char* name;
    bool blob;
    u32 kind;
  } cases[] = {{"photo.jpeg", false, 6}, {"clip.webm", false, 9}, {"movie.zeva", true, 9},
               {"notes.txt", false, 5},  {"README", false, 5},     {"scan", true, 6}};
  for (const auto& c : cases) {
    reset_desktop();
    const i32 node = c.blob ? make_blob_file(c.name, {1, 2, 3, 4, 5}) : make_file(c.name, "some text");
    open_file_in_app(node);
    Window* w = only_window_of(c.kind);
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_STREQ(w->title, c.name);
    EXPECT_EQ(dock_items[16].fs_idx, node);
    EXPECT_EQ(dock_items[16].is_file, 1);
    EXPECT_STREQ(dock_items[16].label, c.name);
  }
}

TEST_F(Launch, FileWindowsCarryTheirFile) {
  const i32 text = make_file("notes.txt", "hello");
  const i32 image = make_file("photo.png");
  open_file_in_app(text);
  open_file_in_app(image);
  Window& te = windows[0];
  Window& iv = windows[1];
  EXPECT_EQ(te.doc_node, text);
  EXPECT_STREQ(te.text, "hello");
  EXPECT_EQ(te.text_len, 5u);
  EXPECT_EQ(te.te_caret, 5u);
  EXPECT_EQ((std::vector<i32>{te.w, te.h}), (std::vector<i32>{480, 360}));
  EXPECT_EQ(iv.image_node, image);
  EXPECT_EQ(iv.zoom, 100);
  EXPECT_EQ((std::vector<i32>{iv.x, iv.y, iv.w, iv.h}), (std::vector<i32>{302, 190, 420, 340}));
  open_file_in_app(text);  // focuses the first window again
  EXPECT_EQ(open_windows(), 2);
  EXPECT_EQ(focused_window, 0);
}

TEST_F(Launch, NonFilesAndBadIndicesOpenNothing) {
  open_file_in_app(-1);
  open_file_in_app(fs_desktop_dir);
  open_file_in_app(127);
  open_file_in_app(500);
  EXPECT_EQ(open_windows(), 0);
}

TEST_F(AppForFile, NameFirstThenContent) {
  const std::vector<u8> zeva = {'Z', 'E', 'V', 'A', 0, 1};
  const std::vector<u8> yrf = {'Y', 'R', 'F', '1'};
  const std::vector<u8> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0};
  const std::vector<u8> not_png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0B};
  EXPECT_EQ(get_app_for_file(make_blob_file("movie", zeva)), 9);
  EXPECT_EQ(get_app_for_file(make_blob_file("movie.png", zeva)), 6);  // the name wins
  EXPECT_EQ(get_app_for_file(make_blob_file("pic", yrf)), 6);
  EXPECT_EQ(get_app_for_file(make_blob_file("pic2", png)), 6);
  EXPECT_EQ(get_app_for_file(make_blob_file("odd", not_png)), 5);
  EXPECT_EQ(get_app_for_file(make_blob_file("abc", {'a', 'b', 'c'})), 5);
  EXPECT_EQ(get_app_for_file(make_file("empty")), 5);
  EXPECT_EQ(get_app_for_file(make_file(".png")), 5);  // not longer than the extension
  EXPECT_EQ(get_app_for_file(make_file("a.gif")), 6);
  EXPECT_EQ(get_app_for_file(make_file("b.mp4")), 9);
  EXPECT_EQ(get_app_for_file(make_file("c.PNG")), 5);  // case-sensitive
}

}  // namespace
}  // namespace tavlin::test
