// The pictures of the sample media: a lake at dusk (the YRF image), the
// TavlinOS emblem (the PNG) and a little animated meadow (the video).
#pragma once
#include "tools/media/canvas.h"

namespace media {

constexpr int kLakeWidth = 512, kLakeHeight = 379;
constexpr int kEmblemWidth = 480, kEmblemHeight = 320;
constexpr int kMeadowWidth = 160, kMeadowHeight = 134;
constexpr int kMeadowFrames = 48;  // one seamless loop

Canvas draw_lake_at_dusk();
Canvas draw_emblem();
// Frame `frame` of kMeadowFrames; the last leads back into the first.
Canvas draw_meadow_frame(int frame);

}  // namespace media
