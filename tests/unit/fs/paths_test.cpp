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

class Paths : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    standard_tree();
  }
};

TEST_F(Paths, ResolveEdgeCases) {
  const i32 desktop = fs_desktop_dir;
  const i32 downloads = fs_find_child(fs_root, "Downloads");
  const i32 quillon = fs_find_child(downloads, "Quillon.yrf");
  struct Case {
    const char* path;
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
               {"/../Desktop", -1}};
  for (const auto& c : cases) EXPECT_EQ(fs_resolve_path(c.path), c.expected) << '"' << c.path << '"';
  EXPECT_EQ(fs_resolve_path(nullptr), -1);
}

TEST_F(Paths, ComponentsLongerThanThirtyOneCharactersFail) {
  const std::string c31(31, 'k'), c32(32, 'k');
  EXPECT_EQ(fs_resolve_path(("/" + c31).c_str()), -1);  // looked up, not found
  EXPECT_EQ(fs_resolve_path(("/" + c32 + "/Desktop").c_str()), -1);
  const std::string name27(27, 'k');
  const i32 k = dir(fs_root, name27.c_str());
  EXPECT_EQ(fs_resolve_path(("/" + name27).c_str()), k);
}

TEST_F(Paths, ResolveConsidersOnlyTheFirst127Characters) {
  // Slashes padding the path out past the limit: the name after it is never
  // reached, so the path stops at the root.
  const std::string padded = std::string(127, '/') + "Desktop";
  EXPECT_EQ(fs_resolve_path(padded.c_str()), fs_root);
  const std::string cut = std::string(120, '/') + "Desktop";  // ends at 127
  EXPECT_EQ(fs_resolve_path(cut.c_str()), fs_desktop_dir);
  const std::string half = std::string(123, '/') + "Desktop";  // "Desk" fits
  EXPECT_EQ(fs_resolve_path(half.c_str()), -1);
}

TEST_F(Paths, BuildsPathsOfStandardNodes) {
  const i32 downloads = fs_find_child(fs_root, "Downloads");
  EXPECT_EQ(path_of(fs_root), "/");
  EXPECT_EQ(path_of(0), "/");
  EXPECT_EQ(path_of(-1), "/");
  EXPECT_EQ(path_of(99), "/");   // free slot
  EXPECT_EQ(path_of(128), "/");  // outside the table
  EXPECT_EQ(path_of(downloads), "/Downloads");
  EXPECT_EQ(path_of(fs_find_child(downloads, "Quillon.yrf")), "/Downloads/Quillon.yrf");
}

TEST_F(Paths, PathsAndResolveAgreeDownADeepTree) {
  i32 at = fs_find_child(fs_root, "Documents");
  std::string expected = "/Documents";
  for (int depth = 0; depth < 14; ++depth) {
    const std::string name = "level" + std::to_string(depth);
    at = dir(at, name.c_str());
    expected += "/" + name;
    ASSERT_EQ(path_of(at), expected);
    ASSERT_EQ(fs_resolve_path(expected.c_str()), at);
  }
}

TEST_F(Paths, DeepTreesKeepTheSixteenNearestNames) {
  i32 at = fs_root;
  for (int depth = 1; depth <= 20; ++depth) at = dir(at, ("d" + std::to_string(depth)).c_str());
  std::string expected;
  for (int depth = 5; depth <= 20; ++depth) expected += "/d" + std::to_string(depth);
  EXPECT_EQ(path_of(at), expected);
}

TEST_F(Paths, LongPathsAreCutAt127Characters) {
  i32 at = fs_root;
  std::string full;
  for (char letter = 'a'; letter < 'a' + 6; ++letter) {
    const std::string name(27, letter);
    at = dir(at, name.c_str());
    full += "/" + name;
  }
  const std::string built = path_of(at);
  EXPECT_EQ(built, full.substr(0, 127));
}

TEST_F(Paths, NodesWithoutParentsGiveTheirOwnName) {
  const i32 loose = fs_create(-1, "loose", kFsFile);
  EXPECT_EQ(path_of(loose), "/loose");
}

class CopyNames : public FsTest {};

TEST_F(CopyNames, FreeNameIsUsedAsItIs) {
  const i32 n = fs_create_unique(fs_root, "report.txt", kFsFile);
  EXPECT_STREQ(fs_nodes[n].name, "report.txt");
}

TEST_F(CopyNames, NumberGoesBetweenStemAndExtension) {
  struct Case {
    const char* name;
    const char* first_copy;
    const char* second_copy;
  } cases[] = {{"report.txt", "report 2.txt", "report 3.txt"},
               {"notes", "notes 2", "notes 3"},
               {"a.b.c", "a.b 2.c", "a.b 3.c"},
               {".hidden", ".hidden 2", ".hidden 3"},
               {"x.", "x 2.", "x 3."}};
  for (const auto& c : cases) {
    ASSERT_GE(file(fs_root, c.name), 0);
    const i32 first = fs_create_unique(fs_root, c.name, kFsFile);
    const i32 second = fs_create_unique(fs_root, c.name, kFsFile);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_STREQ(fs_nodes[first].name, c.first_copy);
    EXPECT_STREQ(fs_nodes[second].name, c.second_copy);
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
  EXPECT_EQ(fs_create_unique(-1, "x", kFsFile), -1);
  EXPECT_EQ(fs_create_unique(128, "x", kFsFile), -1);
  EXPECT_EQ(fs_create_unique(fs_root, "", kFsFile), -1);
  EXPECT_EQ(fs_create_unique(fs_root, nullptr, kFsFile), -1);
  EXPECT_EQ(fs_create_unique(file(fs_root, "f"), "x", kFsFile), -1);
  EXPECT_EQ(fs_create_unique(fs_root, "a/b", kFsFile), -1);
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
