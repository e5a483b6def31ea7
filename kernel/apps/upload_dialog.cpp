// The upload dialog's opening and its Upload button. Its key handling is a
// stand-in until the Store lands: typed characters are dropped.
#include "kernel/apps/upload_dialog.h"

#include "kernel/apps/store.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/http.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kUploadNameCap = 64;
constexpr u32 kUploadDescCap = 160;

void say(const char* message) { str_copy(upload_dialog.message, message, sizeof upload_dialog.message); }

// Every open store remembers the upload, so the next list that names the
// file shows its description, and asks for that list.
void tell_open_stores() {
  for (Window& w : windows) {
    if (!w.in_use || w.app != app::kStore || !w.store) continue;
    str_copy(w.store->last_upload_name, upload_dialog.name, kUploadNameCap);
    str_copy(w.store->last_upload_desc, upload_dialog.desc, kUploadDescCap);
    w.store->refresh_pending = 1;
  }
}

}  // namespace

void upload_dialog_open() {
  UploadDialog& d = upload_dialog;
  memset(&d, 0, sizeof d);
  d.active = 1;
  d.popin_active = 1;
  d.popin_start_tick = ticks_now();
  d.popin_scale = 0;
  d.picker_open = 0;
  d.picker_sel = -1;
  d.focused_field = 0;
  say("Fill in the details");
}

void upload_dialog_submit() {
  UploadDialog& d = upload_dialog;
  if (!d.file_path[0] || !d.name[0]) {
    say("Please select a file and enter a name");
    return;
  }
  if (!http_post_file(kDefaultStoreServerUrl, d.file_path, d.name)) {
    say("Upload failed!");
    return;
  }
  say("Upload successful!");
  tell_open_stores();
  d.active = 0;
}

void upload_dialog_key(u8) {}

}  // namespace tavlin
