// The node table: names, limits, child lists, look-ups and content.
#include <string>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class NodeTable : public FsTest {};

TEST_F(NodeTable, CreateChecksTheNameTheParentAndTheKind) {
  const i32 plain = file(fs_root, "plain"), a = dir(fs_root, "a"), b = dir(fs_root, "b");
  const std::string n27(27, 'n'), n28(28, 'n'), n200(200, 'x');
  const struct {
    i32 parent;
    const char* name;
    u32 kind;
    bool made;
  } cases[] = {{fs_root, n27.c_str(), kFsFile, true}, {fs_root, n28.c_str(), kFsFile, false},
               {fs_root, n200.c_str(), kFsFile, false}, {fs_root, ".", kFsFile, false},
               {fs_root, "..", kFsDir, false},        {fs_root, "/", kFsFile, false},
               {fs_root, "a/b", kFsFile, false},      {fs_root, "trailing/", kFsFile, false},
               {fs_root, "", kFsFile, false},         {fs_root, nullptr, kFsFile, false},
               {fs_root, "...", kFsFile, true},       {fs_root, ".hidden", kFsFile, true},
               {fs_root, "odd", 7, false},            {plain, "inside", kFsFile, false},
               {0, "inside", kFsFile, false},         {100, "inside", kFsFile, false},  // a free slot
               {128, "inside", kFsFile, false},
               // Names are unique per folder, and case matters.
               {a, "notes.txt", kFsFile, true},       {a, "notes.txt", kFsDir, false},
               {b, "notes.txt", kFsFile, true},       {a, "Notes.txt", kFsFile, true},
               {a, "NOTES.TXT", kFsFile, true}};
  for (const auto& c : cases) {
    const char* shown = c.name ? c.name : "(null)";
    const i32 node = fs_create(c.parent, c.name, c.kind);
    EXPECT_EQ(node >= 0, c.made) << shown << " under " << c.parent;
    if (node >= 0) EXPECT_STREQ(fs_nodes[node].name, c.name);
  }
  EXPECT_EQ(fs_node_count, 11u);
}

TEST_F(NodeTable, TableHoldsTheRootAndOneHundredTwentySixMore) {
  for (int i = 0; i < 126; ++i) ASSERT_GE(file(fs_root, ("f" + std::to_string(i)).c_str()), 0) << i;
  EXPECT_EQ(fs_node_count, 127u);
  EXPECT_EQ(fs_create(fs_root, "one more", kFsFile), -1);
  EXPECT_EQ(fs_create(-1, "loose", kFsDir), -1);
}

TEST_F(NodeTable, NewNodeTakesTheLowestFreeSlotAndJoinsTheEnd) {
  const i32 a = file(fs_root, "a"), b = file(fs_root, "b"), c = file(fs_root, "c");
  EXPECT_EQ(a, 2);
  EXPECT_EQ(fs_delete(fs_root, "a"), 1u);
  const i32 d = file(fs_root, "d");
  EXPECT_EQ(d, 2);
  EXPECT_EQ(children(fs_root), (std::vector<i32>{b, c, d}));
}

TEST_F(NodeTable, LinkingIgnoresRepeatsFilesAndBadSlots) {
  const i32 a = dir(fs_root, "a"), f = file(fs_root, "f");
  const i32 loose = fs_create(-1, "loose", kFsFile);
  fs_link_child(a, loose);
  fs_link_child(a, loose);
  // Into a file, a free slot, itself, the reserved entry, outside the table.
  const std::pair<i32, i32> ignored[] = {{f, loose}, {a, 90}, {a, a}, {a, 0}, {a, 128}, {-1, loose}};
  for (auto [parent, child] : ignored) fs_link_child(parent, child);
  EXPECT_EQ(children(a), std::vector<i32>{loose});
  EXPECT_TRUE(children(f).empty());
}

TEST_F(NodeTable, UnlinkingFixesTheHeadMiddleAndTailAndNothingElse) {
  const i32 a = file(fs_root, "a"), b = dir(fs_root, "b"), c = dir(fs_root, "c"), d = file(fs_root, "d");
  const i32 x = file(b, "x");
  fs_unlink_child(c, x);  // another folder's node: nothing happens
  EXPECT_EQ(fs_nodes[x].parent, b);
  EXPECT_EQ(children(b), std::vector<i32>{x});
  fs_unlink_child(fs_root, b);
  EXPECT_EQ(children(fs_root), (std::vector<i32>{a, c, d}));
  fs_unlink_child(fs_root, a);
  EXPECT_EQ(children(fs_root), (std::vector<i32>{c, d}));
  fs_unlink_child(fs_root, d);
  EXPECT_EQ(children(fs_root), std::vector<i32>{c});
  for (i32 n : {a, b, d}) {  // left parentless, which the tables allow
    EXPECT_EQ(fs_nodes[n].parent, -1);
    EXPECT_EQ(fs_nodes[n].next_sibling, -1);
  }
}

TEST_F(NodeTable, FindChildIsExactAndOnlyLooksInTheFolder) {
  const i32 photos = dir(fs_root, "Photos");
  const i32 readme = file(fs_root, "readme");
  const struct {
    i32 dir;
    const char* name;
    i32 expected;
  } cases[] = {{fs_root, "Photos", photos}, {fs_root, "photos", -1}, {fs_root, "Photo", -1}, {fs_root, "", -1},
               {fs_root, nullptr, -1},      {readme, "anything", -1}, {photos, "readme", -1}, {77, "readme", -1},
               {-1, "readme", -1}};
  for (const auto& c : cases)
    EXPECT_EQ(fs_find_child(c.dir, c.name), c.expected) << (c.name ? c.name : "(null)") << " in " << c.dir;
}

TEST_F(NodeTable, ExtensionsAreCaseSensitiveSuffixes) {
  struct Case {
    const char* name;
    const char* ext;
    u32 expected;
  } cases[] = {{"a.png", ".png", 1}, {"png", ".png", 0}, {"a.PNG", ".png", 0}, {"a.png", "", 1},
               {"", "", 1},          {"x", ".png", 0},   {".png", ".png", 1},  {"a.tar.gz", ".gz", 1}};
  for (const auto& c : cases) EXPECT_EQ(has_extension(c.name, c.ext), c.expected) << c.name << " " << c.ext;
}

class Content : public FsTest {};

TEST_F(Content, TextIsCutAtFiveHundredElevenCharacters) {
  const i32 f = file(fs_root, "long.txt", std::string(600, 'q').c_str());
  EXPECT_EQ(fs_nodes[f].size, 511u);
  EXPECT_EQ(std::string(fs_nodes[f].text), std::string(511, 'q'));
  fs_set_content(f, "short");
  EXPECT_EQ(fs_nodes[f].size, 5u);
  EXPECT_STREQ(fs_nodes[f].text, "short");
}

TEST_F(Content, ContentNeedsALiveFileAndBytes) {
  const i32 d = dir(fs_root, "d"), f = file(fs_root, "f");
  const u8 byte = 1;
  for (i32 node : {d, 50, -3, 128}) {
    fs_set_content(node, "text");
    EXPECT_EQ(fs_set_image_content(node, &byte, 1), 0u) << node;
  }
  EXPECT_EQ(fs_set_image_content(f, &byte, 0), 0u);
  EXPECT_EQ(fs_set_image_content(f, nullptr, 1), 0u);
  EXPECT_EQ(fs_nodes[d].size, 0u);
  EXPECT_EQ(fs_nodes[50].text[0], 0);
  EXPECT_EQ(fs_blob_pool_used, 0u);
  fs_node_zero(-1);
  fs_node_zero(128);
}

TEST_F(Content, TextReleasesTheBlob) {
  const i32 f = blob_file(fs_root, "pic.png", {9, 8, 7});
  fs_set_content(f, "now text");
  EXPECT_EQ(fs_nodes[f].blob, -1);
  EXPECT_EQ(fs_nodes[f].has_blob, 0u);
  u32 length = 1;
  EXPECT_EQ(fs_blob_data(f, &length), nullptr);
  EXPECT_EQ(length, 0u);
}

TEST_F(Content, SeventeenthBlobFailsUntilOneIsFreedThenReusesTheEntry) {
  for (int i = 0; i < 16; ++i) blob_file(fs_root, ("p" + std::to_string(i)).c_str(), {1, 2});
  i32 index = -1;
  EXPECT_EQ(fs_blob_alloc(2, &index), 0u);
  const i32 extra = file(fs_root, "p16");
  const u8 bytes[] = {3, 4};
  EXPECT_EQ(fs_set_image_content(extra, bytes, 2), 0u);
  EXPECT_EQ(fs_nodes[extra].blob, -1);
  EXPECT_EQ(fs_delete(fs_root, "p5"), 1u);
  ASSERT_EQ(fs_set_image_content(extra, bytes, 2), 1u);
  EXPECT_EQ(fs_nodes[extra].blob, 5);
  EXPECT_EQ(fs_blobs[5].offset, 32u);  // fresh space after the sixteen first
}

TEST_F(Content, PoolIsNeverCompacted) {
  const u32 chunk = 3 * 1024 * 1024;
  std::vector<u8> big(chunk, 0xAB);
  const i32 f = file(fs_root, "big");
  ASSERT_EQ(fs_set_image_content(f, big.data(), chunk), 1u);
  ASSERT_EQ(fs_set_image_content(f, big.data(), chunk), 1u);
  EXPECT_EQ(fs_blobs[fs_nodes[f].blob].offset, chunk);
  EXPECT_EQ(fs_blob_pool_used, 2 * chunk);
  // Only one blob is live, yet a third copy no longer fits.
  EXPECT_EQ(fs_set_image_content(f, big.data(), chunk), 0u);
  EXPECT_EQ(fs_blob_pool_used, 2 * chunk);
  i32 index = -1;
  EXPECT_EQ(fs_blob_alloc(kFsPoolSize - 2 * chunk + 1, &index), 0u);
  ASSERT_EQ(fs_blob_alloc(kFsPoolSize - 2 * chunk, &index), 1u);
  EXPECT_EQ(fs_blob_pool_used, kFsPoolSize);
  fs_blobs[index].in_use = 0;  // nobody owns it; keep the check honest
}

TEST_F(Content, FailedImageContentLeavesAnEmptyFile) {
  const i32 f = blob_file(fs_root, "pic.png", {1, 2, 3, 4});
  fs_blob_pool_used = kFsPoolSize - 2;  // the pool is all but spent
  const u8 bytes[] = {5, 6, 7};
  EXPECT_EQ(fs_set_image_content(f, bytes, 3), 0u);
  EXPECT_EQ(fs_nodes[f].blob, -1);
  EXPECT_EQ(fs_nodes[f].size, 0u);
  EXPECT_EQ(fs_nodes[f].has_blob, 0u);
  // A text file keeps its text when no blob can be had.
  const i32 t = file(fs_root, "t.txt", "kept");
  EXPECT_EQ(fs_set_image_content(t, bytes, 3), 0u);
  EXPECT_STREQ(fs_nodes[t].text, "kept");
  EXPECT_EQ(fs_nodes[t].size, 4u);
}

}  // namespace
}  // namespace tavlin::fs_test
