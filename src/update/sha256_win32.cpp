#include <windows.h>
// bcrypt.h needs windows.h first.
#include <bcrypt.h>

#include <vector>

#include "base/system_error.h"
#include "update/sha256.h"

namespace lw {

namespace {

struct Handles {
  HANDLE file = INVALID_HANDLE_VALUE;
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~Handles() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

// NTSTATUS values below 0 are failures.
bool failed(NTSTATUS status) { return status < 0; }
Error bcrypt_error(NTSTATUS status) {
  return Error{
      static_cast<int>(status),
      "SHA-256 failed (BCrypt " + std::to_string(static_cast<unsigned long>(status)) + ")"};
}

}  // namespace

Result<Sha256Digest> sha256_file(const std::filesystem::path& file) {
  Handles h;
  h.file = CreateFileW(file.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h.file == INVALID_HANDLE_VALUE) return fail(windows_error(GetLastError()));
  if (NTSTATUS s = BCryptOpenAlgorithmProvider(&h.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
      failed(s)) {
    return fail(bcrypt_error(s));
  }
  if (NTSTATUS s = BCryptCreateHash(h.algorithm, &h.hash, nullptr, 0, nullptr, 0, 0); failed(s)) {
    return fail(bcrypt_error(s));
  }
  std::vector<UCHAR> buffer(64 * 1024);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h.file, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
      return fail(windows_error(GetLastError()));
    }
    if (n == 0) break;
    if (NTSTATUS s = BCryptHashData(h.hash, buffer.data(), n, 0); failed(s)) {
      return fail(bcrypt_error(s));
    }
  }
  Sha256Digest digest{};
  if (NTSTATUS s = BCryptFinishHash(h.hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
      failed(s)) {
    return fail(bcrypt_error(s));
  }
  return digest;
}

}  // namespace lw
