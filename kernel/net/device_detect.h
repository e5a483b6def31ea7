// Start-up detection of a Wi-Fi adapter and an HD Audio controller.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

// 1 when a known Wi-Fi adapter was found.
u32 detect_wifi_adapter();
void hda_detect();

}  // namespace tavlin
