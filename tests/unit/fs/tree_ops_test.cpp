// Protection of the standard folders, recursive delete, move and rename.
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class TreeOps : public StandardTreeTest {};

TEST_F(TreeOps, OnlyTheRootAndTheRealStandardFoldersAreProtected) {
  const i32 applications = fs_find_child(fs_root, "Applications");
  for (i32 folder : {fs_root, desktop, documents, downloads, applications}) {
    EXPECT_EQ(fs_delete_node(folder), 0u) << fs_nodes[folder].name;
    EXPECT_EQ(fs_move(folder, folder == documents ? downloads : documents), 0u) << fs_nodes[folder].name;
    EXPECT_EQ(fs_rename(folder, "Other"), 0u) << fs_nodes[folder].name;
  }
  const i32 nested = dir(desktop, "Documents"), file_named_like_one = file(documents, "Applications");
  rename(applications, "Apps");
  const i32 root_file_named_like_one = file(fs_root, "Applications");
  for (i32 node : {nested, file_named_like_one, root_file_named_like_one, 0, -1, 120})
    EXPECT_EQ(fs_is_protected(node), 0u) << node;
  EXPECT_EQ(fs_delete(desktop, "Documents"), 1u);
}

TEST_F(TreeOps, DeletingAFolderFreesEveryNodeAndBlobBelow) {
  const u32 count_before = fs_node_count, pool_before = fs_blob_pool_used;
  const i32 a = file(documents, "a"), top = dir(documents, "Trip"), c = file(documents, "c");
  const i32 deep = dir(dir(top, "Day 1"), "Raw");
  blob_file(top, "a.png", {1, 2, 3});
  blob_file(deep, "c.png", {6});
  file(deep, "notes.txt", "sunny");
  // The check after the test finds any blob left without its node.
  EXPECT_EQ(fs_delete(documents, "Trip"), 1u);
  EXPECT_EQ(fs_node_count, count_before + 2);
  EXPECT_EQ(children(documents), (std::vector<i32>{a, c}));
  EXPECT_EQ(fs_blob_pool_used, pool_before + 4);  // the bytes stay spent
  for (auto [parent, name] : {std::pair{documents, "missing"}, {documents, ""}, {documents, nullptr}, {a, "x"},
                              {-1, "a"}, {128, "a"}, {110, "a"}})
    EXPECT_EQ(fs_delete(parent, name), 0u) << parent;
  for (i32 node : {fs_root, desktop, -1, 128, 100}) fs_remove_recursive(node);
  EXPECT_EQ(fs_node_count, count_before + 2);
}

TEST_F(TreeOps, DeleteByIndexRemovesThatNodeAndTellsTheListener) {
  static std::vector<i32> told;
  told.clear();
  const i32 keep = file(documents, "same"), folder = dir(downloads, "f"), inside = file(folder, "same");
  fs_set_removal_listener([](i32 node) { told.push_back(node); });
  EXPECT_EQ(fs_delete_node(folder), 1u);
  EXPECT_EQ(fs_delete_node(0), 0u);
  fs_set_removal_listener(nullptr);
  EXPECT_TRUE(fs_is_live(keep));
  EXPECT_FALSE(fs_is_live(folder));
  EXPECT_EQ(std::set<i32>(told.begin(), told.end()), (std::set<i32>{folder, inside}));
}

TEST_F(TreeOps, MoveAppendsToTheDestinationAndRefusesCyclesClashesAndBadTargets) {
  const i32 outer = dir(documents, "outer"), inner = dir(outer, "inner"), innermost = dir(inner, "innermost");
  const i32 f = file(documents, "f"), z = file(downloads, "f");
  const struct {
    i32 node, dest;
    const char* why;
  } refused[] = {{outer, outer, "itself"},   {outer, innermost, "below it"}, {f, downloads, "name taken"},
                 {outer, f, "not a folder"}, {outer, 0, "reserved entry"},   {outer, 115, "free slot"},
                 {115, outer, "free node"},  {0, outer, "reserved node"},    {-1, outer, "no node"}};
  for (const auto& c : refused) EXPECT_EQ(fs_move(c.node, c.dest), 0u) << c.why;
  EXPECT_EQ(children(documents), (std::vector<i32>{outer, f}));
  EXPECT_EQ(fs_move(outer, documents), 1u);  // already there: nothing changes
  EXPECT_EQ(fs_move(inner, downloads), 1u);  // out from below its parent
  const i32 loose = fs_create(-1, "loose", kFsFile);
  EXPECT_EQ(fs_move(loose, downloads), 1u);
  EXPECT_EQ(children(downloads), (std::vector<i32>{fs_find_child(downloads, "Quillon.yrf"), z, inner, loose}));
  EXPECT_EQ(fs_resolve_path("/Downloads/inner/innermost"), innermost);
}

TEST_F(TreeOps, RenameKeepsTheOldNameUnlessTheNewOneIsFreeAndValid) {
  const i32 a = file(documents, "a.txt");
  file(documents, "b.txt");
  const struct {
    i32 node;
    const char* name;
    u32 ok;
  } cases[] = {{a, "", 0},      {a, "x/y", 0}, {a, ".", 0},  {a, "..", 0},   {a, "b.txt", 0},
               {a, nullptr, 0}, {0, "z", 0},   {115, "z", 0}, {a, "abcdefghijklmnopqrstuvwxyz01", 0},
               {a, "a.txt", 1}, {a, "abcdefghijklmnopqrstuvwxyz0", 1}};
  for (const auto& c : cases) {
    const std::string before = fs_is_live(c.node) ? fs_nodes[c.node].name : "";
    EXPECT_EQ(fs_rename(c.node, c.name), c.ok) << (c.name ? c.name : "null");
    if (!c.ok && fs_is_live(c.node)) EXPECT_EQ(before, fs_nodes[c.node].name);
  }
  EXPECT_STREQ(fs_nodes[a].name, "abcdefghijklmnopqrstuvwxyz0");
}

}  // namespace
}  // namespace tavlin::fs_test
