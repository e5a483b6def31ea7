// Protection of the standard folders, recursive delete and move.
#include <algorithm>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class TreeOps : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    standard_tree();
    documents = fs_find_child(fs_root, "Documents");
    downloads = fs_find_child(fs_root, "Downloads");
  }
  i32 documents = -1, downloads = -1;
};

TEST_F(TreeOps, StandardFoldersAndTheRootAreProtected) {
  for (const char* name : {"Desktop", "Documents", "Downloads", "Applications"}) {
    const i32 folder = fs_find_child(fs_root, name);
    EXPECT_EQ(fs_is_protected(folder), 1u) << name;
    EXPECT_EQ(fs_delete(fs_root, name), 0u) << name;
    EXPECT_EQ(fs_move(folder, documents == folder ? downloads : documents), 0u) << name;
    EXPECT_EQ(fs_nodes[folder].parent, fs_root) << name;
  }
  EXPECT_EQ(fs_is_protected(fs_root), 1u);
  EXPECT_EQ(fs_move(fs_root, documents), 0u);
}

TEST_F(TreeOps, OnlyTheRealStandardFoldersAreProtected) {
  const i32 nested = dir(fs_desktop_dir, "Documents");
  const i32 file_named_like_one = file(documents, "Applications");
  const i32 other = dir(fs_root, "Music");
  EXPECT_EQ(fs_is_protected(nested), 0u);
  EXPECT_EQ(fs_is_protected(file_named_like_one), 0u);
  EXPECT_EQ(fs_is_protected(other), 0u);
  EXPECT_EQ(fs_is_protected(0), 0u);
  EXPECT_EQ(fs_is_protected(-1), 0u);
  EXPECT_EQ(fs_is_protected(120), 0u);
  EXPECT_EQ(fs_delete(fs_desktop_dir, "Documents"), 1u);
  EXPECT_EQ(fs_delete(fs_root, "Music"), 1u);
}

TEST_F(TreeOps, FileCalledLikeAStandardFolderUnderTheRootIsNotProtected) {
  bare_tree();
  const i32 f = file(fs_root, "Desktop");
  EXPECT_EQ(fs_is_protected(f), 0u);
}

TEST_F(TreeOps, DeletingAFolderFreesEveryNodeAndBlobBelow) {
  const u32 count_before = fs_node_count;
  const u32 pool_before = fs_blob_pool_used;
  const i32 top = dir(documents, "Trip");
  const i32 mid = dir(top, "Day 1");
  const i32 deep = dir(mid, "Raw");
  blob_file(top, "a.png", {1, 2, 3});
  blob_file(mid, "b.png", {4, 5});
  blob_file(deep, "c.png", {6});
  file(deep, "notes.txt", "sunny");
  dir(deep, "empty");
  EXPECT_EQ(fs_node_count, count_before + 8);

  EXPECT_EQ(fs_delete(documents, "Trip"), 1u);
  EXPECT_EQ(fs_node_count, count_before);
  EXPECT_TRUE(children(documents).empty());
  for (i32 b = 0; b < kFsMaxBlobs; ++b) {
    bool owned = false;
    for (i32 n = 1; n < kFsMaxNodes; ++n) owned |= fs_nodes[n].in_use && fs_nodes[n].blob == b;
    EXPECT_EQ(fs_blobs[b].in_use != 0, owned) << b;
  }
  EXPECT_EQ(fs_blob_pool_used, pool_before + 6);  // the bytes stay spent
  EXPECT_EQ(fs_resolve_path("/Documents/Trip"), -1);
}

TEST_F(TreeOps, DeleteRefusesBadArguments) {
  file(documents, "keep");
  EXPECT_EQ(fs_delete(documents, "missing"), 0u);
  EXPECT_EQ(fs_delete(documents, ""), 0u);
  EXPECT_EQ(fs_delete(documents, nullptr), 0u);
  EXPECT_EQ(fs_delete(fs_find_child(documents, "keep"), "x"), 0u);
  EXPECT_EQ(fs_delete(-1, "keep"), 0u);
  EXPECT_EQ(fs_delete(128, "keep"), 0u);
  EXPECT_EQ(fs_delete(110, "keep"), 0u);
  EXPECT_EQ(children(documents).size(), 1u);
}

TEST_F(TreeOps, RecursiveRemovalSkipsProtectedAndFreeNodes) {
  const u32 count = fs_node_count;
  fs_remove_recursive(fs_root);
  fs_remove_recursive(documents);
  fs_remove_recursive(fs_desktop_dir);
  fs_remove_recursive(-1);
  fs_remove_recursive(128);
  fs_remove_recursive(100);
  EXPECT_EQ(fs_node_count, count);
}

TEST_F(TreeOps, RecursiveRemovalOfAStillLinkedNodeKeepsTheListSound) {
  const i32 a = file(documents, "a"), b = dir(documents, "b"), c = file(documents, "c");
  file(b, "inside");
  fs_remove_recursive(b);
  EXPECT_EQ(children(documents), (std::vector<i32>{a, c}));
}

TEST_F(TreeOps, MoveAppendsToTheDestination) {
  const i32 a = file(documents, "a.txt"), b = file(documents, "b.txt");
  const i32 existing = file(downloads, "z.txt");
  EXPECT_EQ(fs_move(a, downloads), 1u);
  EXPECT_EQ(children(documents), std::vector<i32>{b});
  std::vector<i32> in_downloads = children(downloads);
  EXPECT_EQ(in_downloads.back(), a);
  EXPECT_NE(std::find(in_downloads.begin(), in_downloads.end(), existing), in_downloads.end());
  EXPECT_EQ(fs_nodes[a].parent, downloads);
}

TEST_F(TreeOps, MoveIntoTheSameFolderChangesNothing) {
  const i32 a = file(documents, "a"), b = file(documents, "b");
  EXPECT_EQ(fs_move(a, documents), 1u);
  EXPECT_EQ(children(documents), (std::vector<i32>{a, b}));
}

TEST_F(TreeOps, MoveRefusesCyclesClashesAndBadTargets) {
  const i32 outer = dir(documents, "outer");
  const i32 inner = dir(outer, "inner");
  const i32 innermost = dir(inner, "innermost");
  const i32 f = file(documents, "f");
  file(downloads, "f");
  EXPECT_EQ(fs_move(outer, outer), 0u);
  EXPECT_EQ(fs_move(outer, inner), 0u);
  EXPECT_EQ(fs_move(outer, innermost), 0u);
  EXPECT_EQ(fs_move(f, downloads), 0u);     // name taken there
  EXPECT_EQ(fs_move(outer, f), 0u);         // not a folder
  EXPECT_EQ(fs_move(outer, 0), 0u);         // the reserved entry is a file
  EXPECT_EQ(fs_move(outer, 115), 0u);       // free slot
  EXPECT_EQ(fs_move(115, outer), 0u);
  EXPECT_EQ(fs_move(0, outer), 0u);
  EXPECT_EQ(fs_move(-1, outer), 0u);
  EXPECT_EQ(fs_nodes[outer].parent, documents);
  EXPECT_EQ(fs_nodes[f].parent, documents);
  EXPECT_EQ(children(inner), std::vector<i32>{innermost});
  // Moving the inner folder out, above its parent, is fine.
  EXPECT_EQ(fs_move(inner, documents), 1u);
  EXPECT_EQ(fs_resolve_path("/Documents/inner/innermost"), innermost);
}

TEST_F(TreeOps, MoveAdoptsAParentlessNode) {
  const i32 loose = fs_create(-1, "loose", kFsFile);
  EXPECT_EQ(fs_move(loose, documents), 1u);
  EXPECT_EQ(fs_resolve_path("/Documents/loose"), loose);
}

}  // namespace
}  // namespace tavlin::fs_test
