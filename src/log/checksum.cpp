#include "log/checksum.h"

namespace lw {

uint8_t crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (const uint8_t b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) {
      crc = (crc & 0x80) != 0 ? static_cast<uint8_t>((crc << 1) ^ 0x07)
                              : static_cast<uint8_t>(crc << 1);
    }
  }
  return crc;
}

uint16_t crc16_modbus(std::span<const uint8_t> bytes) {
  uint16_t crc = 0xFFFF;
  for (const uint8_t b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) {
      crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                           : static_cast<uint16_t>(crc >> 1);
    }
  }
  return crc;
}

uint16_t crc16_ccitt_false(std::span<const uint8_t> bytes) {
  uint16_t crc = 0xFFFF;
  for (const uint8_t b : bytes) {
    crc ^= static_cast<uint16_t>(b << 8);
    for (int i = 0; i < 8; ++i) {
      crc = (crc & 0x8000) != 0 ? static_cast<uint16_t>((crc << 1) ^ 0x1021)
                                : static_cast<uint16_t>(crc << 1);
    }
  }
  return crc;
}

uint32_t crc32_ieee(std::span<const uint8_t> bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const uint8_t b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

size_t check_size(ChecksumKind kind) {
  switch (kind) {
    case ChecksumKind::None:
      return 0;
    case ChecksumKind::Sum:
    case ChecksumKind::Xor:
    case ChecksumKind::Crc8:
      return 1;
    case ChecksumKind::Crc16Modbus:
    case ChecksumKind::Crc16Ccitt:
      return 2;
    case ChecksumKind::Crc32:
      return 4;
  }
  return 0;
}

bool frame_check_matches(ChecksumKind kind, std::span<const uint8_t> frame) {
  const size_t k = check_size(kind);
  if (k == 0 || frame.size() <= k) return false;
  const std::span<const uint8_t> data = frame.first(frame.size() - k);
  const std::span<const uint8_t> check = frame.last(k);
  switch (kind) {
    case ChecksumKind::Sum: {
      uint8_t acc = 0;
      for (const uint8_t b : data) acc = static_cast<uint8_t>(acc + b);
      return acc == check[0];
    }
    case ChecksumKind::Xor: {
      uint8_t acc = 0;
      for (const uint8_t b : data) acc ^= b;
      return acc == check[0];
    }
    case ChecksumKind::Crc8:
      return crc8(data) == check[0];
    case ChecksumKind::Crc16Modbus: {
      // Low byte first, as Modbus RTU sends it.
      const uint16_t c = crc16_modbus(data);
      return check[0] == (c & 0xFF) && check[1] == (c >> 8);
    }
    case ChecksumKind::Crc16Ccitt: {
      const uint16_t c = crc16_ccitt_false(data);
      return check[0] == (c >> 8) && check[1] == (c & 0xFF);
    }
    case ChecksumKind::Crc32: {
      const uint32_t c = crc32_ieee(data);
      for (size_t i = 0; i < 4; ++i) {
        if (check[i] != ((c >> (8 * i)) & 0xFF)) return false;
      }
      return true;
    }
    case ChecksumKind::None:
      break;
  }
  return false;
}

}  // namespace lw
