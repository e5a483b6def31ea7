// The tree every start builds, its log lines and the orphan repair.
#include "unit/fs/fs_builders.h"

namespace tavlin::fs_test {
namespace {

class StartUp : public FsTest {};

TEST_F(StartUp, BuildsTheStandardTreeWithItsSampleFiles) {
  standard_tree();
  const struct {
    i32 index;
    const char* name;
    u32 kind;
    i32 parent;
  } expected[] = {{1, "/", kFsDir, -1},           {2, "Desktop", kFsDir, 1},       {3, "Documents", kFsDir, 1},
                  {4, "Downloads", kFsDir, 1},    {5, "Applications", kFsDir, 1},  {6, "Quillon.yrf", kFsFile, 4},
                  {7, "Tavlin.yrf", kFsFile, 2},  {8, "DoruViza.zeva", kFsFile, 2}};
  for (const auto& e : expected) {
    EXPECT_STREQ(fs_nodes[e.index].name, e.name);
    EXPECT_EQ(fs_nodes[e.index].kind, e.kind) << e.name;
    EXPECT_EQ(fs_nodes[e.index].parent, e.parent) << e.name;
  }
  EXPECT_EQ(fs_root, 1);
  EXPECT_EQ(fs_desktop_dir, 2);
  EXPECT_EQ(fs_node_count, 8u);
  EXPECT_EQ(children(1), (std::vector<i32>{2, 3, 4, 5}));
  EXPECT_EQ(children(2), (std::vector<i32>{7, 8}));
  // The video gets its bytes but no blob flag.
  const struct {
    i32 node;
    const std::vector<u8>* bytes;
    u32 has_blob;
  } files[] = {{6, &samples.yrf, 1}, {7, &samples.png, 1}, {8, &samples.zeva, 0}};
  for (const auto& f : files) {
    u32 length = 0;
    const u8* data = fs_blob_data(f.node, &length);
    ASSERT_NE(data, nullptr) << f.node;
    EXPECT_EQ(std::vector<u8>(data, data + length), *f.bytes) << f.node;
    EXPECT_EQ(fs_nodes[f.node].has_blob, f.has_blob) << f.node;
  }
  EXPECT_EQ(fs_blob_pool_used, samples.yrf.size() + samples.png.size() + samples.zeva.size());
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Imported into Downloads: Quillon.yrf (15 bytes)\n"
            "[FS] Initialised. Nodes used: 8\n");
}

TEST_F(StartUp, FailedAttachmentsAreLoggedAndTheTreeStillBuilt) {
  const std::vector<u8> none;
  fs_populate(Samples::of(none), Samples::of(none), Samples::of(none));
  EXPECT_EQ(serial_log(),
            "[MediaAuto] Failed to attach blob for: Quillon.yrf\n"
            "[FS] Warning: could not attach Tavlin.yrf blob\n"
            "[FS] Initialised. Nodes used: 8\n");
  for (i32 node : {6, 7, 8}) {
    EXPECT_EQ(fs_nodes[node].blob, -1) << node;
    EXPECT_EQ(fs_nodes[node].size, 0u) << node;
  }
  EXPECT_EQ(fs_blob_pool_used, 0u);
}

TEST_F(StartUp, RebuildingStartsFromNothing) {
  standard_tree();
  dir(fs_root, "Extra");
  standard_tree();
  EXPECT_EQ(fs_node_count, 8u);
  EXPECT_EQ(fs_find_child(fs_root, "Extra"), -1);
  EXPECT_EQ(fs_blob_pool_used, samples.yrf.size() + samples.png.size() + samples.zeva.size());
}

TEST_F(StartUp, OrphansAreHungUnderTheRoot) {
  standard_tree();
  const i32 documents = fs_find_child(fs_root, "Documents");
  const i32 box = dir(documents, "box");
  const i32 a = file(box, "a"), b = dir(box, "b"), inner = file(b, "inner");
  const i32 far = file(documents, "far");
  fs_unlink_child(documents, far);
  fs_nodes[far].parent = 500;  // out of the table
  // The box's slot is freed without its contents, as a careless repair would.
  fs_unlink_child(documents, box);
  fs_node_zero(box);
  fs_node_count = fs_node_count - 1;
  ASSERT_NE(table_problems(), "");

  fs_reattach_orphans();
  const std::vector<i32> top = children(fs_root);
  EXPECT_EQ(std::vector<i32>(top.end() - 3, top.end()), (std::vector<i32>{a, b, far}));
  EXPECT_EQ(fs_nodes[inner].parent, b);  // its parent is alive
  // Parentless nodes are not orphans.
  const i32 loose = fs_create(-1, "loose", kFsFile);
  fs_reattach_orphans();
  EXPECT_EQ(fs_nodes[loose].parent, -1);
}

}  // namespace
}  // namespace tavlin::fs_test
