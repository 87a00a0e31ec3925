#pragma once
// SHA-256 of a file (BCrypt on Windows, OpenSSL elsewhere).
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/result.h"

namespace lw {

using Sha256Digest = std::array<uint8_t, 32>;

// Reads the whole file; a read error gives the system's text.
Result<Sha256Digest> sha256_file(const std::filesystem::path& file);

// 64 lower-case hexadecimal digits.
std::string hex_lower(const Sha256Digest& digest);

}  // namespace lw
