// Desktop icons mirroring the Desktop folder.
#pragma once

namespace tavlin {

// Clears the icon table and its selection state (start-up).
void desktop_icons_reset();
void desktop_icons_sync();

}  // namespace tavlin
