// The icon table as a view of the Desktop folder: places and selection kept
// across rebuilds, new icons in the first free cell, the 16-icon
// and no-free-cell limits, a lost Desktop made again, and inline renaming
// across a rebuild.

#include "kernel/fs/tree_ops.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using Labels = std::vector<std::string>;

class DesktopIcons : public DispatchTest {
 protected:
  // Label and place of every live icon, in table order.
  static Labels icons() {
    Labels out;
    for (const DesktopIcon& i : desktop_icons)
      if (i.in_use) out.push_back(std::string(i.label) + "@" + std::to_string(i.x) + "," + std::to_string(i.y));
    return out;
  }
  static DesktopIcon* icon_of(i32 node) {
    for (DesktopIcon& icon : desktop_icons)
      if (icon.in_use && icon.fs_idx == node) return &icon;
    return nullptr;
  }
};

TEST_F(DesktopIcons, PlacesKeptAcrossRebuildsNewIconsInTheFirstFreeCellAndSixteenAtMost) {
  for (const char* name : {"cherry", "Banana", "apple"}) make_file(name);
  desktop_icons_sync();  // in name order down the first column
  desktop_icons[0].x = 1000;  // apple dragged out of the grid
  desktop_icons[1].selected = 1;
  make_file("new");
  fs_delete_node(fs_find_child(fs_desktop_dir, "cherry"));
  desktop_icons_sync();
  EXPECT_EQ(icons(), (Labels{"apple@1000,50", "Banana@40,170", "new@40,50"}));  // kept icons first
  EXPECT_EQ(desktop_icons[1].selected, 1);
  std::vector<i32> nodes;
  for (int i = 0; i < 14; ++i) nodes.push_back(make_file(("f" + std::to_string(100 + i)).c_str()));
  desktop_icons_sync();
  EXPECT_EQ((Ints{i32(icons().size()), icon_of(nodes[12]) != nullptr, icon_of(nodes[13]) != nullptr}),
            (Ints{16, 1, 0}));
  use_canvas(200, 250);  // a grid of one cell
  reset_desktop();
  make_file("one");
  make_file("two");
  desktop_icons_sync();
  EXPECT_EQ(icons(), Labels{"one@40,50"});
}

TEST_F(DesktopIcons, ALostDesktopIsMadeAgainAndAFailureLeavesTheTable) {
  make_file("a.txt");
  desktop_icons_sync();
  std::strcpy(fs_nodes[fs_desktop_dir].name, "Old");  // the Desktop lost by a rename
  desktop_icons_sync();
  EXPECT_TRUE(fs_is_live_dir(fs_desktop_dir));
  EXPECT_EQ(icons(), Labels{});
  make_file("b.txt");
  desktop_icons_sync();
  std::strcpy(fs_nodes[fs_desktop_dir].name, "Old");  // lost again, and no room for a new one:
  for (int i = 0; fs_create(fs_root, ("x" + std::to_string(i)).c_str(), kFsFile) >= 0; ++i) {
  }
  desktop_icons_sync();  // the root that comes back is not mirrored
  EXPECT_EQ(icons(), Labels{"b.txt@40,50"});
}

TEST_F(DesktopIcons, ARenameInProgressFollowsItsIconThroughRebuilds) {
  const i32 a = make_file("a.txt");
  const i32 m = make_file("m.txt");
  make_file("z.txt");
  desktop_icons_sync();
  desktop_begin_rename(icon_of(m));
  type("new");
  pass();
  fs_delete_node(a);  // m's record moves up to index 0
  desktop_icons_sync();
  ASSERT_EQ(desktop_renaming_idx, 0);
  EXPECT_EQ((Ints{desktop_icons[0].fs_idx, desktop_icons[0].renaming, desktop_icons[1].renaming}), (Ints{m, 1, 0}));
  type("\n");
  pass();
  EXPECT_EQ(std::string(fs_nodes[m].name) + "|" + desktop_icons[0].label, "m.txtnew|m.txtnew");
  EXPECT_EQ((Ints{desktop_icons[0].renaming, desktop_renaming_idx}), (Ints{0, -1}));
}

}  // namespace
}  // namespace tavlin::test
