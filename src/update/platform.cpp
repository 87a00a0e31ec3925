#include "update/platform.h"

#include "update/download.h"
#include "update/process.h"
#include "update/signature.h"

namespace lw {

namespace {

class SystemUpdatePlatform final : public UpdatePlatform {
 public:
  explicit SystemUpdatePlatform(std::string trusted_keys)
      : trusted_keys_(std::move(trusted_keys)) {}

  Status download(const std::string& url, const std::filesystem::path& output,
                  uint64_t max_bytes) override {
    return download_file(url, output, max_bytes);
  }
  Result<Sha256Digest> sha256(const std::filesystem::path& file) override {
    return sha256_file(file);
  }
  Result<std::string> signer_name(const std::filesystem::path& file,
                                  const std::string& url) override {
    return verified_signer_name(file, SignatureSource{url, trusted_keys_});
  }
  Status start_installer(const std::filesystem::path& file) override {
    return start_program(file, kInstallerArguments);
  }

 private:
  const std::string trusted_keys_;  // read-only, so threads may share it
};

}  // namespace

std::shared_ptr<UpdatePlatform> make_update_platform() {
  return make_update_platform(std::string(built_in_signing_keys()));
}

std::shared_ptr<UpdatePlatform> make_update_platform(std::string trusted_keys) {
  return std::make_shared<SystemUpdatePlatform>(std::move(trusted_keys));
}

}  // namespace lw
