// Stand-ins for the network steps of start-up: no bus, no card.
#include "kernel/net/net_startup.h"

namespace tavlin {

void pci_list_devices() {}
u32 nic_probe() { return 0; }
void arp_cache_clear() {}
void dhcp_configure() {}
u32 detect_wifi_adapter() { return 0; }
void hda_detect() {}
void net_test_gateway() {}

}  // namespace tavlin
