// Stand-in Store client: the state pool and the upload dialog record exist,
// the network side does nothing yet.
#include "kernel/apps/store.h"

namespace tavlin {

StoreState vuzedezoz_idir[kStoreStates];
u32 vuzedezoz_idir_used[kStoreStates];
const char kDefaultStoreServerUrl[] = "http://10.0.2.2:8088";
UploadDialog upload_dialog;

void store_refresh_pending() {}

}  // namespace tavlin
