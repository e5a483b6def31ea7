// The upload dialog's keys: typing the name and description, Esc, and
// walking the file picker through folders to a file.

#include "kernel/apps/store.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/fs/paths.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

class UploadDialogKeys : public WmTest {
 protected:
  void SetUp() override {
    WmTest::SetUp();
    upload_dialog_open();
  }
  static void keys(const std::string& text) {
    for (char c : text) upload_dialog_key(static_cast<u8>(c));
  }
  static std::string selected() { return upload_dialog.picker_sel < 0 ? "" : fs_nodes[upload_dialog.picker_sel].name; }
};

TEST_F(UploadDialogKeys, NameThenDescriptionWithinTheirLengths) {
  keys("notes\b.txt\nA  long day\n!");  // Enter moves to the description, where it is ignored
  EXPECT_STREQ(upload_dialog.name, "note.txt");
  EXPECT_STREQ(upload_dialog.desc, "A  long day!");
  EXPECT_EQ(upload_dialog.focused_field, 1u);
  keys(std::string(300, 'd'));
  EXPECT_EQ(std::string(upload_dialog.desc).size(), 255u);
  keys("\t" + std::string(70, 'n'));  // Tab goes back to the name
  EXPECT_EQ(std::string(upload_dialog.name).size(), 63u);
  keys("\x1b");
  EXPECT_EQ(upload_dialog.active, 0u);
  keys("more");  // a closed dialog takes nothing
  EXPECT_EQ(std::string(upload_dialog.name).size(), 63u);
}

TEST_F(UploadDialogKeys, ThePickerWalksWrapsEntersAndTakesAFile) {
  const i32 docs = fs_create(fs_root, "Documents", kFsDir);
  fs_create(docs, "a.txt", kFsFile);
  fs_create(docs, "b.txt", kFsFile);
  const i32 empty = fs_create(fs_root, "Empty", kFsDir);
  upload_picker_open();
  // Keys, then the folder shown and the entry selected.
  const std::tuple<const char*, const char*, const char*> steps[] = {
      {"j", "/", "Desktop"}, {"P", "/", "Documents"}, {"j", "/", "Empty"},          {"j", "/", "Desktop"},
      {"k", "/", "Empty"},   {"H", "/", "Documents"}, {"\n", "/Documents", ""},     {"k", "/Documents", "a.txt"},
      {"k", "/Documents", "b.txt"},                   {"\b", "/", ""},              {"jjj\n", "/Empty", ""},
      {"jk", "/Empty", ""}};
  for (const auto& [typed, folder, entry] : steps) {
    keys(typed);
    EXPECT_EQ(std::string(upload_dialog.picker_path) + "|" + selected(), std::string(folder) + "|" + entry) << typed;
  }
  EXPECT_TRUE(fs_is_live_dir(empty));
  keys("\x1b");  // Esc closes only the picker
  EXPECT_EQ((Ints{i32(upload_dialog.active), i32(upload_dialog.picker_open)}), (Ints{1, 0}));
  upload_picker_open();
  keys("jj\nj\n");
  EXPECT_EQ(upload_dialog.picker_open, 0u);
  EXPECT_STREQ(upload_dialog.file_path, "/Documents/a.txt");
}

}  // namespace
}  // namespace tavlin::test
