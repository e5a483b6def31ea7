// Stand-ins for the applications that have not landed: their windows open,
// animate and close, and their content area shows only its background. Each
// routine moves to its application's own file when that lands.
#include "kernel/apps/apps.h"

#include "kernel/core/kstring.h"
#include "kernel/wm/window.h"

namespace tavlin {

void draw_app_zivirerev(StoreState*, i32, i32, i32, i32) {}

}  // namespace tavlin
