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

  int live_desktops() {
    int n = 0;
    for (i32 i = 0; i < kFsMaxNodes; ++i) n += fs_is_live_dir(i) && std::string(fs_nodes[i].name) == "Desktop";
    return n;
  }
};

TEST_F(DesktopRepair, SoundDesktopIsReturnedAsItIs) {
  EXPECT_EQ(ensure_desktop_dir(), desktop);
  fs_desktop_dir = -1;
  EXPECT_EQ(ensure_desktop_dir(), desktop);
  EXPECT_EQ(fs_desktop_dir, desktop);
}

TEST_F(DesktopRepair, MovedDesktopComesBackUnderTheRootWithItsFiles) {
  const u32 count = fs_node_count;
  const i32 image = fs_find_child(desktop, "Tavlin.yrf");
  for (bool index_kept : {true, false}) {
    relink(desktop, documents);
    if (!index_kept) fs_desktop_dir = -1;
    EXPECT_EQ(ensure_desktop_dir(), desktop) << index_kept;
    EXPECT_EQ(fs_desktop_dir, desktop) << index_kept;
    EXPECT_EQ(fs_resolve_path("/Desktop/Tavlin.yrf"), image) << index_kept;
    EXPECT_EQ(fs_find_child(documents, "Desktop"), -1) << index_kept;
  }
  EXPECT_EQ(fs_node_count, count);
}

TEST_F(DesktopRepair, ExtraDesktopWhoseParentIsGoneIsFreedWhole) {
  const u32 count = fs_node_count;
  const i32 holder = dir(documents, "holder");
  const i32 extra = dir(holder, "Desktop");
  blob_file(extra, "a.png", {1, 2, 3, 4});
  const i32 sub = dir(extra, "sub");
  file(sub, "b.txt", "b");
  // The holder's slot is freed behind the extra Desktop's back.
  fs_unlink_child(documents, holder);
  fs_node_zero(holder);
  fs_node_count = fs_node_count - 1;
  relink(desktop, downloads);
  fs_desktop_dir = -1;

  EXPECT_EQ(ensure_desktop_dir(), desktop);
  EXPECT_FALSE(fs_is_live(extra));
  EXPECT_FALSE(fs_is_live(sub));
  EXPECT_EQ(fs_node_count, count);
}

TEST_F(DesktopRepair, StaleDesktopIndexDoesNotShieldAnExtraDesktop) {
  // A lower slot is freed so the lost Desktop folder can sit below the
  // index that fs_desktop_dir still names.
  ASSERT_EQ(fs_delete(downloads, "Quillon.yrf"), 1u);
  rename(desktop, "Old Desktop");
  const i32 low = dir(downloads, "Desktop");
  const i32 high = dir(documents, "Desktop");
  ASSERT_LT(low, high);
  fs_desktop_dir = high;
  EXPECT_EQ(ensure_desktop_dir(), low);
  EXPECT_EQ(fs_nodes[low].parent, fs_root);
  EXPECT_FALSE(fs_is_live(high));
  EXPECT_EQ(live_desktops(), 1);
}

TEST_F(DesktopRepair, SecondDesktopIsDeletedWithItsContentButNotASiblingOfTheSameName) {
  const u32 count = fs_node_count;
  const i32 same_name_file = file(documents, "Desktop", "keep me");
  const i32 extra = dir(documents, "tmp");
  rename(extra, "Desktop");
  blob_file(extra, "holiday.png", {1, 2, 3});
  dir(extra, "inner");
  relink(desktop, downloads);
  fs_desktop_dir = -1;
  EXPECT_EQ(ensure_desktop_dir(), desktop);
  EXPECT_FALSE(fs_is_live(extra));
  EXPECT_STREQ(fs_nodes[same_name_file].text, "keep me");
  EXPECT_EQ(live_desktops(), 1);
  EXPECT_EQ(fs_node_count, count + 1);
}

TEST_F(DesktopRepair, LostDesktopIsMadeAfreshUnlessTheTableIsFull) {
  rename(desktop, "Renamed");
  fs_desktop_dir = -1;
  const i32 made = ensure_desktop_dir();
  EXPECT_NE(made, desktop);
  EXPECT_EQ(fs_resolve_path("/Desktop"), made);
  EXPECT_EQ(fs_desktop_dir, made);
  EXPECT_TRUE(children(made).empty());

  rename(made, "Renamed too");
  fs_desktop_dir = -1;
  while (file(documents, ("f" + std::to_string(fs_node_count)).c_str()) >= 0) {
  }
  EXPECT_EQ(ensure_desktop_dir(), fs_root);
  EXPECT_EQ(fs_desktop_dir, -1);
}

TEST_F(DesktopRepair, ClearedTableHasNoRootToRepairUnder) {
  fs_tables_reset();  // must forget the old root and Desktop indexes itself
  EXPECT_EQ(ensure_desktop_dir(), -1);
  EXPECT_EQ(fs_desktop_dir, -1);
  EXPECT_EQ(fs_node_count, 0u);
}

class Favorites : public StandardTreeTest {};

TEST_F(Favorites, EachNamesItsStandardFolder) {
  const i32 expected[] = {desktop, documents, downloads, fs_find_child(fs_root, "Applications")};
  for (int i = 0; i < kFinderFavoriteCount; ++i) EXPECT_EQ(finder_favorite_target(i), expected[i]) << i;
  EXPECT_EQ(finder_favorite_target(-1), -1);
  EXPECT_EQ(finder_favorite_target(4), -1);
}

TEST_F(Favorites, LowestFolderOfTheNameAnywhereWins) {
  rename(documents, "Papers");
  const i32 nested = dir(desktop, "Documents");
  EXPECT_EQ(finder_favorite_target(1), nested);
}

TEST_F(Favorites, MissingFolderIsMadeUnderTheRootUnlessAFileHasTheName) {
  const i32 applications = fs_find_child(fs_root, "Applications");
  rename(applications, "Apps");
  const i32 made = finder_favorite_target(3);
  EXPECT_NE(made, applications);
  EXPECT_EQ(fs_resolve_path("/Applications"), made);
  EXPECT_EQ(finder_favorite_target(3), made);

  rename(downloads, "Dl");
  file(fs_root, "Downloads");
  const u32 count = fs_node_count;
  EXPECT_EQ(finder_favorite_target(2), fs_root);
  EXPECT_EQ(fs_node_count, count);
}

}  // namespace
}  // namespace tavlin::fs_test
