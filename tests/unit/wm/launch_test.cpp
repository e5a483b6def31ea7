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

TEST_F(Launch, EachKindOpensCentredInTheWorkAreaWithItsTitleAndSize) {
  // Centred in x and in the 664 rows between y = 28 and the dock's band.
  const struct {
    u32 kind;
    const char* title;
    Ints frame;
  } cases[] = {{1, "About This OS", {282, 200, 460, 320}},
               {2, "Clock", {352, 230, 320, 260}},
               {3, "Terminal", {232, 170, 560, 380}},
               {4, "Finder", {252, 170, 520, 380}},
               {5, "Untitled", {272, 180, 480, 360}},
               {8, "Tavlin Web", {132, 100, 760, 520}},
               {9, "Tavlin Media Player", {252, 180, 520, 360}},
               {10, "Moss Store", {212, 150, 600, 420}}};
  for (const auto& c : cases) {
    reset_desktop();
    open_app(static_cast<i32>(c.kind));
    ASSERT_EQ(windows_of(c.kind), 1) << c.kind;
    const Window& w = *first_of(c.kind);
    EXPECT_STREQ(w.title, c.title);
    EXPECT_EQ(frame(w), c.frame) << c.kind;
    EXPECT_EQ(focused_window, win_index(w));
    EXPECT_EQ((std::vector<u32>{w.launched, w.launch_tick}), (std::vector<u32>{0, kStartTick}));
    if (c.kind == app::kFinder) EXPECT_EQ((Ints{w.finder_dir, w.finder_last_sel}), (Ints{fs_desktop_dir, -1}));
  }
}

TEST_F(Launch, SecondLaunchFocusesTheFirstWindowRestoringItFromItsDockIcon) {
  open_app(3);
  open_app(1);
  Window& w = windows[0];
  open_app(3);
  EXPECT_EQ(open_windows(), 2);
  EXPECT_EQ(focused_window, 0);
  EXPECT_EQ(w.launched, 1u);
  win_minimize(w);
  advance(30);
  win_end_finished_animations();
  ASSERT_EQ(w.minimized, 1u);
  open_app(3);
  EXPECT_EQ(w.minimized, 0u);
  EXPECT_EQ(w.anim_kind, anim::kRestore);
  EXPECT_EQ(w.anim_from_x, 216 + 3 * 70 + 40 - 4);
  EXPECT_EQ(focused_window, 0);
  EXPECT_EQ(open_windows(), 2);
}

TEST_F(Launch, AClosingWindowIsNotBroughtBack) {
  open_app(2);
  close_window(&windows[0]);
  open_app(2);  // clicked again while the old one shrinks away
  EXPECT_EQ(open_windows(), 2);
  EXPECT_EQ(windows[1].app, 2u);
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
  EXPECT_EQ((Ints{focused_window, next_z, dock_dynamic_count}), (Ints{focused, z, dynamic}));
}

TEST_F(Launch, StoreNeedsAFreeState) {
  open_app(10);
  const StoreState* s = windows[0].store;
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(s->status, "Ready");
  EXPECT_STREQ(s->server_url, kDefaultStoreServerUrl);
  EXPECT_EQ(s->selected, -1);
  EXPECT_EQ(s->refresh_pending, 1u);
  reset_desktop();
  for (u32& used : vuzedezoz_idir_used) used = 1;
  open_app(10);
  EXPECT_EQ(open_windows(), 0);
}

TEST_F(Launch, KindsWithoutAWindowOfTheirOwnOpenNothingAndAFullDockStillOpensTheWindow) {
  for (i32 kind : {0, 6, 7, 11, -1}) {
    open_app(kind);  // the Trash kind shows the Trash window, never an empty one
    for (const Window& w : windows) EXPECT_FALSE(w.in_use && w.app != app::kTrash) << kind;
    EXPECT_EQ(dock_dynamic_count, 0) << kind;
  }
  for (i32 i = 0; i < 16; ++i) dock_add_dynamic_item(6, 40 + i, "x");
  open_app(9);
  EXPECT_EQ(windows_of(9), 1);
  EXPECT_EQ(dock_dynamic_count, 16);
}

TEST_F(Launch, FilesOpenInTheApplicationTheirNameOrContentSelects) {
  const struct {
    const char* name;
    bool blob;
    u32 kind;
  } cases[] = {{"photo.jpeg", false, 6}, {"clip.webm", false, 9}, {"movie.zeva", true, 9},
               {"notes.txt", false, 5},  {"README", false, 5},    {"scan", true, 6}};
  for (const auto& c : cases) {
    reset_desktop();
    const i32 node = c.blob ? make_blob_file(c.name, {1, 2, 3, 4, 5}) : make_file(c.name, "some text");
    open_file_in_app(node);
    ASSERT_EQ(windows_of(c.kind), 1) << c.name;
    EXPECT_STREQ(first_of(c.kind)->title, c.name);
    EXPECT_EQ((Ints{dock_items[16].fs_idx, dock_items[16].is_file}), (Ints{node, 1})) << c.name;
    EXPECT_STREQ(dock_items[16].label, c.name);
  }
}

TEST_F(Launch, FileWindowsCarryTheirFile) {
  const i32 text = make_file("notes.txt", "hello");
  const i32 image = make_file("photo.png");
  open_file_in_app(text);
  open_file_in_app(image);
  const Window &te = windows[0], &iv = windows[1];
  EXPECT_EQ(te.doc_node, text);
  EXPECT_STREQ(te.text, "hello");
  EXPECT_EQ((std::vector<u32>{te.text_len, te.te_caret}), (std::vector<u32>{5, 5}));
  EXPECT_EQ(frame(te), (Ints{272, 180, 480, 360}));
  EXPECT_EQ((Ints{iv.image_node, iv.zoom}), (Ints{image, 100}));
  EXPECT_EQ(frame(iv), (Ints{302, 190, 420, 340}));
  open_file_in_app(text);  // focuses the first window again
  EXPECT_EQ(open_windows(), 2);
  EXPECT_EQ(focused_window, 0);
  for (i32 not_a_file : {-1, fs_desktop_dir, 127, 500}) open_file_in_app(not_a_file);
  EXPECT_EQ(open_windows(), 2);
}

TEST_F(AppForFile, NameFirstThenContent) {
  const std::vector<u8> zeva = {'Z', 'E', 'V', 'A', 0, 1};
  const std::vector<u8> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0};
  EXPECT_EQ(get_app_for_file(make_blob_file("movie", zeva)), 9);
  EXPECT_EQ(get_app_for_file(make_blob_file("movie.png", zeva)), 6);  // the name wins
  EXPECT_EQ(get_app_for_file(make_blob_file("pic", {'Y', 'R', 'F', '1'})), 6);
  EXPECT_EQ(get_app_for_file(make_blob_file("pic2", png)), 6);
  EXPECT_EQ(get_app_for_file(make_blob_file("odd", {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0B})), 5);
  EXPECT_EQ(get_app_for_file(make_blob_file("abc", {'a', 'b', 'c'})), 5);
  EXPECT_EQ(get_app_for_file(make_file("empty")), 5);
  EXPECT_EQ(get_app_for_file(make_file(".png")), 5);  // not longer than the extension
  EXPECT_EQ(get_app_for_file(make_file("a.gif")), 6);
  EXPECT_EQ(get_app_for_file(make_file("b.mp4")), 9);
  EXPECT_EQ(get_app_for_file(make_file("c.PNG")), 5);  // case-sensitive
}

}  // namespace
}  // namespace tavlin::test
