// Keeping exactly one Desktop under the root, and the favourite folders.
#include <string>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class DesktopRepair : public StandardTreeTest {
 protected:
  // What a careless move can do, below the protection rules.
  void relink(i32 node, i32 new_parent) {
    fs_unlink_child(fs_nodes[node].parent, node);
    fs_link_child(new_parent, node);
  }
};

TEST_F(DesktopRepair, MovedDesktopComesBackUnderTheRootWithItsFiles) {
  const u32 count = fs_node_count;
  const i32 image = fs_find_child(desktop, "Tavlin.yrf");
  for (bool index_kept : {true, false}) {
    relink(desktop, documents);
    if (!index_kept) fs_desktop_dir = -1;
    EXPECT_EQ(ensure_desktop_dir(), desktop) << index_kept;
    EXPECT_EQ(fs_desktop_dir, desktop) << index_kept;
    EXPECT_EQ(fs_resolve_path("/Desktop/Tavlin.yrf"), image) << index_kept;
  }
  EXPECT_EQ(fs_node_count, count);
}

TEST_F(DesktopRepair, ExtraDesktopsAreFreedWholeEvenWhenTheirParentIsGone) {
  const u32 count = fs_node_count;
  const i32 same_name_file = file(documents, "Desktop", "keep me");
  const i32 holder = dir(documents, "holder"), orphaned = dir(holder, "Desktop"), linked = dir(downloads, "x");
  rename(linked, "Desktop");
  blob_file(orphaned, "a.png", {1, 2, 3, 4});
  const i32 sub = dir(linked, "sub");
  // The holder's slot is freed behind the extra Desktop's back.
  fs_unlink_child(documents, holder);
  fs_node_zero(holder);
  fs_node_count = fs_node_count - 1;
  relink(desktop, downloads);
  fs_desktop_dir = -1;
  EXPECT_EQ(ensure_desktop_dir(), desktop);
  for (i32 node : {orphaned, linked, sub}) EXPECT_FALSE(fs_is_live(node)) << node;
  EXPECT_STREQ(fs_nodes[same_name_file].text, "keep me");
  EXPECT_EQ(fs_node_count, count + 1);
}

TEST_F(DesktopRepair, StaleDesktopIndexDoesNotShieldAnExtraDesktop) {
  // A lower slot is freed so the lost Desktop can sit below the index that
  // fs_desktop_dir still names.
  ASSERT_EQ(fs_delete(downloads, "Quillon.yrf"), 1u);
  rename(desktop, "Old Desktop");
  const i32 low = dir(downloads, "Desktop"), high = dir(documents, "Desktop");
  ASSERT_LT(low, high);
  fs_desktop_dir = high;
  EXPECT_EQ(ensure_desktop_dir(), low);
  EXPECT_EQ(fs_nodes[low].parent, fs_root);
  EXPECT_FALSE(fs_is_live(high));
}

TEST_F(DesktopRepair, LostDesktopIsMadeAfreshUnlessTheTableIsFullOrHasNoRoot) {
  rename(desktop, "Renamed");
  const i32 made = ensure_desktop_dir();
  EXPECT_NE(made, desktop);
  EXPECT_EQ(fs_resolve_path("/Desktop"), made);
  EXPECT_EQ(fs_desktop_dir, made);
  rename(made, "Renamed too");
  while (file(documents, ("f" + std::to_string(fs_node_count)).c_str()) >= 0) {
  }
  EXPECT_EQ(ensure_desktop_dir(), fs_root);
  fs_tables_reset();  // must forget the old root and Desktop indexes itself
  EXPECT_EQ(ensure_desktop_dir(), -1);
}

class Favorites : public StandardTreeTest {};

TEST_F(Favorites, LowestFolderOfTheNameAnywhereOrOneMadeUnderTheRoot) {
  const i32 applications = fs_find_child(fs_root, "Applications");
  rename(applications, "Apps");
  rename(documents, "Papers");
  const i32 nested = dir(desktop, "Documents");
  const i32 expected[] = {desktop, nested, downloads};
  fs_desktop_dir = -1;  // found again under the root
  for (int i = 0; i < 3; ++i) EXPECT_EQ(finder_favorite_target(i), expected[i]) << i;
  const i32 made = finder_favorite_target(3);
  EXPECT_NE(made, applications);
  EXPECT_EQ(fs_resolve_path("/Applications"), made);
  EXPECT_EQ(finder_favorite_target(-1), -1);
  EXPECT_EQ(finder_favorite_target(4), -1);
  // A file holding the name leaves nowhere to make the folder.
  rename(downloads, "Dl");
  file(fs_root, "Downloads");
  const u32 count = fs_node_count;
  EXPECT_EQ(finder_favorite_target(2), fs_root);
  EXPECT_EQ(fs_node_count, count);
}

}  // namespace
}  // namespace tavlin::fs_test
