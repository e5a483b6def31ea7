// image_get_decoded over file nodes: which files are images, the format
// chosen by content, hits, the order entries are taken, and removal.
#include <gtest/gtest.h>

#include "kernel/codec/image_cache.h"
#include "kernel/fs/sample_media.h"
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

Bytes tiny_png(uint8_t grey) {
  const Bytes rows = {0, grey, grey, 0, grey, grey};
  return craft_png(ihdr(2, 2, 8, 0), rows);
}

TEST_F(ImageCache, StartsWithEveryEntryFree) {
  for (const DecodedImage& e : image_cache) {
    EXPECT_EQ(e.key, -1);
    EXPECT_EQ(e.valid, 0u);
  }
}

TEST_F(ImageCache, DecodesByContentWhateverTheName) {
  const i32 yrf_named_png = blob_file("picture.png", tiny_yrf(0xF800));
  const i32 png_named_yrf = blob_file("Tavlin.yrf", tiny_png(0x40));
  const DecodedImage* a = image_get_decoded(yrf_named_png);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->pixels[0], 0xFFF80000u);
  const DecodedImage* b = image_get_decoded(png_named_yrf);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->pixels[3], 0xFF404040u);
  EXPECT_EQ(b->width, 2u);
  EXPECT_EQ(b->valid, 1u);
  EXPECT_EQ(b->key, png_named_yrf);
}

TEST_F(ImageCache, WhichNodesCountAsImages) {
  // Without the blob flag only the name makes a file an image.
  EXPECT_NE(image_get_decoded(blob_file("flagless.yrf", tiny_yrf(1), 0)), nullptr);
  EXPECT_EQ(image_get_decoded(blob_file("flagless.txt", tiny_yrf(1), 0)), nullptr);
  EXPECT_EQ(image_get_decoded(blob_file(".png", tiny_yrf(1), 0)), nullptr);
  EXPECT_NE(image_get_decoded(blob_file("flagged.txt", tiny_yrf(1), 1)), nullptr);
  // Inline text is no image, whatever the name.
  const i32 notes = fs_create(-1, "notes.png", kFsFile);
  fs_set_content(notes, "just words");
  EXPECT_EQ(image_get_decoded(notes), nullptr);
  const i32 folder = fs_create(-1, "album.png", kFsDir);
  EXPECT_EQ(image_get_decoded(folder), nullptr);
  EXPECT_EQ(image_get_decoded(-1), nullptr);
  EXPECT_EQ(image_get_decoded(kFsMaxNodes), nullptr);
  EXPECT_EQ(image_get_decoded(0), nullptr);
}

TEST_F(ImageCache, ContentThatIsNeitherFormatOrTooShort) {
  EXPECT_EQ(image_get_decoded(blob_file("short.yrf", Bytes{'Y', 'R', 'F', '1', 0, 1, 0, 1, 1, 0, 0})), nullptr);
  EXPECT_EQ(image_get_decoded(blob_file("text.png", Bytes(40, 'x'))), nullptr);
  Bytes broken = tiny_png(1);
  broken.resize(30);
  EXPECT_EQ(image_get_decoded(blob_file("broken.png", broken)), nullptr);
}

TEST_F(ImageCache, HitReturnsTheEntryWithoutDecoding) {
  const i32 node = blob_file("a.yrf", tiny_yrf(0x001F));
  DecodedImage* first = image_get_decoded(node);
  ASSERT_NE(first, nullptr);
  // Spoil the content and the scratch buffer: a hit must touch neither.
  u32 length = 0;
  u8* bytes = const_cast<u8*>(fs_blob_data(node, &length));
  std::memset(bytes, 0, length);
  image_decode_scratch[0] = 0x12345678;
  EXPECT_EQ(image_get_decoded(node), first);
  EXPECT_EQ(first->pixels[0], 0xFF0000F8u);
  EXPECT_EQ(image_decode_scratch[0], 0x12345678u);
}

TEST_F(ImageCache, NewContentIsDecodedAfreshNotServedStale) {
  const i32 node = blob_file("a.yrf", tiny_yrf(0x001F));
  ASSERT_NE(image_get_decoded(node), nullptr);
  EXPECT_EQ(image_get_decoded(node)->pixels[0], 0xFF0000F8u);  // pure blue
  const Bytes red = tiny_yrf(0xF800);
  ASSERT_EQ(fs_set_image_content(node, red.data(), static_cast<u32>(red.size())), 1u);
  const DecodedImage* again = image_get_decoded(node);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->pixels[0], 0xFFF80000u);
  fs_set_content(node, "now just text");
  EXPECT_EQ(image_get_decoded(node), nullptr);
}

TEST_F(ImageCache, FiveImagesInARowReplaceEntryZero) {
  i32 nodes[5];
  for (int i = 0; i < 5; ++i) nodes[i] = blob_file("img" + std::to_string(i) + ".yrf", tiny_yrf(uint16_t(i + 1)));
  for (int i = 0; i < 5; ++i) ASSERT_NE(image_get_decoded(nodes[i]), nullptr);
  EXPECT_EQ(image_cache[0].key, nodes[4]);
  EXPECT_EQ(image_cache[1].key, nodes[1]);
  EXPECT_EQ(image_cache[2].key, nodes[2]);
  EXPECT_EQ(image_cache[3].key, nodes[3]);
  EXPECT_EQ(image_cache[0].pixels[0], expect_argb(5));
  EXPECT_EQ(image_cache[3].pixels[3], expect_argb(4));
}

TEST_F(ImageCache, RemovingANodeFreesItsEntryForTheNextImage) {
  const i32 a = blob_file("a.yrf", tiny_yrf(1));
  const i32 b = blob_file("b.yrf", tiny_yrf(2));
  const i32 c = blob_file("c.yrf", tiny_yrf(3));
  ASSERT_NE(image_get_decoded(a), nullptr);
  ASSERT_NE(image_get_decoded(b), nullptr);
  fs_remove_recursive(a);
  EXPECT_EQ(image_cache[0].key, -1);
  EXPECT_EQ(image_cache[0].valid, 0u);
  EXPECT_EQ(image_get_decoded(c), &image_cache[0]);
  EXPECT_EQ(image_cache[1].key, b);
}

TEST_F(ImageCache, LargestImagesFillAWholeEntry) {
  std::vector<uint16_t> px(512 * 512);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint16_t>(i >> 6);
  const i32 node = blob_file("big.yrf", yrf_file(512, 512, runs_of(px)));
  const DecodedImage* img = image_get_decoded(node);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixels[512 * 512 - 1], expect_argb(px.back()));
}

TEST_F(ImageCache, SampleImagesDecode) {
  const SampleFile yrf = sample_yrf(), png = sample_png();
  const i32 y = blob_file("Quillon.yrf", Bytes(yrf.data, yrf.data + yrf.size));
  const i32 p = blob_file("Desktop.png", Bytes(png.data, png.data + png.size));
  const DecodedImage* yi = image_get_decoded(y);
  ASSERT_NE(yi, nullptr);
  const DecodedImage* pi = image_get_decoded(p);
  ASSERT_NE(pi, nullptr);
  const Argb want = libpng_read_argb(Bytes(png.data, png.data + png.size));
  ASSERT_EQ(pi->width, want.width);
  ASSERT_EQ(pi->height, want.height);
  EXPECT_TRUE(std::equal(want.pixels.begin(), want.pixels.end(), pi->pixels));
}

}  // namespace
}  // namespace tavlin
