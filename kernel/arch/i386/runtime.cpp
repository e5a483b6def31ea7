// What the compiler may call on its own in a freestanding image: the C
// memory routines (for structure copies) and the pure-virtual trap.
#include "kernel/arch/hw.h"
#include "kernel/core/kstring.h"

extern "C" {

void* memcpy(void* dst, const void* src, tavlin::usize n) { return tavlin::memcpy(dst, src, n); }
void* memmove(void* dst, const void* src, tavlin::usize n) { return tavlin::memmove(dst, src, n); }
void* memset(void* dst, int byte, tavlin::usize n) { return tavlin::memset(dst, byte, n); }
int memcmp(const void* a, const void* b, tavlin::usize n) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (tavlin::usize i = 0; i < n; ++i)
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  return 0;
}
void __cxa_pure_virtual() { tavlin::hw::halt_forever(); }

}
