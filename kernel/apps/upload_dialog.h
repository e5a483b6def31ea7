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

// The file picker: open at "/" with nothing selected; move the selection
// one entry back (-1) or forward (+1), wrapping; take a node (a folder is
// entered, a file becomes the file to send and closes the picker); go up to
// the parent folder.
void upload_picker_open();
void upload_picker_step(i32 direction);
void upload_picker_choose(i32 node);
void upload_picker_up();

}  // namespace tavlin
