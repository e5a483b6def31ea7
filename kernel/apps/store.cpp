// Stand-in Store client.
#include "kernel/apps/store.h"

namespace tavlin {

void store_refresh_pending() {}

}  // namespace tavlin
