// Opening the Trash window. Stand-in until the Trash window lands: a double
// click on the trash opens nothing yet.
#include "kernel/apps/trash_window.h"

namespace tavlin {

void open_trash_window() {}

}  // namespace tavlin
