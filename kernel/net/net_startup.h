// The network steps of start-up: bus listing, card probe, DHCP, device
// detection and the gateway test.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

void pci_list_devices();
// 1 when a card was found and brought up.
u32 nic_probe();
void arp_cache_clear();
void dhcp_configure();
u32 detect_wifi_adapter();
void hda_detect();
void net_test_gateway();

}  // namespace tavlin
