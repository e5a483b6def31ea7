// The upload dialog's opening, its Upload button and its keys: typing into
// the name and description, Esc, and walking the file picker.
#include "kernel/apps/upload_dialog.h"

#include "kernel/apps/store.h"
#include "kernel/core/kstring.h"
#include "kernel/core/timer.h"
#include "kernel/net/http.h"
#include "kernel/wm/dispatch_keys.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr u32 kUploadNameCap = 64;
constexpr u32 kUploadDescCap = 160;
constexpr u32 kNameLongest = 63;
constexpr u32 kDescLongest = 255;
constexpr u8 kTab = 9;

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
  d.picker_sel = -1;
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

namespace {

void picker_key(u8 c) {
  UploadDialog& d = upload_dialog;
  if (c == dispatch::key::kEscape)
    d.picker_open = 0;
  else if (c == 'k' || c == 'H')
    upload_picker_step(-1);
  else if (c == 'j' || c == 'P')
    upload_picker_step(1);
  else if (c == dispatch::key::kEnter)
    upload_picker_choose(d.picker_sel);
  else if (c == dispatch::key::kBackspace)
    upload_picker_up();
}

}  // namespace

void upload_dialog_key(u8 c) {
  UploadDialog& d = upload_dialog;
  if (!d.active) return;
  if (d.picker_open) {
    picker_key(c);
  } else if (c == dispatch::key::kEscape) {
    d.active = 0;
  } else if (c == kTab) {
    d.focused_field = d.focused_field ? 0 : 1;
  } else if (d.focused_field == 0) {
    if (c == dispatch::key::kEnter)
      d.focused_field = 1;
    else
      dispatch::edit_field(d.name, kNameLongest, c);
  } else if (c != dispatch::key::kEnter) {
    dispatch::edit_field(d.desc, kDescLongest, c);
  }
}

}  // namespace tavlin
