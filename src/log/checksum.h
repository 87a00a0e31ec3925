#pragma once
// The checks a fixed-length frame may end with: a one-byte sum or xor, or
// one of the CRCs devices use, each stored in the frame's last bytes in the
// order that CRC's devices send it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "session/records.h"

namespace lw {

// CRC-8, polynomial 0x07, initial 0, not reflected ("123456789": 0xF4).
uint8_t crc8(std::span<const uint8_t> bytes);
// CRC-16/MODBUS: polynomial 0x8005 reflected, initial 0xFFFF (0x4B37).
uint16_t crc16_modbus(std::span<const uint8_t> bytes);
// CRC-16/CCITT-FALSE: polynomial 0x1021, initial 0xFFFF, not reflected (0x29B1).
uint16_t crc16_ccitt_false(std::span<const uint8_t> bytes);
// CRC-32 (IEEE 802.3, zlib): polynomial 0x04C11DB7 reflected, initial and
// final xor 0xFFFFFFFF (0xCBF43926).
uint32_t crc32_ieee(std::span<const uint8_t> bytes);

// How many bytes at the frame's end hold the check; 0 for None.
size_t check_size(ChecksumKind kind);

// Whether the frame's last check_size(kind) bytes hold the check of the
// bytes before them. A frame no longer than its check never matches.
bool frame_check_matches(ChecksumKind kind, std::span<const uint8_t> frame);

}  // namespace lw
