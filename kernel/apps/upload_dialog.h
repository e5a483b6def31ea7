// The Store's upload dialog: opening it, its Upload button and its keys.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Opens an empty dialog with the name field focused; it pops in from the
// current tick.
void upload_dialog_open();
// The Upload button: sends the chosen file under the typed name, or says
// what is missing.
void upload_dialog_submit();
// One typed character while the dialog is open.
void upload_dialog_key(u8 c);

}  // namespace tavlin
