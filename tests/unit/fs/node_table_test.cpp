// The node table: names, limits, child lists, look-ups and content.
#include <string>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class NodeTable : public FsTest {};

TEST_F(NodeTable, NamesOfTwentySevenCharactersFitAndTwentyEightDoNot) {
  const std::string fits(27, 'n'), too_long(28, 'n');
  const i32 node = fs_create(fs_root, fits.c_str(), kFsFile);
  ASSERT_GE(node, 0);
  EXPECT_EQ(std::string(fs_nodes[node].name), fits);
  EXPECT_EQ(fs_create(fs_root, too_long.c_str(), kFsFile), -1);
  EXPECT_EQ(fs_create(fs_root, std::string(200, 'x').c_str(), kFsFile), -1);
}

TEST_F(NodeTable, DotNamesSlashesAndEmptyNamesAreRefused) {
  for (const char* bad : {".", "..", "/", "a/b", "trailing/", ""})
    EXPECT_EQ(fs_create(fs_root, bad, kFsFile), -1) << bad;
  EXPECT_EQ(fs_create(fs_root, nullptr, kFsFile), -1);
  // Dots are fine anywhere else.
  EXPECT_GE(fs_create(fs_root, "...", kFsFile), 0);
  EXPECT_GE(fs_create(fs_root, ".hidden", kFsFile), 0);
  EXPECT_EQ(fs_node_count, 3u);
}

TEST_F(NodeTable, DuplicatesAreRefusedPerFolderAndCaseMatters) {
  const i32 a = dir(fs_root, "a"), b = dir(fs_root, "b");
  EXPECT_GE(file(a, "notes.txt"), 0);
  EXPECT_EQ(fs_create(a, "notes.txt", kFsDir), -1);
  EXPECT_GE(file(b, "notes.txt"), 0);
  EXPECT_GE(file(a, "Notes.txt"), 0);
  EXPECT_GE(file(a, "NOTES.TXT"), 0);
  EXPECT_EQ(children(a).size(), 3u);
}

TEST_F(NodeTable, ParentMustBeALiveFolder) {
  const i32 f = file(fs_root, "plain");
  EXPECT_EQ(fs_create(f, "inside", kFsFile), -1);
  EXPECT_EQ(fs_create(0, "inside", kFsFile), -1);
  EXPECT_EQ(fs_create(100, "inside", kFsFile), -1);  // a free slot
  EXPECT_EQ(fs_create(128, "inside", kFsFile), -1);
  EXPECT_EQ(fs_create(fs_root, "odd", 7), -1);
}

TEST_F(NodeTable, TableHoldsTheRootAndOneHundredTwentySixMore) {
  for (int i = 0; i < 126; ++i) ASSERT_GE(file(fs_root, ("f" + std::to_string(i)).c_str()), 0) << i;
  EXPECT_EQ(fs_node_count, 127u);
  EXPECT_EQ(fs_create(fs_root, "one more", kFsFile), -1);
  EXPECT_EQ(fs_create(-1, "loose", kFsDir), -1);
  EXPECT_EQ(fs_nodes[0].name[0], 0);  // entry 0 is never handed out
  EXPECT_EQ(children(fs_root).size(), 126u);
}

TEST_F(NodeTable, NewNodeTakesTheLowestFreeSlotAndJoinsTheEnd) {
  const i32 a = file(fs_root, "a"), b = file(fs_root, "b"), c = file(fs_root, "c");
  EXPECT_EQ(a, 2);
  EXPECT_EQ(fs_delete(fs_root, "a"), 1u);
  const i32 d = file(fs_root, "d");
  EXPECT_EQ(d, 2);
  EXPECT_EQ(children(fs_root), (std::vector<i32>{b, c, d}));
}

TEST_F(NodeTable, NodeWithoutParentIsInNoList) {
  const i32 loose = fs_create(-1, "loose", kFsDir);
  ASSERT_GE(loose, 0);
  EXPECT_EQ(fs_nodes[loose].parent, -1);
  EXPECT_TRUE(children(fs_root).empty());
  EXPECT_EQ(fs_node_count, 2u);
}

TEST_F(NodeTable, LinkingIgnoresRepeatsFilesAndFreeSlots) {
  const i32 a = dir(fs_root, "a"), f = file(fs_root, "f");
  const i32 loose = fs_create(-1, "loose", kFsFile);
  fs_link_child(a, loose);
  fs_link_child(a, loose);
  EXPECT_EQ(children(a), std::vector<i32>{loose});
  fs_link_child(f, loose);    // a file holds no children
  fs_link_child(a, 90);       // free slot
  fs_link_child(a, a);        // itself
  fs_link_child(a, 0);        // the reserved entry
  fs_link_child(a, 128);
  fs_link_child(-1, loose);
  EXPECT_EQ(children(a), std::vector<i32>{loose});
  EXPECT_TRUE(children(f).empty());
}

TEST_F(NodeTable, UnlinkingFixesTheHeadMiddleAndTail) {
  const i32 a = file(fs_root, "a"), b = file(fs_root, "b"), c = file(fs_root, "c"), d = file(fs_root, "d");
  fs_unlink_child(fs_root, b);
  EXPECT_EQ(children(fs_root), (std::vector<i32>{a, c, d}));
  fs_unlink_child(fs_root, a);
  EXPECT_EQ(children(fs_root), (std::vector<i32>{c, d}));
  fs_unlink_child(fs_root, d);
  EXPECT_EQ(children(fs_root), std::vector<i32>{c});
  for (i32 n : {a, b, d}) {
    EXPECT_EQ(fs_nodes[n].parent, -1);
    EXPECT_EQ(fs_nodes[n].next_sibling, -1);
    fs_link_child(fs_root, n);  // back where they belong, for the check
  }
}

TEST_F(NodeTable, UnlinkingANodeOfAnotherFolderChangesNothing) {
  const i32 a = dir(fs_root, "a"), b = dir(fs_root, "b");
  const i32 x = file(a, "x");
  fs_unlink_child(b, x);
  EXPECT_EQ(fs_nodes[x].parent, a);
  EXPECT_EQ(children(a), std::vector<i32>{x});
}

TEST_F(NodeTable, FindChildIsExactAndIgnoresFilesAndEmptyNames) {
  const i32 a = dir(fs_root, "Photos");
  const i32 f = file(fs_root, "readme");
  EXPECT_EQ(fs_find_child(fs_root, "Photos"), a);
  EXPECT_EQ(fs_find_child(fs_root, "photos"), -1);
  EXPECT_EQ(fs_find_child(fs_root, "Photo"), -1);
  EXPECT_EQ(fs_find_child(fs_root, ""), -1);
  EXPECT_EQ(fs_find_child(fs_root, nullptr), -1);
  EXPECT_EQ(fs_find_child(f, "anything"), -1);
  EXPECT_EQ(fs_find_child(a, "readme"), -1);
  EXPECT_EQ(fs_find_child(77, "readme"), -1);
  EXPECT_EQ(fs_find_child(-1, "readme"), -1);
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

TEST_F(NodeTable, ZeroedSlotIsAFreeFile) {
  const i32 n = blob_file(fs_root, "pic", {1, 2, 3});
  fs_unlink_child(fs_root, n);
  fs_blob_release(n);
  fs_node_zero(n);
  fs_node_count = fs_node_count - 1;
  const FsNode& z = fs_nodes[n];
  EXPECT_EQ(z.in_use, 0u);
  EXPECT_EQ(z.kind, kFsFile);
  EXPECT_EQ(z.name[0], 0);
  EXPECT_EQ(z.parent, -1);
  EXPECT_EQ(z.first_child, -1);
  EXPECT_EQ(z.next_sibling, -1);
  EXPECT_EQ(z.size, 0u);
  EXPECT_EQ(z.has_blob, 0u);
  EXPECT_EQ(z.blob, -1);
  fs_node_zero(-1);
  fs_node_zero(128);
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

TEST_F(Content, TextIsNotSetOnFoldersOrFreeSlots) {
  const i32 d = dir(fs_root, "d");
  fs_set_content(d, "text");
  fs_set_content(50, "text");
  fs_set_content(-3, "text");
  EXPECT_EQ(fs_nodes[d].size, 0u);
  EXPECT_EQ(fs_nodes[50].text[0], 0);
}

TEST_F(Content, ImageContentLandsInTheBlobAndTextReleasesIt) {
  const std::vector<u8> bytes = {9, 8, 7, 6, 5};
  const i32 f = blob_file(fs_root, "pic.png", bytes);
  const FsNode& n = fs_nodes[f];
  ASSERT_EQ(n.blob, 0);
  EXPECT_EQ(n.has_blob, 1u);
  EXPECT_EQ(n.size, 5u);
  u32 length = 0;
  const u8* data = fs_blob_data(f, &length);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::vector<u8>(data, data + length), bytes);
  fs_set_content(f, "now text");
  EXPECT_EQ(n.blob, -1);
  EXPECT_EQ(n.has_blob, 0u);
  EXPECT_EQ(fs_blobs[0].in_use, 0u);
  EXPECT_EQ(fs_blob_data(f, &length), nullptr);
  EXPECT_EQ(length, 0u);
}

TEST_F(Content, ImageContentNeedsALiveFileAndBytes) {
  const u8 byte = 1;
  EXPECT_EQ(fs_set_image_content(dir(fs_root, "d"), &byte, 1), 0u);
  EXPECT_EQ(fs_set_image_content(file(fs_root, "f"), &byte, 0), 0u);
  EXPECT_EQ(fs_set_image_content(60, &byte, 1), 0u);
  EXPECT_EQ(fs_blob_pool_used, 0u);
}

TEST_F(Content, ReplacingImageContentTakesFreshPoolSpace) {
  const i32 f = blob_file(fs_root, "pic", std::vector<u8>(100, 1));
  ASSERT_EQ(fs_set_image_content(f, std::vector<u8>(50, 2).data(), 50), 1u);
  EXPECT_EQ(fs_blobs[fs_nodes[f].blob].offset, 100u);
  EXPECT_EQ(fs_blob_pool_used, 150u);
  EXPECT_EQ(fs_nodes[f].size, 50u);
}

TEST_F(Content, SeventeenthBlobFailsUntilOneIsFreedThenReusesTheEntry) {
  std::vector<i32> files;
  for (int i = 0; i < 16; ++i) files.push_back(blob_file(fs_root, ("p" + std::to_string(i)).c_str(), {1, 2}));
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
  EXPECT_EQ(fs_blobs[0].in_use, 0u);
  // A text file keeps its text when no blob can be had.
  const i32 t = file(fs_root, "t.txt", "kept");
  EXPECT_EQ(fs_set_image_content(t, bytes, 3), 0u);
  EXPECT_STREQ(fs_nodes[t].text, "kept");
  EXPECT_EQ(fs_nodes[t].size, 4u);
}

}  // namespace
}  // namespace tavlin::fs_test
