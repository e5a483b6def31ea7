// Stand-in file tree population.
#include "kernel/fs/fs.h"

namespace tavlin {

void fs_init() {}

}  // namespace tavlin
