// The Finder's content: its grid geometry and hit test, image thumbnails and
// the mark of one that does not decode, a name being edited and the band.
#include "kernel/apps/finder.h"

#include "kernel/apps/apps.h"
#include "kernel/codec/image_cache.h"
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

TEST_F(FinderContent, ColumnsFollowTheWidthAndTheWholeCellAnswersUntilTheBottomEdge) {
  for (auto [w, columns] : {std::pair{253, 1}, {254, 1}, {344, 2}, {518, 3}})
    EXPECT_EQ(finder_grid(0, 0, w, 300).columns, columns) << w;
  Ints nodes;
  for (int i = 0; i < 14; ++i) nodes.push_back(make_file(("f" + std::to_string(i)).c_str()));
  const Tap taps[] = {{253, 166, nodes[0]},       {252, 166, -1},      {253, 165, -1},
                      {342, 243, nodes[0]},       {343, 166, nodes[1]}, {523, 166, -1},
                      {433, 400 + 77, nodes[11]}, {253, 478, -1},       {253, 166 + 4 * 78, -1}};
  for (const Tap& t : taps)
    EXPECT_EQ(finder_grid_hit_test(win, 101, 130, 518, 349, t.x, t.y), t.after) << t.x << "," << t.y;
  win->finder_dir = fs_create(fs_desktop_dir, "Empty", kFsDir);
  EXPECT_EQ(finder_grid_hit_test(win, 101, 130, 518, 349, 260, 170), -1);
}

TEST_F(FinderContent, ImagesShowTheirPixelsAndABrokenOneAQuestionMark) {
  make_file("notes.txt", "hello");
  const std::vector<u16> quarters = {0xF800, 0x07E0, 0x001F, 0xFFE0};  // red, green / blue, yellow
  make_blob_file("pic.yrf", codec_test::yrf_file(2, 2, codec_test::runs_of(quarters)));
  make_blob_file("broken.png", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
  paint();
  // The 2 x 2 image fills (cx + 4, cy + 4, 36, 36) in four 18-pixel quarters.
  const i32 x = cell_x(1) + 4, y = cell_y(1) + 4;
  EXPECT_EQ((std::vector<u32>{px(x, y), px(x + 17, y + 17), px(x + 18, y), px(x, y + 18), px(x + 35, y + 35)}),
            (std::vector<u32>{0xF80000, 0xF80000, 0x00FC00, 0x0000F8, 0xF8FC00}));
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

}  // namespace
}  // namespace tavlin::test
