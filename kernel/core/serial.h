// Write-only diagnostic log on COM1 (38400 baud, 8N1, CR LF line ends).
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

void serial_init();
void serial_putc(char c);
void serial_puts(const char* s);
void serial_hex32(u32 value);
void serial_hex8(u8 value);
void serial_dec32(u32 value);

}  // namespace tavlin
