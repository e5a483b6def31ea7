// The Finder's and the Trash window's content: image thumbnails and the mark of one that does not
// decode, a name being edited and the band; the Trash's count, empty notice and grid of records.
#include "kernel/apps/finder.h"

#include "kernel/apps/apps.h"
#include "kernel/apps/trash_window.h"
#include "kernel/codec/image_cache.h"
#include "unit/apps/app_screen.h"
#include "unit/codec/codec_builders.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

// A Finder at (100, 100, 520, 380): content (101, 130, 518, 349), grid
// origin (253, 166), three columns of 90 and four rows of 78 that fit.
class FinderContent : public WmTest {
 protected:
  void SetUp() override {
    WmTest::SetUp();
    image_cache_init();
    win = &make_window(app::kFinder, 100, 100, 520, 380, "Finder");
    win->finder_dir = fs_desktop_dir;
  }
  void paint() { draw_app_finder(win, 101, 130, 518, 349); }
  static i32 cell_x(i32 i) { return 253 + 90 * (i % 3); }
  static i32 cell_y(i32 i) { return 166 + 78 * (i / 3); }
  // Pixels of one colour inside the 8 x 8 box of a glyph at (x, y).
  static int ink(i32 x, i32 y, u32 colour) {
    int n = 0;
    for (i32 r = 0; r < 8; ++r)
      for (i32 c = 0; c < 8; ++c) n += px(x + c, y + r) == colour;
    return n;
  }
  Window* win = nullptr;
};

TEST_F(FinderContent, ImagesShowTheirPixelsAndABrokenOneAQuestionMark) {
  make_file("notes.txt", "hello");
  const std::vector<u16> quarters = {0xF800, 0x07E0, 0x001F, 0xFFE0};  // red, green / blue, yellow
  make_blob_file("pic.yrf", codec_test::yrf_file(2, 2, codec_test::runs_of(quarters)));
  make_blob_file("broken.png", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
  paint();
  EXPECT_EQ(px(cell_x(1) + 4, cell_y(1) + 4), 0xF80000u);  // the thumbnail's red quarter fills from (cx + 4, cy + 4)
  EXPECT_GT(ink(cell_x(2) + 14, cell_y(2) + 14, 0x666666), 8);
  EXPECT_EQ(px(cell_x(0), cell_y(0) + 20), 0x9FB0C2u);  // a text file's paper tile
}

TEST_F(FinderContent, TheEntryBeingRenamedShowsItsNewNameAndTheBandIsDrawn) {
  win->finder_dir = fs_root;
  win->finder_renaming = 1;
  win->finder_last_sel = fs_desktop_dir;
  std::strcpy(win->finder_rename_text, "b");
  win->finder_rubber_active = 1;
  win->finder_rubber_x0 = 450, win->finder_rubber_y0 = 250;
  win->finder_rubber_x1 = 400, win->finder_rubber_y1 = 200;
  paint();
  EXPECT_GT(ink(cell_x(0) + 18, cell_y(0) + 50, 0x1C1C1C), 8);
  EXPECT_EQ(px(101 + 400, 130 + 200), 0x0A84FFu);  // the band is kept in content coordinates
}

using TrashWindow = WmTest;

TEST_F(TrashWindow, ContentForNoneOneTwoAndSixtyFourRecords) {
  // Content (303, 230, 418, 289): four columns from x = 315, three rows from y = 266.
  // Records, the count shown, and the index of the last record drawn (-1 for none).
  const std::tuple<u32, const char*, i32> cases[] = {
      {0, "0 items", -1}, {1, "1 item", 0}, {2, "2 items", 1}, {64, "64 items", 11}};
  for (const auto& [records, shown, last_tile] : cases) {
    SCOPED_TRACE(shown);
    trash_count = 0;
    trash_add_item("Old", kFsDir, "", 0, 0, -1);
    for (u32 i = 1; i < records; ++i) trash_add_item(("f" + std::to_string(i)).c_str(), kFsFile, "x", 1, 0, -1);
    trash_count = records;
    clear(kPaper);
    draw_app_trash(303, 230, 418, 289);
    EXPECT_TRUE(text_drawn_at(311, 236, shown, 0x555555));
    EXPECT_EQ(bool(text_drawn_at(456, 382, "Trash is Empty", 0x999999)), records == 0);
    for (i32 i = 0; i < 13; ++i) {
      const i32 x = 315 + 90 * (i % 4), y = 266 + 78 * (i / 4);
      EXPECT_EQ(px(x, y + 20) == 0x888888, i <= last_tile) << i;
    }
  }
}

}  // namespace
}  // namespace tavlin::test
