// Painting the image viewer: the image centred and scaled by the zoom, cut to
// the canvas, and the note shown for a file that is no image.

#include "kernel/apps/apps.h"
#include "kernel/wm/window.h"
#include "unit/apps/app_screen.h"
#include "unit/codec/codec_nodes.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

using namespace codec_test;

// The content area of a 420 x 340 viewer at (40, 30).
constexpr i32 kX = 41, kY = 60, kW = 418, kH = 309;
constexpr i32 kCanvasTop = kY + 22;

class ImageViewer : public CanvasTest {
 protected:
  void SetUp() override {
    use_canvas(640, 480);
    fresh_tree_and_cache();
    std::memset(&win, 0, sizeof win);
    win.app = app::kImageViewer;
    win.image_node = -1;
    win.zoom = 100;
  }

  // A PNG of the given 0xAARRGGBB pixels, as a file the viewer shows.
  void show(u32 w, u32 h, const std::vector<u32>& argb) {
    PngSpec picture{w, h, PNG_COLOR_TYPE_RGBA, {}};
    for (u32 p : argb) picture.samples.insert(picture.samples.end(), {u8(p >> 16), u8(p >> 8), u8(p), u8(p >> 24)});
    win.image_node = blob_file("picture.png", libpng_write(picture));
  }

  void paint() { draw_app_imageview(&win, kX, kY, kW, kH); }

  Window win;
};

TEST_F(ImageViewer, EightHundredPercentShowsTheCentreCutToTheCanvas) {
  std::vector<u32> argb(512 * 512);
  for (u32 i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000 | (i % 512) << 16 | (i / 512) << 8 | (i * 7 & 255);
  show(512, 512, argb);
  win.zoom = 800;
  paint();
  const i32 dx = kX + (kW - 4096) / 2, dy = kCanvasTop + (kH - 22 - 4096) / 2;
  for (i32 y = kCanvasTop; y < kY + kH; ++y)
    for (i32 x = kX; x < kX + kW; ++x)
      ASSERT_EQ(px(x, y), argb[size_t((y - dy) / 8) * 512 + size_t((x - dx) / 8)] & 0xFFFFFF) << x << "," << y;
  // Nothing beyond the content area: the paper around it is untouched.
  EXPECT_EQ(count(kPaper), 640 * 480 - kW * kH);
}

TEST_F(ImageViewer, AFileThatIsNoImageShowsANote) {
  win.image_node = blob_file("fake.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  paint();
  EXPECT_TRUE(text_drawn_at(kX + kW / 2 - 80, kCanvasTop + (kH - 22) / 2 - 4, "Cannot preview image", 0xAAAAAA));
}

}  // namespace
}  // namespace tavlin::test
