// The constant tables of the DEFLATE format (RFC 1951, 3.2.5 and 3.2.7).
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kLengthCodes = 29;    // symbols 257..285
constexpr u32 kDistanceCodes = 30;  // symbols 0..29
constexpr u32 kEndOfBlock = 256;
constexpr u32 kFirstLengthSymbol = 257;
constexpr u32 kStoredHeaderBytes = 4;  // LEN and NLEN

constexpr u8 CLEN_ORDER[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr u16 LEN_BASE[kLengthCodes] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                        31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr u8 LEN_EXTRA[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                        2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

constexpr u16 DIST_BASE[kDistanceCodes] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,
                                           33,   49,   65,   97,   129,  193,   257,   385,   513,   769,
                                           1025, 1537, 2049, 3073, 4097, 6145,  8193,  12289, 16385, 24577};
constexpr u8 DIST_EXTRA[kDistanceCodes] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

}  // namespace tavlin
