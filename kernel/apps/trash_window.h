// The Trash window, which lists what has been deleted.
#pragma once

namespace tavlin {

// Restores and focuses the Trash window, or opens one.
void open_trash_window();

}  // namespace tavlin
