// Removing a node makes every shell record that named it let go: a later
// file reusing the freed slot is never saved over, shown, or robbed of its
// dock tile by an old window.

#include "kernel/fs/tree_ops.h"
#include "kernel/wm/launch.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using NodeRelease = DispatchTest;

TEST_F(NodeRelease, AllHoldersOfADeletedFolderLetGoAndItsReusedSlotsStaySafe) {
  const i32 work = fs_create(fs_desktop_dir, "Work", kFsDir);
  const i32 notes = fs_create(work, "notes.txt", kFsFile);
  const i32 pic = fs_create(work, "pic.png", kFsFile);
  const i32 clip = fs_create(work, "clip.zeva", kFsFile);
  for (i32 node : {notes, pic, clip}) open_file_in_app(node);
  Window &editor = windows[0], &viewer = windows[1], &player = windows[2];
  Window& finder = make_window(app::kFinder, 300, 100, 520, 380);
  finder.finder_dir = work;
  finder.finder_last_sel = notes;
  finder.finder_sel[notes] = 1;
  Window& term = make_window(app::kTerminal, 100, 100, 560, 380);
  term.term_cwd = work;
  dock_items[7] = DockItem{5, 0, "notes", 1, notes, 1};
  DesktopIcon& icon = make_icon(0, work, 40, 50);

  ASSERT_EQ(fs_delete_node(work), 1u);
  EXPECT_EQ((Ints{editor.doc_node, viewer.image_node, player.doc_node, finder.finder_last_sel, icon.in_use}),
            (Ints{-1, -1, -1, -1, 0}));
  EXPECT_STREQ(editor.title, "Untitled");
  EXPECT_EQ((Ints{finder.finder_dir, finder.finder_sel[notes], term.term_cwd}),
            (Ints{fs_desktop_dir, 0, fs_desktop_dir}));
  for (const DockItem& d : dock_items) EXPECT_TRUE(d.fs_idx < 0 || d.app == 0) << d.label;

  // New files take the freed slots; the old windows touch none of them.
  for (const char* name : {"a", "b", "c", "d"}) make_file(name, "mine");
  ASSERT_TRUE(fs_is_live_file(notes));
  open_file_in_app(notes);
  win_focus_and_raise(editor);
  key_states[scancode::kCtrl] = key_states[scancode::kS] = 1;
  pass();
  EXPECT_STREQ(fs_nodes[notes].text, "mine");
  for (Window* old : {&editor, &viewer, &player}) close_window(old);
  i32 tiles_of_notes = 0;
  for (const DockItem& d : dock_items) tiles_of_notes += d.fs_idx == notes ? 1 : 0;
  EXPECT_EQ(tiles_of_notes, 1);
}

}  // namespace
}  // namespace tavlin::test
