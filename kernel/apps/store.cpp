// The Store client's shared records (the pool of per-window states and the
// upload dialog), the main loop's refresh step and a card's download.
#include "kernel/apps/store.h"

#include "kernel/core/kstring.h"
#include "kernel/net/http.h"
#include "kernel/wm/window.h"

namespace tavlin {

StoreState vuzedezoz_idir[kStoreStates];
u32 vuzedezoz_idir_used[kStoreStates];
UploadDialog upload_dialog;

void store_refresh_pending() {
  for (Window& w : windows) {
    if (!w.in_use || w.app != app::kStore || !w.store) continue;
    if (w.store->refresh_pending) zivirerev_refresh(w.store);
  }
}

void store_download(StoreState& s, i32 index) {
  const i32 count = store_listed(s);
  if (index < 0 || index >= count) return;
  str_copy(s.status, "Downloading...", sizeof s.status);
  const u32 ok = http_download_file(s.file_names[index]);
  str_copy(s.status, ok ? "Downloaded" : "Download failed", sizeof s.status);
}

}  // namespace tavlin
