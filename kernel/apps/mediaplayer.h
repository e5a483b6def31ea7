// The media player: opening a ZEVA file into a player window, pausing and
// resuming by a click on the picture, and the shared picture its paint
// shows, kept in step with the window's frame index.
#pragma once
#include "kernel/core/types.h"
#include "kernel/gfx/decoded_image.h"

namespace tavlin {

struct Window;

constexpr u32 kVideoTicksPerFrame = 3;

// The picture the player draws: the current frame converted to 0xAARRGGBB.
extern DecodedImage mediaplayer_picture;

// Copies the file's width, height and frame count into a player window
// whose doc_node is set, and starts it playing from frame 0. A file that
// is no ZEVA video gets one frame, so that its paint names the fault.
void mediaplayer_open(Window& win);
// A left press at (cx, cy): on the picture it pauses or resumes playback.
void mediaplayer_press(Window& win, i32 cx, i32 cy);

// The file a picture is decoded from.
struct VideoSource {
  const u8* data;
  u32 size;
  u32 width, height;
};
// Makes the shared picture frame k of the source: applies only frame k when
// the picture holds frame k - 1 of it, does nothing when it holds frame k,
// and otherwise rebuilds it from the last key frame at or before k. Returns
// null, or the message for the user.
const char* video_show_frame(const VideoSource& src, i32 k);
// Forgets what the picture holds (tests, and before a file's bytes change).
void video_picture_forget();

}  // namespace tavlin
