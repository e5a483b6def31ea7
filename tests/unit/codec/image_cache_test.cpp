// image_get_decoded over file nodes: which files are images, the format
// chosen by content, hits, the order entries are taken, and removal.
#include <gtest/gtest.h>

#include <tuple>

#include "kernel/codec/image_cache.h"
#include "kernel/fs/tree_ops.h"
#include "unit/codec/codec_nodes.h"

namespace tavlin {
namespace {

using namespace codec_test;

class ImageCache : public ::testing::Test {
 protected:
  void SetUp() override { fresh_tree_and_cache(); }
};

Bytes tiny_yrf(uint16_t colour) { return yrf_file(2, 2, {{4, colour}}); }
Bytes tiny_png(uint8_t grey) { return craft_png(ihdr(2, 2, 8, 0), Bytes{0, grey, grey, 0, grey, grey}); }

TEST_F(ImageCache, WhichNodesCountAsImagesAndTheirFormatByContent) {
  const i32 notes = fs_create(-1, "notes.png", kFsFile);
  fs_set_content(notes, "just words");  // inline text is no image, whatever the name
  Bytes broken = tiny_png(1);
  broken.resize(30);
  const std::tuple<const char*, i32, uint32_t> cases[] = {  // what, node, the last pixel (0: no image)
      {"YRF content named .png", blob_file("picture.png", tiny_yrf(0xF800)), 0xFFF80000},
      {"PNG content named .yrf", blob_file("Tavlin.yrf", tiny_png(0x40)), 0xFF404040},
      // Without the blob flag only the name makes a file an image.
      {"flagless .yrf", blob_file("flagless.yrf", tiny_yrf(1), 0), expect_argb(1)},
      {"flagless .txt", blob_file("flagless.txt", tiny_yrf(1), 0), 0},
      {"flagless, named only .png", blob_file(".png", tiny_yrf(1), 0), 0},
      {"flagged .txt", blob_file("flagged.txt", tiny_yrf(2), 1), expect_argb(2)},
      {"inline text", notes, 0}, {"folder", fs_create(-1, "album.png", kFsDir), 0},
      {"no node", -1, 0}, {"outside the table", kFsMaxNodes, 0}, {"the reserved entry", 0, 0},
      {"shorter than any image", blob_file("short.yrf", Bytes{'Y', 'R', 'F', '1', 0, 1, 0, 1, 1, 0, 0}), 0},
      {"neither format", blob_file("text.png", Bytes(40, 'x')), 0},
      {"a broken PNG", blob_file("broken.png", broken), 0}};
  for (const auto& [what, node, last_pixel] : cases) {
    const DecodedImage* image = image_get_decoded(node);
    std::vector<i64> seen, want;  // empty: no image
    if (image) seen = {image->key, image->valid, image->width * image->height, image->pixels[3]};
    if (last_pixel) want = {node, 1, 4, last_pixel};
    EXPECT_EQ(seen, want) << what;
  }
}

TEST_F(ImageCache, HitsAreServedAsStoredUntilTheContentChanges) {
  const i32 node = blob_file("a.yrf", tiny_yrf(0x001F));
  DecodedImage* first = image_get_decoded(node);
  ASSERT_NE(first, nullptr);
  // Spoil the content and the scratch buffer: a hit must touch neither.
  u32 length = 0;
  std::memset(const_cast<u8*>(fs_blob_data(node, &length)), 0, length);
  image_decode_scratch[0] = 0x12345678;
  EXPECT_EQ(image_get_decoded(node), first);
  EXPECT_EQ(first->pixels[0], 0xFF0000F8u);  // pure blue
  EXPECT_EQ(image_decode_scratch[0], 0x12345678u);
  const Bytes red = tiny_yrf(0xF800);
  ASSERT_EQ(fs_set_image_content(node, red.data(), static_cast<u32>(red.size())), 1u);
  ASSERT_NE(image_get_decoded(node), nullptr);
  EXPECT_EQ(image_get_decoded(node)->pixels[0], 0xFFF80000u);
  fs_set_content(node, "now just text");
  EXPECT_EQ(image_get_decoded(node), nullptr);
}

// Four entries: a fifth image takes entry 0; a removed node frees its entry.
TEST_F(ImageCache, AFifthImageReplacesEntryZeroAndRemovalFreesAnEntry) {
  i32 nodes[6];
  for (int i = 0; i < 6; ++i) nodes[i] = blob_file("img" + std::to_string(i) + ".yrf", tiny_yrf(uint16_t(i + 1)));
  for (int i = 0; i < 5; ++i) ASSERT_NE(image_get_decoded(nodes[i]), nullptr);
  EXPECT_EQ((std::vector<i32>{image_cache[0].key, image_cache[1].key, image_cache[2].key, image_cache[3].key}),
            (std::vector<i32>{nodes[4], nodes[1], nodes[2], nodes[3]}));
  EXPECT_EQ(image_cache[0].pixels[0], expect_argb(5));
  fs_remove_recursive(nodes[2]);
  EXPECT_EQ((std::pair{image_cache[2].key, image_cache[2].valid}), (std::pair{-1, 0u}));
  EXPECT_EQ(image_get_decoded(nodes[5]), &image_cache[2]);
  EXPECT_EQ(image_cache[3].key, nodes[3]);
}

}  // namespace
}  // namespace tavlin
