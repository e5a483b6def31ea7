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

TEST_F(Paths, ResolveEdgeCases) {
  const i32 quillon = fs_find_child(downloads, "Quillon.yrf"), k = dir(fs_root, std::string(27, 'k').c_str());
  const std::pair<std::string, i32> cases[] = {{"", -1},
                                               {"Desktop", -1},
                                               {"//", fs_root},
                                               {"/desktop", -1},
                                               {"/Downloads//Quillon.yrf/", quillon},
                                               {"/Downloads/Quillon.yrf/more", -1},
                                               {"/" + std::string(27, 'k'), k},
                                               {"/" + std::string(32, 'k') + "/Desktop", -1},  // over 31 characters
                                               // Only the first 127 characters count.
                                               {std::string(120, '/') + "Desktop", desktop},
                                               {std::string(123, '/') + "Desktop", -1}};  // "Desk"
  for (const auto& [path, expected] : cases) EXPECT_EQ(fs_resolve_path(path.c_str()), expected) << '"' << path << '"';
  EXPECT_EQ(fs_resolve_path(nullptr), -1);
}

TEST_F(Paths, BuildsPathsKeepingTheSixteenNearestNamesCutAt127Characters) {
  for (i32 none : {fs_root, 0, -1, 99}) EXPECT_EQ(path_of(none), "/") << none;  // 99 is free
  EXPECT_EQ(path_of(fs_find_child(downloads, "Quillon.yrf")), "/Downloads/Quillon.yrf");
  EXPECT_EQ(path_of(fs_create(-1, "loose", kFsFile)), "/loose");
  i32 at = fs_root;
  std::string nearest;
  for (int depth = 1; depth <= 20; ++depth) {
    at = dir(at, ("d" + std::to_string(depth)).c_str());
    if (depth >= 5) nearest += "/d" + std::to_string(depth);
  }
  EXPECT_EQ(path_of(at), nearest);
  std::string full;
  at = fs_root;
  for (char letter = 'a'; letter < 'a' + 6; ++letter) {
    at = dir(at, std::string(27, letter).c_str());
    full += "/" + std::string(27, letter);
  }
  EXPECT_EQ(path_of(at), full.substr(0, 127));
}

using CopyNames = FsTest;

TEST_F(CopyNames, FreeNameAsItIsThenTheFirstFreeNumberBetweenStemAndExtension) {
  file(fs_root, "doc 3");
  const std::string room(25, 'z');  // "zzz... 2" is 27 characters
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
}

TEST_F(CopyNames, BadParentOrNameFullTableOrNoRoomForTheNumberFails) {
  const i32 f = file(fs_root, "f");
  const std::string full(27, 'z');
  file(fs_root, full.c_str());
  const std::pair<i32, const char*> cases[] = {{-1, "x"}, {128, "x"}, {fs_root, ""}, {fs_root, nullptr}, {f, "x"},
                                               {fs_root, full.c_str()}};
  for (auto [parent, name] : cases) EXPECT_EQ(fs_create_unique(parent, name, kFsFile), -1) << parent;
  while (fs_create_unique(fs_root, "f", kFsFile) >= 0) {
  }
  EXPECT_EQ(fs_node_count, 127u);  // the last candidate found no slot: no endless search
}

}  // namespace
}  // namespace tavlin::fs_test
