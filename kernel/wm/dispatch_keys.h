// Typed characters as the keyboard ring carries them, and their routing to
// the focused window's application.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

struct Window;

namespace dispatch {
namespace key {
constexpr u8 kBackspace = 8;
constexpr u8 kEnter = 10;
constexpr u8 kEscape = 27;
constexpr u8 kFirstPrintable = 0x20;
constexpr u8 kLastPrintable = 0x7E;
}  // namespace key

inline bool printable(u8 c) { return c >= key::kFirstPrintable && c <= key::kLastPrintable; }

// One character into a NUL-terminated field of at most `longest`
// characters: Backspace removes the last one, a printable character is
// appended while there is room, anything else is ignored.
void edit_field(char* field, u32 longest, u8 c);

// One character for the focused window, by its application.
void route_key(Window& win, u8 c);

}  // namespace dispatch
}  // namespace tavlin
