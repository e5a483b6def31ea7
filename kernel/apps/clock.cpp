// The Clock's time-zone offset. The dial, the digital time and the
// wall-clock reading land here with the Clock.
#include "kernel/apps/clock.h"

namespace tavlin {

i32 timezone_offset_hours;

}  // namespace tavlin
