// Stand-in for the bytecode machine until it lands: a loaded program is
// accepted and left exactly as loaded, so the loader and its callers can be
// built and tested against the real state record.
#include "kernel/script/vm.h"

namespace tavlin {

void vm_execute(VmState&) {}

}  // namespace tavlin
