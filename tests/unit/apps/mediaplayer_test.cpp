// The media player: a ZEVA file plays a frame every third tick, each picture
// equal to decoding the frames in order; it loops, pauses on a click on the
// picture, and names the fault of a damaged file.

#include "kernel/apps/apps.h"
#include "kernel/apps/mediaplayer.h"
#include "kernel/wm/launch.h"
#include "unit/apps/app_screen.h"
#include "unit/codec/codec_builders.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using namespace codec_test;
using Picture565 = std::vector<uint16_t>;

Picture565 pattern(u32 seed) {
  Picture565 px(20 * 9);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint16_t>((i / 2) * 40503u + seed * 7919u);
  return px;
}

Bytes runs_xor(Picture565 a, const Picture565& b) {
  for (size_t i = 0; i < a.size(); ++i) a[i] ^= b[i];
  return run_bytes(runs_of(a));
}

// Three 20 x 9 frames: a keyframe and two deltas.
class MediaPlayer : public WmTest {
 protected:
  void SetUp() override {
    WmTest::SetUp();
    video_picture_forget();
  }
  static Window& open(const char* name, const Bytes& content) {
    open_file_in_app(make_blob_file(name, content));
    return windows[focused_window];
  }
  static void paint(Window& w) { draw_app_mediaplayer(&w, w.x + 1, w.y + 30, w.w - 2, w.h - 31); }
  // The frame on screen is the decoded one of that number.
  bool shows_frame(const Window& w) const {
    const Picture565& expected = pictures[static_cast<size_t>(w.video_frame)];
    for (size_t i = 0; i < expected.size(); ++i)
      if (mediaplayer_picture.pixels[i] != expect_argb(expected[i])) return false;
    return true;
  }
  // A red message sits 4 pixels above the centre; the idle screen's note in grey 6 below it.
  static ::testing::AssertionResult says(const std::string& text, bool idle = false) {
    const Window& w = windows[focused_window];
    const i32 cx = w.x + 1 + (w.w - 2) / 2, cy = w.y + 30 + (w.h - 31) / 2 + (idle ? 6 : -4);
    return text_drawn_at(cx - 4 * static_cast<i32>(text.size()), cy, text, idle ? 0x999999 : 0xFF0000);
  }

  const std::vector<Picture565> pictures = {pattern(1), pattern(2), pattern(3)};
  const Bytes three_frames = zeva_file(20, 9, {{1, run_bytes(runs_of(pictures[0]))},
                                               {0, runs_xor(pictures[0], pictures[1])},
                                               {0, runs_xor(pictures[1], pictures[2])}});
};

TEST_F(MediaPlayer, PlaysAFrameEveryThirdTickInOrderLoopsAndAClickOnThePicturePausesIt) {
  Window& w = open("clip.zeva", three_frames);
  EXPECT_EQ((Ints{w.video_frame_count, i32(w.video_width), i32(w.video_height), i32(w.video_playing)}),
            (Ints{3, 20, 9, 1}));
  // A second player, a frame ahead, shares the picture buffers: painting it between the first one's
  // passes must not disturb the first's frames.
  Window& other = open("other.zeva", three_frames);
  advance(3);
  paint(other);
  const i32 centre_x = w.x + w.w / 2, centre_y = w.y + 30 + (w.h - 31) / 2;
  for (int i = 0; i < 4; ++i) {
    advance(3);
    paint(other);
    paint(w);
    ASSERT_TRUE(shows_frame(w)) << i;
  }
  EXPECT_EQ(w.video_frame, 1);  // 1, 2, back to 0, then 1
  EXPECT_TRUE(text_drawn_at(w.x + 9, w.y + 30 + w.h - 31 - 16, "Frame 2/3", 0x888888));
  mediaplayer_press(w, centre_x, w.y + 32);  // the band above the letterboxed picture
  EXPECT_EQ(w.video_playing, 1u);
  mediaplayer_press(w, centre_x, centre_y);
  advance(30);
  paint(w);
  EXPECT_EQ((Ints{w.video_frame, i32(w.video_playing)}), (Ints{1, 0}));
  mediaplayer_press(w, centre_x, centre_y);
  paint(w);  // resuming waits a frame's time
  EXPECT_EQ(w.video_frame, 1);
  advance(3);
  paint(w);
  EXPECT_EQ(w.video_frame, 2);
}

TEST_F(MediaPlayer, DamagedFilesAreNamed) {
  Bytes wide = three_frames, empty = three_frames, zero_width = three_frames;
  wide[4] = 0x02;  // 532 pixels wide
  empty[11] = 0;
  zero_width[5] = 0;
  const Bytes headless(three_frames.begin() + 1, three_frames.end());
  // The player's own checks; the decoder's words for each damaged frame are its tests' business.
  const std::pair<Bytes, const char*> cases[] = {
      {{'Z', 'E', 'V'}, "Invalid video data"}, {headless, "Invalid ZEVA header"}, {wide, "Frame too large"},
      {zero_width, "Invalid video data"},      {empty, "No video data"}};
  for (const auto& [content, text] : cases) {
    reset_desktop();
    clear(0);
    paint(open("bad.zeva", content));
    EXPECT_TRUE(says(text, text == std::string("No video data"))) << text;
  }
  reset_desktop();
  open_file_in_app(make_file("notes.mp4", "just text"));
  paint(windows[focused_window]);
  EXPECT_TRUE(says("Invalid video data"));
}

}  // namespace
}  // namespace tavlin::test
