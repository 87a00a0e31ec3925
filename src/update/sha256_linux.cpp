#include <openssl/evp.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

#include "base/system_error.h"
#include "update/sha256.h"

namespace lw {

namespace {

struct CloseFile {
  void operator()(FILE* f) const { std::fclose(f); }
};
struct FreeContext {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

Error digest_error() { return Error{0, "SHA-256 failed"}; }

}  // namespace

Result<Sha256Digest> sha256_file(const std::filesystem::path& file) {
  std::unique_ptr<FILE, CloseFile> in(std::fopen(file.c_str(), "rb"));
  if (!in) return fail(errno_error(errno));
  std::unique_ptr<EVP_MD_CTX, FreeContext> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return fail(digest_error());

  std::vector<unsigned char> buffer(64 * 1024);
  for (;;) {
    const size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get());
    if (n > 0 && EVP_DigestUpdate(ctx.get(), buffer.data(), n) != 1) return fail(digest_error());
    if (n < buffer.size()) {
      if (std::ferror(in.get())) return fail(errno_error(errno));
      break;
    }
  }
  Sha256Digest digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), digest.data(), &length) != 1 || length != digest.size()) {
    return fail(digest_error());
  }
  return digest;
}

}  // namespace lw
