// The DEFLATE inflater (RFC 1951): one raw stream from memory into the one
// static output buffer png_zlib_out. Not reentrant: the buffer and the
// per-block tables are shared.
#pragma once
#include "kernel/codec/huffman.h"

namespace tavlin {

constexpr u32 kInflateOutSize = 0x101000;  // 1,052,672 bytes

extern u8 png_zlib_out[kInflateOutSize];

// Inflates a raw DEFLATE stream (no zlib header or checksum) into
// png_zlib_out. Returns the bytes written, or 0 for any malformed or
// oversized stream; output left after a failure means nothing.
u32 inflate_raw(const u8* input, u32 length);

// Decodes one Huffman-coded block's symbols up to its end-of-block symbol,
// appending at *out_pos. Returns 1, or 0 on any fault in the data.
u32 inflate_block_data(BitReader& r, const HuffTable& lit, const HuffTable& dist, u32* out_pos);

}  // namespace tavlin
