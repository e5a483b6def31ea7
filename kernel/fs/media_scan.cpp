// Stand-in Downloads scan.
#include "kernel/fs/media_scan.h"

namespace tavlin {

unsigned last_scan;
void downloads_media_scan() {}

}  // namespace tavlin
