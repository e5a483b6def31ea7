// Application launching: opening an application by kind, opening a file in
// the application that handles it, and naming that application.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// Focuses the window of that kind, or opens one.
void open_app(i32 kind);
// Focuses the window showing the file, or opens one in its application.
void open_file_in_app(i32 node);
// The application for a live file: 5 TextEdit, 6 image viewer, 9 media player.
i32 get_app_for_file(i32 node);

}  // namespace tavlin
