#pragma once
// Who signed a downloaded installer.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

// The only signer whose installers are run, compared exactly.
inline constexpr std::string_view kSignerName = "Quorvane Co., Ltd.";

// Windows: the file's Authenticode signature, checked with WinVerifyTrust
// (no user interface, no revocation checks), gives the simple display name
// of the first certificate of signer 0.
// Linux: the OpenPGP detached signature at installer_url + ".sig" is
// downloaded beside the file (and deleted again), verified with GPGME
// against trusted_keys only, and gives the first user id of the signing key.
// Any failure is an error; the caller turns it into one message.
struct SignatureSource {
  std::string installer_url;
  std::string trusted_keys;  // armored OpenPGP public keys; unused on Windows
};
Result<std::string> verified_signer_name(const std::filesystem::path& file,
                                         const SignatureSource& source);

// The public keys built into the program (the build setting
// LINEWICK_UPDATE_KEY, Linux builds only; empty on Windows).
std::string_view built_in_signing_keys();

}  // namespace lw
