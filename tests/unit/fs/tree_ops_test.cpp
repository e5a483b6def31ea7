// Protection of the standard folders, recursive delete and move.
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class TreeOps : public StandardTreeTest {};

TEST_F(TreeOps, OnlyTheRootAndTheRealStandardFoldersAreProtected) {
  const i32 applications = fs_find_child(fs_root, "Applications");
  for (i32 folder : {fs_root, desktop, documents, downloads, applications}) {
    EXPECT_EQ(fs_is_protected(folder), 1u) << fs_nodes[folder].name;
    EXPECT_EQ(fs_delete(fs_nodes[folder].parent, fs_nodes[folder].name), 0u) << fs_nodes[folder].name;
    EXPECT_EQ(fs_move(folder, folder == documents ? downloads : documents), 0u) << fs_nodes[folder].name;
    EXPECT_EQ(fs_nodes[folder].parent, folder == fs_root ? -1 : fs_root) << fs_nodes[folder].name;
  }
  const i32 nested = dir(desktop, "Documents");
  const i32 music = dir(fs_root, "Music");
  const i32 file_named_like_one = file(documents, "Applications");
  rename(applications, "Apps");
  const i32 root_file_named_like_one = file(fs_root, "Applications");
  for (i32 node : {nested, music, file_named_like_one, root_file_named_like_one, 0, -1, 120})
    EXPECT_EQ(fs_is_protected(node), 0u) << node;
  EXPECT_EQ(fs_delete(desktop, "Documents"), 1u);
  EXPECT_EQ(fs_delete(fs_root, "Music"), 1u);
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
  // The check after the test finds any blob left without its node.
  EXPECT_EQ(fs_delete(documents, "Trip"), 1u);
  EXPECT_EQ(fs_node_count, count_before);
  EXPECT_TRUE(children(documents).empty());
  EXPECT_EQ(fs_blob_pool_used, pool_before + 6);  // the bytes stay spent
}

TEST_F(TreeOps, DeleteRefusesBadArguments) {
  const i32 keep = file(documents, "keep");
  const struct {
    i32 parent;
    const char* name;
  } cases[] = {{documents, "missing"}, {documents, ""}, {documents, nullptr}, {keep, "x"},
               {-1, "keep"},           {128, "keep"},   {110, "keep"}};
  for (const auto& c : cases) EXPECT_EQ(fs_delete(c.parent, c.name), 0u) << c.parent;
  EXPECT_EQ(children(documents), std::vector<i32>{keep});
}

TEST_F(TreeOps, RecursiveRemovalSkipsProtectedAndFreeNodes) {
  const u32 count = fs_node_count;
  for (i32 node : {fs_root, documents, desktop, -1, 128, 100}) fs_remove_recursive(node);
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
  const i32 z = file(downloads, "z.txt");
  const i32 quillon = fs_find_child(downloads, "Quillon.yrf");
  EXPECT_EQ(fs_move(b, documents), 1u);  // already there: nothing changes
  EXPECT_EQ(children(documents), (std::vector<i32>{a, b}));
  EXPECT_EQ(fs_move(a, downloads), 1u);
  EXPECT_EQ(children(documents), std::vector<i32>{b});
  EXPECT_EQ(children(downloads), (std::vector<i32>{quillon, z, a}));
  const i32 loose = fs_create(-1, "loose", kFsFile);
  EXPECT_EQ(fs_move(loose, documents), 1u);
  EXPECT_EQ(children(documents), (std::vector<i32>{b, loose}));
}

TEST_F(TreeOps, MoveRefusesCyclesClashesAndBadTargets) {
  const i32 outer = dir(documents, "outer");
  const i32 inner = dir(outer, "inner");
  const i32 innermost = dir(inner, "innermost");
  const i32 f = file(documents, "f");
  file(downloads, "f");
  const struct {
    i32 node, dest;
    const char* why;
  } cases[] = {{outer, outer, "itself"},        {outer, inner, "its child"},   {outer, innermost, "below it"},
               {f, downloads, "name taken"},    {outer, f, "not a folder"},    {outer, 0, "the reserved entry"},
               {outer, 115, "free slot"},       {115, outer, "free node"},     {0, outer, "reserved node"},
               {-1, outer, "no node"}};
  for (const auto& c : cases) EXPECT_EQ(fs_move(c.node, c.dest), 0u) << c.why;
  EXPECT_EQ(fs_nodes[outer].parent, documents);
  EXPECT_EQ(fs_nodes[f].parent, documents);
  EXPECT_EQ(children(inner), std::vector<i32>{innermost});
  // Moving the inner folder out, above its parent, is fine.
  EXPECT_EQ(fs_move(inner, documents), 1u);
  EXPECT_EQ(fs_resolve_path("/Documents/inner/innermost"), innermost);
}

TEST_F(TreeOps, RenameKeepsTheOldNameUnlessTheNewOneIsFreeAndValid) {
  const i32 a = file(documents, "a.txt");
  file(documents, "b.txt");
  const struct {
    i32 node;
    const char* name;
    u32 ok;
  } cases[] = {{a, "", 0},          {a, "x/y", 0},   {a, ".", 0},          {a, "..", 0},
               {a, "b.txt", 0},     {a, nullptr, 0}, {documents, "Docs", 0}, {0, "z", 0},
               {115, "z", 0},       {a, "abcdefghijklmnopqrstuvwxyz01", 0},
               {a, "a.txt", 1},     {a, "abcdefghijklmnopqrstuvwxyz0", 1}};
  for (const auto& c : cases) {
    const std::string before = fs_is_live(c.node) ? fs_nodes[c.node].name : "";
    EXPECT_EQ(fs_rename(c.node, c.name), c.ok) << (c.name ? c.name : "null");
    if (!c.ok && fs_is_live(c.node)) EXPECT_EQ(before, fs_nodes[c.node].name);
  }
  EXPECT_STREQ(fs_nodes[a].name, "abcdefghijklmnopqrstuvwxyz0");
}

TEST_F(TreeOps, DeleteByIndexRemovesThatNodeAndTellsTheListener) {
  static std::vector<i32> told;
  told.clear();
  const i32 keep = file(documents, "same");
  const i32 folder = dir(downloads, "f");
  const i32 inside = file(folder, "same");
  fs_set_removal_listener([](i32 node) { told.push_back(node); });
  EXPECT_EQ(fs_delete_node(folder), 1u);
  EXPECT_EQ(fs_delete_node(documents), 0u);
  EXPECT_EQ(fs_delete_node(0), 0u);
  fs_set_removal_listener(nullptr);
  EXPECT_TRUE(fs_is_live(keep));
  EXPECT_FALSE(fs_is_live(folder));
  EXPECT_EQ(std::set<i32>(told.begin(), told.end()), (std::set<i32>{folder, inside}));
}

}  // namespace
}  // namespace tavlin::fs_test
