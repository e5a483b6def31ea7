// The Trash window's content: the count of records, the empty notice and the grid of records
// cut to the rows that fit.
#include "kernel/apps/trash_window.h"

#include "kernel/apps/apps.h"
#include "unit/apps/app_screen.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

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
