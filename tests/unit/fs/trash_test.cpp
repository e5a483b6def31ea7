// Trash records.
#include <string>

#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class Trash : public FsTest {};

TEST_F(Trash, RecordsKeepTextOnlyForInlineFilesAndTheSixtyFifthIsIgnored) {
  trash_count = 0;
  const std::string long_name(40, 'n'), long_text(700, 't');
  const struct {
    const char* name;
    u32 kind;
    const char* text;
    u32 has_blob;
    std::string kept_name, kept_text;
  } cases[] = {{"notes.txt", kFsFile, "hello", 0, "notes.txt", "hello"},
               {"pic.png", kFsFile, "stale text", 1, "pic.png", ""},
               {"Folder", kFsDir, "never", 0, "Folder", ""},
               {long_name.c_str(), kFsFile, long_text.c_str(), 0, std::string(27, 'n'), std::string(511, 't')},
               {nullptr, kFsFile, nullptr, 0, "", ""}};
  for (const auto& c : cases) trash_add_item(c.name, c.kind, c.text, 4096, c.has_blob, 3);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(trash_items[i].name, cases[i].kept_name) << i;
    EXPECT_EQ(trash_items[i].text, cases[i].kept_text) << i;
    EXPECT_EQ((std::vector<u32>{trash_items[i].kind, trash_items[i].has_blob, trash_items[i].size}),
              (std::vector<u32>{cases[i].kind, cases[i].has_blob, 4096}));
  }
  while (trash_count < 64) trash_add_item("filler", kFsFile, "", 0, 0, -1);
  trash_add_item("one too many", kFsFile, "", 0, 0, -1);
  EXPECT_EQ(trash_count, 64u);
  EXPECT_STREQ(trash_items[63].name, "filler");
}

}  // namespace
}  // namespace tavlin::fs_test
