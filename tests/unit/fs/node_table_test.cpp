// The node table: names, limits, child lists, look-ups, content and the
// trash records.
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class NodeTable : public FsTest {};

// A new node also takes the lowest free slot, joins the end of the list, and the table stops at its limit.
TEST_F(NodeTable, CreateChecksTheNameTheParentAndTheKindAndTakesTheLowestFreeSlot) {
  const i32 plain = file(fs_root, "plain"), a = dir(fs_root, "a");
  const std::string n27(27, 'n'), n28(28, 'n');
  const std::tuple<i32, const char*, u32, bool> cases[] = {
      {fs_root, n27.c_str(), kFsFile, true}, {fs_root, n28.c_str(), kFsFile, false}, {fs_root, "..", kFsDir, false},
      {fs_root, "a/b", kFsFile, false},      {fs_root, nullptr, kFsFile, false},     {fs_root, "...", kFsFile, true},
      {fs_root, "odd", 7, false},            {plain, "inside", kFsFile, false},      {0, "inside", kFsFile, false},
      {100, "inside", kFsFile, false},       {a, "notes", kFsFile, true},            {a, "notes", kFsDir, false},
      {a, "Notes", kFsFile, true}};  // 100 is a free slot; names are unique per folder, and case matters
  for (const auto& [parent, name, kind, made] : cases) EXPECT_EQ(fs_create(parent, name, kind) >= 0, made) << parent;
  EXPECT_EQ(fs_delete(fs_root, "plain"), 1u);
  EXPECT_EQ(file(fs_root, "d"), plain);
  EXPECT_EQ(children(fs_root).back(), plain);
  while (fs_node_count < kFsMaxNodes - 1) ASSERT_GE(file(fs_root, ("f" + std::to_string(fs_node_count)).c_str()), 0);
  EXPECT_EQ(fs_create(fs_root, "one more", kFsFile), -1);
}

TEST_F(NodeTable, LinkingAndUnlinkingKeepTheListsSoundAndFindChildIsExactAndLooksOnlyInTheFolder) {
  const i32 a = dir(fs_root, "a"), f = file(fs_root, "f"), b = file(a, "b"), c = file(a, "c");
  const i32 loose = fs_create(-1, "loose", kFsFile);
  fs_link_child(a, loose);
  fs_link_child(a, loose);  // a repeat, into a file, a free slot, itself, the reserved entry, outside the table
  for (auto [parent, child] : {std::pair{f, loose}, {a, 90}, {a, a}, {a, 0}, {a, 128}, {-1, loose}})
    fs_link_child(parent, child);
  EXPECT_EQ(children(a), (std::vector<i32>{b, c, loose}));
  const std::tuple<i32, const char*, i32> cases[] = {{fs_root, "a", a}, {fs_root, "A", -1}, {fs_root, nullptr, -1},
                                                     {f, "x", -1},      {a, "f", -1},       {77, "f", -1}};
  for (auto [folder, name, expected] : cases) EXPECT_EQ(fs_find_child(folder, name), expected) << folder;
  for (auto [name, ext, expected] : {std::tuple{"a.png", ".png", 1u}, {"png", ".png", 0u}, {"a.PNG", ".png", 0u}})
    EXPECT_EQ(has_extension(name, ext), expected) << name;
  fs_unlink_child(fs_root, b);  // another folder's node: nothing happens
  fs_unlink_child(a, c);
  fs_unlink_child(a, b);
  EXPECT_EQ(children(a), std::vector<i32>{loose});
  EXPECT_EQ(fs_nodes[b].parent, -1);
}

// A freed blob entry is reused with fresh space; text replacing a blob releases it.
TEST_F(NodeTable, SeventeenthBlobFailsUntilOneIsFreedAndTextIsCutAtFiveHundredElevenCharacters) {
  for (int i = 0; i < 16; ++i) blob_file(fs_root, ("p" + std::to_string(i)).c_str(), {1, 2});
  const i32 f = file(fs_root, "p16"), d = dir(fs_root, "d");
  const u8 bytes[] = {3, 4};
  EXPECT_EQ(fs_set_image_content(f, bytes, 2), 0u);
  EXPECT_EQ(fs_delete(fs_root, "p5"), 1u);
  ASSERT_EQ(fs_set_image_content(f, bytes, 2), 1u);
  EXPECT_EQ((std::pair{fs_nodes[f].blob, fs_blobs[5].offset}), (std::pair{5, 32u}));  // fresh space after the 16
  fs_set_content(f, std::string(600, 'q').c_str());
  EXPECT_EQ(std::string(fs_nodes[f].text), std::string(511, 'q'));
  EXPECT_EQ((std::vector<u32>{fs_nodes[f].size, fs_nodes[f].has_blob}), (std::vector<u32>{511, 0}));
  EXPECT_EQ(fs_blob_data(f, nullptr), nullptr);
  for (i32 node : {d, 50, -3}) EXPECT_EQ(fs_set_image_content(node, bytes, 1), 0u) << node;
  EXPECT_EQ(fs_set_image_content(f, bytes, 0), 0u);
  EXPECT_EQ(fs_set_image_content(f, nullptr, 1), 0u);
}

// One blob is live, yet a third copy no longer fits: the old bytes are gone,
// so the file is left empty, not claiming content it lost.
TEST_F(NodeTable, PoolIsNeverCompactedAndAFailedReplacementLeavesAnEmptyFile) {
  const u32 chunk = 3 * 1024 * 1024;
  std::vector<u8> big(chunk, 0xAB);
  const i32 f = file(fs_root, "big"), t = file(fs_root, "t.txt", "kept");
  ASSERT_EQ(fs_set_image_content(f, big.data(), chunk), 1u);
  ASSERT_EQ(fs_set_image_content(f, big.data(), chunk), 1u);
  EXPECT_EQ(fs_set_image_content(f, big.data(), chunk), 0u);
  EXPECT_EQ((std::vector<u32>{fs_nodes[f].size, fs_nodes[f].has_blob, fs_blob_pool_used}),
            (std::vector<u32>{0, 0, 2 * chunk}));
  EXPECT_EQ(fs_set_image_content(t, big.data(), chunk), 0u);  // a text file keeps its text
  EXPECT_STREQ(fs_nodes[t].text, "kept");
}

TEST_F(NodeTable, TrashRecordsKeepTextOnlyForInlineFilesCutLongNamesAndTheSixtyFifthIsIgnored) {
  trash_count = 0;
  const std::string long_name(40, 'n');
  trash_add_item("notes.txt", kFsFile, "text", 4, 0, -1);
  trash_add_item(long_name.c_str(), kFsFile, "text", 4, 1, 3);  // in a blob
  trash_add_item(nullptr, kFsDir, "text", 4, 0, -1);
  std::vector<std::string> kept;
  for (u32 i = 0; i < trash_count; ++i) kept.push_back(std::string(trash_items[i].name) + ":" + trash_items[i].text);
  EXPECT_EQ(kept, (std::vector<std::string>{"notes.txt:text", std::string(27, 'n') + ":", ":"}));
  while (trash_count < 64) trash_add_item("filler", kFsFile, "", 0, 0, -1);
  trash_add_item("one too many", kFsFile, "", 0, 0, -1);
  EXPECT_EQ((std::pair{trash_count, std::string(trash_items[63].name)}), (std::pair{64u, std::string("filler")}));
}

}  // namespace
}  // namespace tavlin::fs_test
