// Paths both ways and the names chosen for copies.
#include <cstring>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

std::string path_of(i32 node) {
  char out[kFsPathCap + 8];
  std::memset(out, 0x7E, sizeof out);
  fs_path(node, out);
  EXPECT_EQ(out[kFsPathCap], 0x7E) << "wrote past the 128-byte buffer";
  return out;
}

using Paths = StandardTreeTest;

// A name has at most 31 characters; only the first 127 of a path count ("Desk" below).
TEST_F(Paths, ResolveEdgeCases) {
  const i32 quillon = fs_find_child(downloads, "Quillon.yrf"), k = dir(fs_root, std::string(27, 'k').c_str());
  const std::pair<std::string, i32> cases[] = {
      {"", -1},           {"Desktop", -1},  {"//", fs_root}, {"/desktop", -1}, {"/Downloads//Quillon.yrf/", quillon},
      {"/Downloads/Quillon.yrf/more", -1},  {"/" + std::string(27, 'k'), k},   {"/" + std::string(32, 'k') + "/x", -1},
      {std::string(120, '/') + "Desktop", desktop},                           {std::string(123, '/') + "Desktop", -1}};
  for (const auto& [path, expected] : cases) EXPECT_EQ(fs_resolve_path(path.c_str()), expected) << '"' << path << '"';
  EXPECT_EQ(fs_resolve_path(nullptr), -1);
}

TEST_F(Paths, BuildsPathsKeepingTheSixteenNearestNamesCutAt127Characters) {
  for (i32 none : {fs_root, 0, -1, 99}) EXPECT_EQ(path_of(none), "/") << none;  // 99 is free
  EXPECT_EQ(path_of(fs_find_child(downloads, "Quillon.yrf")), "/Downloads/Quillon.yrf");
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
  const std::tuple<std::string, std::string, std::string> cases[] = {{"report.txt", "report 2.txt", "report 3.txt"},
                                                                     {"a.b.c", "a.b 2.c", "a.b 3.c"},
                                                                     {".hidden", ".hidden 2", ".hidden 3"},
                                                                     {"doc", "doc 2", "doc 4"},
                                                                     {room, room + " 2", room + " 3"}};
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
