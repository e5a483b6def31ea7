// Trash records.
#include <string>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class Trash : public FsTest {};

TEST_F(Trash, RecordsCopyTheDescriptorAndTextOnlyForInlineFiles) {
  const std::string long_name(40, 'n'), long_text(700, 't');
  const struct {
    const char* name;
    u32 kind;
    const char* text;
    u32 size, has_blob;
    i32 blob;
    std::string kept_name, kept_text;
  } cases[] = {{"notes.txt", kFsFile, "hello", 5, 0, -1, "notes.txt", "hello"},
               {"pic.png", kFsFile, "stale text", 4096, 1, 3, "pic.png", ""},
               {"Folder", kFsDir, "never", 0, 0, -1, "Folder", ""},
               {"video.zeva", kFsFile, "", 1000, 0, 2, "video.zeva", ""},
               {long_name.c_str(), kFsFile, long_text.c_str(), 511, 0, -1, std::string(27, 'n'), std::string(511, 't')},
               {nullptr, kFsFile, nullptr, 0, 0, -1, "", ""}};
  for (const auto& c : cases) trash_add_item(c.name, c.kind, c.text, c.size, c.has_blob, c.blob);
  ASSERT_EQ(trash_count, std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TrashItem& item = trash_items[i];
    EXPECT_EQ(item.name, cases[i].kept_name) << i;
    EXPECT_EQ(item.text, cases[i].kept_text) << i;
    EXPECT_EQ(item.kind, cases[i].kind) << i;
    EXPECT_EQ(item.size, cases[i].size) << i;
    EXPECT_EQ(item.has_blob, cases[i].has_blob) << i;
    EXPECT_EQ(item.blob, cases[i].blob) << i;
  }
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
