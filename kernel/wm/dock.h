// The dock: pinned and running applications and the trash can.
#pragma once

namespace tavlin {

// Empties the dynamic dock records (start-up).
void dock_reset_dynamic();

}  // namespace tavlin
