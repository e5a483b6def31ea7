// Trash records.
#include <string>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class Trash : public FsTest {};

TEST_F(Trash, RecordsCopyTheDescriptor) {
  trash_add_item("notes.txt", kFsFile, "hello", 5, 0, -1);
  ASSERT_EQ(trash_count, 1u);
  const TrashItem& item = trash_items[0];
  EXPECT_STREQ(item.name, "notes.txt");
  EXPECT_EQ(item.kind, kFsFile);
  EXPECT_STREQ(item.text, "hello");
  EXPECT_EQ(item.size, 5u);
  EXPECT_EQ(item.has_blob, 0u);
  EXPECT_EQ(item.blob, -1);
}

TEST_F(Trash, TextIsCopiedOnlyForInlineFiles) {
  trash_add_item("pic.png", kFsFile, "stale text", 4096, 1, 3);
  trash_add_item("Folder", kFsDir, "never", 0, 0, -1);
  trash_add_item("video.zeva", kFsFile, "", 1000, 0, 2);
  EXPECT_STREQ(trash_items[0].text, "");
  EXPECT_EQ(trash_items[0].size, 4096u);
  EXPECT_EQ(trash_items[0].blob, 3);
  EXPECT_STREQ(trash_items[1].text, "");
  EXPECT_EQ(trash_items[1].kind, kFsDir);
  EXPECT_EQ(trash_items[2].blob, 2);
}

TEST_F(Trash, LongNamesAndTextsAreCut) {
  const std::string name(40, 'n'), text(700, 't');
  trash_add_item(name.c_str(), kFsFile, text.c_str(), 511, 0, -1);
  EXPECT_EQ(std::string(trash_items[0].name), std::string(27, 'n'));
  EXPECT_EQ(std::string(trash_items[0].text), std::string(511, 't'));
}

TEST_F(Trash, MissingStringsGiveEmptyFields) {
  trash_add_item(nullptr, kFsFile, nullptr, 0, 0, -1);
  EXPECT_EQ(trash_count, 1u);
  EXPECT_STREQ(trash_items[0].name, "");
  EXPECT_STREQ(trash_items[0].text, "");
}

TEST_F(Trash, SixtyFifthRecordIsIgnored) {
  for (int i = 0; i < 64; ++i) trash_add_item(("item" + std::to_string(i)).c_str(), kFsFile, "", 0, 0, -1);
  trash_add_item("one too many", kFsFile, "", 0, 0, -1);
  EXPECT_EQ(trash_count, 64u);
  EXPECT_STREQ(trash_items[63].name, "item63");
  // Emptying the trash lets records in again from the start.
  trash_count = 0;
  trash_add_item("fresh", kFsFile, "", 0, 0, -1);
  EXPECT_STREQ(trash_items[0].name, "fresh");
}

}  // namespace
}  // namespace tavlin::fs_test
