// The one seam between the protocol stack and the card: send a frame, poll a
// frame, read the MAC, ask for link. The probe decides which driver sits
// behind it; nothing above this header knows which card it is.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kNicBufferSize = 2048;  // what nic_poll_recv may write

struct NicDriver {
  u32 (*send)(const u8* frame, u32 length);
  u32 (*poll)(u8* buffer);
  u32 (*link_up)();
};

// The system's own address, the source of every frame we build.
extern u8 nic_mac[6];

// Finds and brings up a card, e1000 family first; 1 when one came up.
u32 nic_probe();

u32 nic_send_packet(const u8* frame, u32 length);
u32 nic_poll_recv(u8* buffer);
void nic_get_mac(u8* out);
// Logs a MAC address as six hex pairs joined by colons.
void serial_mac(const u8* mac);
u32 nic_link_up();

// Puts a driver behind the seam with its MAC (the drivers do this once they
// are up; host tests plug in a scripted card). nic_detach leaves no card.
void nic_attach(const NicDriver& driver, const u8* mac);
void nic_detach();

}  // namespace tavlin
