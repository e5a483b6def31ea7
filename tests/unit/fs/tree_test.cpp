// Protection of the standard folders, recursive delete, move and rename; keeping exactly one Desktop under
// the root; the favourite folders; paths both ways and the names chosen for copies.
#include <cstring>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

using Tree = StandardTreeTest;

TEST_F(Tree, OnlyTheRootAndTheRealStandardFoldersAreProtectedAndRenameKeepsTheOldNameUnlessTheNewOneIsValid) {
  const i32 applications = fs_find_child(fs_root, "Applications");
  for (i32 folder : {fs_root, desktop, documents, downloads, applications}) {
    EXPECT_EQ(fs_delete_node(folder), 0u) << folder;
    EXPECT_EQ(fs_move(folder, folder == documents ? downloads : documents), 0u) << folder;
    EXPECT_EQ(fs_rename(folder, "Other"), 0u) << folder;
  }
  const i32 nested = dir(desktop, "Documents"), file_named_like_one = file(documents, "Applications");
  rename(applications, "Apps");
  for (i32 node : {nested, file_named_like_one, file(fs_root, "Applications"), 0, -1, 120})
    EXPECT_EQ(fs_is_protected(node), 0u) << node;
  const i32 a = file(documents, "a.txt");
  file(documents, "b.txt");
  const std::pair<i32, const char*> refused[] = {{a, ""},      {a, "x/y"}, {a, ".."},   {a, "b.txt"}, {a, nullptr},
                                                 {0, "z"},     {115, "z"}, {a, "abcdefghijklmnopqrstuvwxyz01"}};
  for (auto [node, name] : refused) EXPECT_EQ(fs_rename(node, name), 0u) << (name ? name : "null");
  EXPECT_STREQ(fs_nodes[a].name, "a.txt");
  EXPECT_EQ(fs_rename(a, "a.txt"), 1u);
  EXPECT_EQ(fs_rename(a, "abcdefghijklmnopqrstuvwxyz0"), 1u);
  EXPECT_STREQ(fs_nodes[a].name, "abcdefghijklmnopqrstuvwxyz0");
}

TEST_F(Tree, DeletingAFolderFreesEverythingBelowAndMoveAppendsToTheDestinationRefusingCyclesClashesAndBadTargets) {
  static std::vector<i32> told;
  told.clear();
  const u32 count_before = fs_node_count;
  const i32 a = file(documents, "a"), top = dir(documents, "Trip"), c = file(documents, "c");
  const i32 deep = dir(top, "Raw"), png = blob_file(deep, "c.png", {6});
  fs_set_removal_listener([](i32 node) { told.push_back(node); });
  EXPECT_EQ(fs_delete(documents, "Trip"), 1u);  // the check after the test finds any blob left behind
  fs_set_removal_listener(nullptr);
  EXPECT_EQ(std::set<i32>(told.begin(), told.end()), (std::set<i32>{top, deep, png}));
  EXPECT_EQ(children(documents), (std::vector<i32>{a, c}));
  for (auto [parent, name] : {std::pair{documents, "missing"}, {documents, nullptr}, {a, "x"}, {128, "a"}, {110, "a"}})
    EXPECT_EQ(fs_delete(parent, name), 0u) << parent;
  for (i32 node : {fs_root, -1, 100}) fs_remove_recursive(node);
  EXPECT_EQ(fs_node_count, count_before + 2);
  const i32 outer = dir(documents, "outer"), inner = dir(outer, "inner"), innermost = dir(inner, "innermost");
  const i32 f = file(documents, "f"), z = file(downloads, "f");
  const struct {
    i32 node, dest;
    const char* why;
  } refused[] = {{outer, outer, "itself"},   {outer, innermost, "below it"}, {f, downloads, "name taken"},
                 {outer, f, "not a folder"}, {outer, 115, "free slot"},      {0, outer, "reserved node"}};
  for (const auto& c : refused) EXPECT_EQ(fs_move(c.node, c.dest), 0u) << c.why;
  EXPECT_EQ(fs_move(outer, documents), 1u);  // already there: nothing changes
  EXPECT_EQ(fs_move(inner, downloads), 1u);  // out from below its parent
  const i32 loose = fs_create(-1, "loose", kFsFile);
  EXPECT_EQ(fs_move(loose, downloads), 1u);
  EXPECT_EQ(children(downloads), (std::vector<i32>{fs_find_child(downloads, "Quillon.yrf"), z, inner, loose}));
  EXPECT_EQ(children(documents), (std::vector<i32>{a, c, outer, f}));
  EXPECT_EQ(fs_resolve_path("/Downloads/inner/innermost"), innermost);
}

// A lower slot is freed so the lost Desktop can sit below the index that fs_desktop_dir still names. A Desktop
// lost again is made afresh, unless the table is full or has no root.
TEST_F(Tree, MovedOrLostDesktopComesBackUnderTheRootAndExtraDesktopsAreFreedWholeEvenBelowAStaleIndex) {
  const u32 count = fs_node_count;
  const i32 same_name_file = file(documents, "Desktop", "keep me");
  const i32 holder = dir(documents, "holder"), orphaned = dir(holder, "Desktop"), linked = dir(downloads, "x");
  rename(linked, "Desktop");
  blob_file(orphaned, "a.png", {1, 2, 3, 4});
  const i32 sub = dir(linked, "sub");
  fs_unlink_child(documents, holder);  // the holder's slot is freed behind the extra Desktop's back
  fs_node_zero(holder);
  fs_node_count = fs_node_count - 1;
  fs_unlink_child(fs_root, desktop);  // a careless move, below the protection rules
  fs_link_child(downloads, desktop);
  EXPECT_EQ(ensure_desktop_dir(), desktop);
  EXPECT_EQ(fs_resolve_path("/Desktop/Tavlin.yrf"), fs_find_child(desktop, "Tavlin.yrf"));
  for (i32 node : {orphaned, linked, sub}) EXPECT_FALSE(fs_is_live(node)) << node;
  EXPECT_STREQ(fs_nodes[same_name_file].text, "keep me");
  EXPECT_EQ(fs_node_count, count + 1);
  ASSERT_EQ(fs_delete(downloads, "Quillon.yrf"), 1u);
  rename(desktop, "Old Desktop");
  const i32 low = dir(downloads, "Desktop"), high = dir(dir(documents, "deep"), "Desktop");
  fs_desktop_dir = high;
  EXPECT_EQ(ensure_desktop_dir(), low);
  EXPECT_EQ(fs_nodes[low].parent, fs_root);
  EXPECT_FALSE(fs_is_live(high));
  rename(low, "Renamed");
  const i32 made = ensure_desktop_dir();
  EXPECT_EQ((std::pair{fs_resolve_path("/Desktop"), fs_desktop_dir}), (std::pair{made, made}));
  rename(made, "Renamed too");
  while (file(documents, ("f" + std::to_string(fs_node_count)).c_str()) >= 0) {
  }
  EXPECT_EQ(ensure_desktop_dir(), fs_root);
  fs_tables_reset();  // must forget the old root and Desktop indexes itself
  EXPECT_EQ(ensure_desktop_dir(), -1);
}

TEST_F(Tree, FavoritesTakeTheLowestFolderOfTheNameAnywhereOrOneMadeUnderTheRoot) {
  const i32 applications = fs_find_child(fs_root, "Applications");
  rename(applications, "Apps");
  rename(documents, "Papers");
  const i32 nested = dir(desktop, "Documents");
  fs_desktop_dir = -1;  // found again under the root
  const i32 expected[] = {desktop, nested, downloads};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(finder_favorite_target(i), expected[i]) << i;
  EXPECT_EQ((std::pair{finder_favorite_target(-1), finder_favorite_target(4)}), (std::pair{-1, -1}));
  const i32 made = finder_favorite_target(3);
  EXPECT_EQ(fs_resolve_path("/Applications"), made);
  rename(downloads, "Dl");
  file(fs_root, "Downloads");  // a file holding the name leaves nowhere to make the folder
  EXPECT_EQ(finder_favorite_target(2), fs_root);
}

std::string path_of(i32 node) {
  char out[kFsPathCap + 8];
  std::memset(out, 0x7E, sizeof out);
  fs_path(node, out);
  EXPECT_EQ(out[kFsPathCap], 0x7E) << "wrote past the 128-byte buffer";
  return out;
}

using Paths = StandardTreeTest;

// A name has at most 31 characters; only the first 127 of a path count ("Desk" below). A built path keeps the
// sixteen nearest names, cut at 127 characters.
TEST_F(Paths, ResolveEdgeCasesAndBuiltPathsKeepTheSixteenNearestNamesCutAt127Characters) {
  const i32 quillon = fs_find_child(downloads, "Quillon.yrf"), k = dir(fs_root, std::string(27, 'k').c_str());
  const std::pair<std::string, i32> cases[] = {
      {"", -1},           {"Desktop", -1},  {"//", fs_root}, {"/desktop", -1}, {"/Downloads//Quillon.yrf/", quillon},
      {"/Downloads/Quillon.yrf/more", -1},  {"/" + std::string(27, 'k'), k},   {"/" + std::string(32, 'k') + "/x", -1},
      {std::string(120, '/') + "Desktop", desktop},                           {std::string(123, '/') + "Desktop", -1}};
  for (const auto& [path, expected] : cases) EXPECT_EQ(fs_resolve_path(path.c_str()), expected) << '"' << path << '"';
  EXPECT_EQ(fs_resolve_path(nullptr), -1);
  for (i32 none : {fs_root, 0, -1, 99}) EXPECT_EQ(path_of(none), "/") << none;  // 99 is free
  EXPECT_EQ(path_of(quillon), "/Downloads/Quillon.yrf");
  EXPECT_EQ(path_of(fs_create(-1, "loose", kFsFile)), "/loose");
  i32 deep = fs_root, wide = fs_root;
  std::string nearest, full;
  for (int depth = 1; depth <= 20; ++depth) {
    deep = dir(deep, ("d" + std::to_string(depth)).c_str());
    if (depth >= 5) nearest += "/d" + std::to_string(depth);
    if (depth > 6) continue;
    wide = dir(wide, std::string(27, static_cast<char>('a' + depth)).c_str());
    full += "/" + std::string(27, static_cast<char>('a' + depth));
  }
  EXPECT_EQ(path_of(deep), nearest);
  EXPECT_EQ(path_of(wide), full.substr(0, 127));
}

// A free name is taken as it is; then the first free number goes between stem and extension, if it fits.
TEST_F(FsTest, CopyNamesTakeTheFirstFreeNumberAndFailOnBadParentsNamesOrAFullTable) {
  file(fs_root, "doc 3");
  const std::string room(25, 'z'), full(27, 'z');
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"report.txt", "report 2.txt", "report 3.txt"}, {"a.b.c", "a.b 2.c", "a.b 3.c"}, {"doc", "doc 2", "doc 4"},
      {".hidden", ".hidden 2", ".hidden 3"},          {room, room + " 2", room + " 3"}};
  for (const auto& [name, first_copy, second_copy] : cases)
    for (const std::string& expected : {name, first_copy, second_copy}) {
      const i32 n = fs_create_unique(fs_root, name.c_str(), kFsFile);
      ASSERT_GE(n, 0) << expected;
      EXPECT_EQ(fs_nodes[n].name, expected);
    }
  const i32 f = file(fs_root, full.c_str());
  const std::pair<i32, const char*> refused[] = {{-1, "x"}, {128, "x"}, {fs_root, ""}, {fs_root, nullptr}, {f, "x"},
                                                 {fs_root, full.c_str()}};
  for (auto [parent, name] : refused) EXPECT_EQ(fs_create_unique(parent, name, kFsFile), -1) << parent;
  while (fs_create_unique(fs_root, "f", kFsFile) >= 0) {
  }
  EXPECT_EQ(fs_node_count, 127u);  // the last candidate found no slot: no endless search
}

}  // namespace
}  // namespace tavlin::fs_test
