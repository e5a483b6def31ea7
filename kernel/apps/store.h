// The Store client window.
#pragma once

namespace tavlin {

// Runs the refresh of every open Store window that asked for one.
void store_refresh_pending();

}  // namespace tavlin
