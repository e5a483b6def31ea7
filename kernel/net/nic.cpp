// The card seam: dispatch to the active driver, and the start-up probe that
// prefers an e1000-family card and falls back to an RTL8139.
#include "kernel/net/nic.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/net/intel/e1000.h"
#include "kernel/net/realtek/rtl8139.h"

namespace tavlin {

u8 nic_mac[6];

namespace {

const NicDriver* active_driver;

}  // namespace

void nic_attach(const NicDriver& driver, const u8* mac) {
  active_driver = &driver;
  memcpy(nic_mac, mac, 6);
}

void nic_detach() {
  active_driver = nullptr;
  memset(nic_mac, 0, 6);
}

u32 nic_probe() {
  nic_detach();
  if (e1000_probe()) return 1;
  serial_puts("[e1000] No e1000-family NIC found on PCI bus\n");
  return rtl8139_probe();
}

u32 nic_send_packet(const u8* frame, u32 length) {
  if (!active_driver || !frame) return 0;
  return active_driver->send(frame, length);
}

u32 nic_poll_recv(u8* buffer) { return active_driver ? active_driver->poll(buffer) : 0; }

void serial_mac(const u8* mac) {
  for (u32 i = 0; i < 6; ++i) {
    if (i) serial_puts(":");
    serial_hex8(mac[i]);
  }
}

void nic_get_mac(u8* out) {
  if (active_driver)
    memcpy(out, nic_mac, 6);
  else
    memset(out, 0, 6);
}

u32 nic_link_up() { return active_driver ? active_driver->link_up() : 0; }

}  // namespace tavlin
