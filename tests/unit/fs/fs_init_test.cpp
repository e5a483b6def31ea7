// The tree every start builds, its failure log lines and the orphan repair.
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class StartUp : public FsTest {};

TEST_F(StartUp, BuildsTheStandardTreeFromNothingEachTime) {
  standard_tree();
  dir(fs_root, "Extra");
  fake_hw::clear_writes();
  standard_tree();
  EXPECT_EQ(serial_log(), "[MediaAuto] Imported into Downloads: Quillon.yrf (15 bytes)\n[FS] Initialised. Nodes used: 8\n");
  const struct {
    const char* name;
    u32 kind;
    i32 parent;
    u32 has_blob;  // the video gets its bytes but no blob flag
  } expected[] = {{"/", kFsDir, -1, 0},           {"Desktop", kFsDir, 1, 0},      {"Documents", kFsDir, 1, 0},
                  {"Downloads", kFsDir, 1, 0},    {"Applications", kFsDir, 1, 0}, {"Quillon.yrf", kFsFile, 4, 1},
                  {"Tavlin.yrf", kFsFile, 2, 1},  {"DoruViza.zeva", kFsFile, 2, 0}};
  for (i32 i = 1; i <= 8; ++i) {
    const auto& e = expected[i - 1];
    EXPECT_EQ((std::tuple{std::string(fs_nodes[i].name), fs_nodes[i].kind, fs_nodes[i].parent, fs_nodes[i].has_blob}),
              (std::tuple{std::string(e.name), e.kind, e.parent, e.has_blob}));
  }
  EXPECT_EQ((std::vector<i32>{fs_root, fs_desktop_dir, static_cast<i32>(fs_node_count)}), (std::vector<i32>{1, 2, 8}));
  EXPECT_EQ(children(1), (std::vector<i32>{2, 3, 4, 5}));
  EXPECT_EQ(children(2), (std::vector<i32>{7, 8}));
  EXPECT_EQ(fs_blob_pool_used, samples.yrf.size() + samples.png.size() + samples.zeva.size());
}

TEST_F(StartUp, FailedAttachmentsAreLoggedAndTheTreeStillBuilt) {
  const std::vector<u8> none;
  fs_populate(Samples::of(none), Samples::of(none), Samples::of(none));
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Failed to attach blob for: Quillon.yrf\n"
            "[FS] Warning: could not attach Tavlin.yrf blob\n"
            "[FS] Initialised. Nodes used: 8\n");
  for (i32 node : {6, 7, 8}) EXPECT_EQ((std::pair{fs_nodes[node].blob, fs_nodes[node].size}), (std::pair{-1, 0u}));
}

TEST_F(StartUp, OrphansAreHungUnderTheRoot) {
  standard_tree();
  const i32 documents = fs_find_child(fs_root, "Documents");
  const i32 box = dir(documents, "box"), a = file(box, "a"), b = dir(box, "b"), inner = file(b, "inner");
  const i32 far = file(documents, "far"), loose = fs_create(-1, "loose", kFsFile);  // parentless is no orphan
  fs_unlink_child(documents, far);
  fs_nodes[far].parent = 500;  // out of the table
  // The box's slot is freed without its contents, as a careless repair would.
  fs_unlink_child(documents, box);
  fs_node_zero(box);
  fs_node_count = fs_node_count - 1;
  fs_reattach_orphans();
  const std::vector<i32> top = children(fs_root);
  EXPECT_EQ(std::vector<i32>(top.end() - 3, top.end()), (std::vector<i32>{a, b, far}));
  EXPECT_EQ(fs_nodes[inner].parent, b);
  EXPECT_EQ(fs_nodes[loose].parent, -1);
}

}  // namespace
}  // namespace tavlin::fs_test
