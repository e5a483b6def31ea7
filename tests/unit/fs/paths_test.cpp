// Paths both ways and the names chosen for copies.
#include <cstring>
#include <string>

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

class Paths : public StandardTreeTest {};

TEST_F(Paths, ResolveEdgeCases) {
  const i32 quillon = fs_find_child(downloads, "Quillon.yrf");
  const std::string name27(27, 'k');
  const i32 k = dir(fs_root, name27.c_str());
  const struct {
    std::string path;
    i32 expected;
  } cases[] = {{"", -1},
               {"Desktop", -1},
               {"/", fs_root},
               {"//", fs_root},
               {"/Desktop", desktop},
               {"//Desktop//", desktop},
               {"/desktop", -1},
               {"/Downloads/Quillon.yrf", quillon},
               {"/Downloads//Quillon.yrf/", quillon},
               {"/Downloads/Quillon.yrf/more", -1},
               {"/Downloads/Nothing", -1},
               {"/./Desktop", -1},
               {"/../Desktop", -1},
               {"/" + name27, k},
               {"/" + std::string(31, 'k'), -1},               // looked up, not found
               {"/" + std::string(32, 'k') + "/Desktop", -1},  // a component over 31 characters
               // Only the first 127 characters count.
               {std::string(127, '/') + "Desktop", fs_root},
               {std::string(120, '/') + "Desktop", desktop},
               {std::string(123, '/') + "Desktop", -1}};  // "Desk"
  for (const auto& c : cases) EXPECT_EQ(fs_resolve_path(c.path.c_str()), c.expected) << '"' << c.path << '"';
  EXPECT_EQ(fs_resolve_path(nullptr), -1);
}

TEST_F(Paths, BuildsPathsOfStandardAndLooseNodes) {
  EXPECT_EQ(path_of(fs_root), "/");
  for (i32 none : {0, -1, 99, 128}) EXPECT_EQ(path_of(none), "/") << none;  // 99 is free
  EXPECT_EQ(path_of(downloads), "/Downloads");
  EXPECT_EQ(path_of(fs_find_child(downloads, "Quillon.yrf")), "/Downloads/Quillon.yrf");
  EXPECT_EQ(path_of(fs_create(-1, "loose", kFsFile)), "/loose");
}

TEST_F(Paths, DeepTreesAgreeBothWaysThenKeepTheSixteenNearestNames) {
  i32 at = fs_root;
  std::string full;
  for (int depth = 1; depth <= 20; ++depth) {
    const std::string name = "d" + std::to_string(depth);
    at = dir(at, name.c_str());
    full += "/" + name;
    ASSERT_EQ(fs_resolve_path(full.c_str()), at);
    if (depth <= 16) ASSERT_EQ(path_of(at), full);
  }
  std::string nearest;
  for (int depth = 5; depth <= 20; ++depth) nearest += "/d" + std::to_string(depth);
  EXPECT_EQ(path_of(at), nearest);
}

TEST_F(Paths, LongPathsAreCutAt127Characters) {
  i32 at = fs_root;
  std::string full;
  for (char letter = 'a'; letter < 'a' + 6; ++letter) {
    const std::string name(27, letter);
    at = dir(at, name.c_str());
    full += "/" + name;
  }
  EXPECT_EQ(path_of(at), full.substr(0, 127));
}

class CopyNames : public FsTest {};

TEST_F(CopyNames, FreeNameAsItIsThenNumbersBetweenStemAndExtension) {
  const struct {
    const char* name;
    const char* first_copy;
    const char* second_copy;
  } cases[] = {{"report.txt", "report 2.txt", "report 3.txt"},
               {"notes", "notes 2", "notes 3"},
               {"a.b.c", "a.b 2.c", "a.b 3.c"},
               {".hidden", ".hidden 2", ".hidden 3"},
               {"x.", "x 2.", "x 3."}};
  for (const auto& c : cases)
    for (const char* expected : {c.name, c.first_copy, c.second_copy}) {
      const i32 n = fs_create_unique(fs_root, c.name, kFsFile);
      ASSERT_GE(n, 0) << expected;
      EXPECT_STREQ(fs_nodes[n].name, expected);
    }
}

TEST_F(CopyNames, GapsAreFilledFromTwoUp) {
  file(fs_root, "doc");
  file(fs_root, "doc 3");
  EXPECT_STREQ(fs_nodes[fs_create_unique(fs_root, "doc", kFsFile)].name, "doc 2");
  EXPECT_STREQ(fs_nodes[fs_create_unique(fs_root, "doc", kFsFile)].name, "doc 4");
}

TEST_F(CopyNames, CandidateOverTwentySevenCharactersFails) {
  const std::string full(27, 'z');
  file(fs_root, full.c_str());
  EXPECT_EQ(fs_create_unique(fs_root, full.c_str(), kFsFile), -1);
  const std::string room(25, 'z');  // "zzz… 2" is 27 characters
  file(fs_root, room.c_str());
  const i32 copy = fs_create_unique(fs_root, room.c_str(), kFsFile);
  ASSERT_GE(copy, 0);
  EXPECT_EQ(std::string(fs_nodes[copy].name), room + " 2");
}

TEST_F(CopyNames, BadParentOrNameFails) {
  const i32 f = file(fs_root, "f");
  const struct {
    i32 parent;
    const char* name;
  } cases[] = {{-1, "x"}, {128, "x"}, {fs_root, ""}, {fs_root, nullptr}, {f, "x"}, {fs_root, "a/b"}};
  for (const auto& c : cases)
    EXPECT_EQ(fs_create_unique(c.parent, c.name, kFsFile), -1) << (c.name ? c.name : "(null)") << " in " << c.parent;
}

TEST_F(CopyNames, FullTableFailsInsteadOfLooping) {
  file(fs_root, "same");
  while (fs_create_unique(fs_root, "same", kFsFile) >= 0) {
  }
  EXPECT_EQ(fs_node_count, 127u);
  EXPECT_GE(fs_find_child(fs_root, "same 126"), 0);
  EXPECT_EQ(fs_find_child(fs_root, "same 127"), -1);
}

}  // namespace
}  // namespace tavlin::fs_test
