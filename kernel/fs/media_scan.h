// The once-a-second look for new media files in Downloads.
#pragma once

namespace tavlin {

extern unsigned last_scan;
void downloads_media_scan();

}  // namespace tavlin
