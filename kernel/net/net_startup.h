// The network steps of start-up, in the order kmain runs them: bus listing,
// card probe, ARP cache reset and DHCP, device detection, gateway test.
#pragma once
#include "kernel/net/arp.h"
#include "kernel/net/device_detect.h"
#include "kernel/net/dhcp.h"
#include "kernel/net/nic.h"
#include "kernel/net/pci.h"
