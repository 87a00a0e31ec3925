#pragma once
// What the updater needs from the system, behind one interface so the
// check and download logic runs in tests against a fake. Calls come from
// the two workers and the window thread at once, so an implementation must
// be safe to call from several threads.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "base/result.h"
#include "update/sha256.h"

namespace lw {

class UpdatePlatform {
 public:
  virtual ~UpdatePlatform() = default;
  // See download_file().
  virtual Status download(const std::string& url, const std::filesystem::path& output,
                          uint64_t max_bytes) = 0;
  virtual Result<Sha256Digest> sha256(const std::filesystem::path& file) = 0;
  // See verified_signer_name(); url is where the installer came from.
  virtual Result<std::string> signer_name(const std::filesystem::path& file,
                                          const std::string& url) = 0;
  // With kInstallerArguments.
  virtual Status start_installer(const std::filesystem::path& file) = 0;
};

// The real one; trusted_keys replaces the built-in OpenPGP keys (tests use
// a key of their own; ignored on Windows).
std::shared_ptr<UpdatePlatform> make_update_platform();
std::shared_ptr<UpdatePlatform> make_update_platform(std::string trusted_keys);

}  // namespace lw
