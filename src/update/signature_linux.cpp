// In place of Authenticode: an OpenPGP detached signature beside the
// installer, verified by GPGME in a keyring of its own that holds only the
// trusted keys.
#include <fcntl.h>
#include <gpgme.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <type_traits>
#include <vector>

#include "update/download.h"
#include "update/fresh_file_linux.h"
#include "update/signature.h"
#include "update/work_files.h"

namespace lw {

namespace {

Error gpg_error(gpgme_error_t err) {
  char text[256] = {};
  gpgme_strerror_r(err, text, sizeof text);
  return Error{static_cast<int>(gpgme_err_code(err)), text};
}

struct ReleaseContext {
  void operator()(gpgme_ctx_t c) const { gpgme_release(c); }
};
struct ReleaseData {
  void operator()(gpgme_data_t d) const { gpgme_data_release(d); }
};
struct ReleaseKey {
  void operator()(gpgme_key_t k) const { gpgme_key_unref(k); }
};
using Context = std::unique_ptr<std::remove_pointer_t<gpgme_ctx_t>, ReleaseContext>;
using Data = std::unique_ptr<std::remove_pointer_t<gpgme_data_t>, ReleaseData>;
using Key = std::unique_ptr<std::remove_pointer_t<gpgme_key_t>, ReleaseKey>;

// A fresh GNUPGHOME for one verification, removed with everything in it.
class TemporaryHome {
 public:
  TemporaryHome() {
    std::error_code ec;
    const std::string pattern =
        (std::filesystem::temp_directory_path(ec) / "linewick-gpg-XXXXXX").string();
    if (ec) return;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return;
    path_ = buffer.data();
    // Nothing here may start an agent or reach a key server.
    Status written = write_config();
    if (!written) path_.clear();
  }
  ~TemporaryHome() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TemporaryHome(const TemporaryHome&) = delete;
  TemporaryHome& operator=(const TemporaryHome&) = delete;

  const std::string& path() const { return path_; }

 private:
  // No agent, no key server, and never a key taken from the signature
  // itself (a signature can carry its signer's key): whatever gpg's
  // defaults are, only the imported trusted keys count.
  Status write_config() const {
    Result<int> fd = create_fresh_file(path_ + "/gpg.conf");
    if (!fd) return fail(fd.error());
    static constexpr std::string_view kText =
        "no-autostart\nno-auto-key-retrieve\nno-auto-key-import\n";
    const bool ok = write(*fd, kText.data(), kText.size()) == static_cast<ssize_t>(kText.size());
    const bool closed = close(*fd) == 0;
    if (!ok || !closed) return fail(Error{errno, "gpg.conf"});
    return {};
  }

  std::string path_;
};

Status engine_ready() {
  static std::once_flag once;
  static gpgme_error_t engine = 0;
  std::call_once(once, [] {
    gpgme_check_version(nullptr);
    engine = gpgme_engine_check_version(GPGME_PROTOCOL_OpenPGP);
  });
  if (engine != 0) return fail(gpg_error(engine));
  return {};
}

// The signature is good, made by one of the trusted keys (by fingerprint,
// so a key that found its way into the keyring otherwise doesn't count),
// neither it nor the key has expired or been revoked: the signing key's
// first user id.
Result<std::string> signer_of(gpgme_ctx_t ctx, gpgme_signature_t sig,
                              const std::vector<std::string>& trusted) {
  if (sig == nullptr) return fail(Error{0, "no signature"});
  if (gpgme_err_code(sig->status) != GPG_ERR_NO_ERROR) return fail(gpg_error(sig->status));
  constexpr unsigned kRefused = GPGME_SIGSUM_RED | GPGME_SIGSUM_KEY_REVOKED |
                                GPGME_SIGSUM_KEY_EXPIRED | GPGME_SIGSUM_SIG_EXPIRED |
                                GPGME_SIGSUM_KEY_MISSING | GPGME_SIGSUM_SYS_ERROR;
  if ((static_cast<unsigned>(sig->summary) & kRefused) != 0 || sig->wrong_key_usage) {
    return fail(Error{0, "signature refused"});
  }
  if (sig->fpr == nullptr) return fail(Error{0, "no signer"});
  gpgme_key_t raw = nullptr;
  if (gpgme_error_t err = gpgme_get_key(ctx, sig->fpr, &raw, 0); err != 0) {
    return fail(gpg_error(err));
  }
  const Key key(raw);
  if (key->fpr == nullptr || std::find(trusted.begin(), trusted.end(), key->fpr) == trusted.end()) {
    return fail(Error{0, "untrusted key"});
  }
  if (key->uids == nullptr || key->uids->uid == nullptr) return fail(Error{0, "no user id"});
  return std::string(key->uids->uid);
}

Result<std::string> verify_detached(const std::filesystem::path& file, const std::string& signature,
                                    const std::string& trusted_keys) {
  if (Status ready = engine_ready(); !ready) return fail(ready.error());
  const TemporaryHome home;
  if (home.path().empty()) return fail(Error{0, "no temporary keyring"});

  gpgme_ctx_t raw_ctx = nullptr;
  if (gpgme_error_t err = gpgme_new(&raw_ctx); err != 0) return fail(gpg_error(err));
  const Context ctx(raw_ctx);
  if (gpgme_error_t err = gpgme_ctx_set_engine_info(ctx.get(), GPGME_PROTOCOL_OpenPGP, nullptr,
                                                    home.path().c_str());
      err != 0) {
    return fail(gpg_error(err));
  }
  gpgme_set_offline(ctx.get(), 1);

  gpgme_data_t raw = nullptr;
  if (gpgme_error_t err =
          gpgme_data_new_from_mem(&raw, trusted_keys.data(), trusted_keys.size(), 0);
      err != 0) {
    return fail(gpg_error(err));
  }
  const Data keys(raw);
  if (gpgme_error_t err = gpgme_op_import(ctx.get(), keys.get()); err != 0) {
    return fail(gpg_error(err));
  }
  const gpgme_import_result_t imported = gpgme_op_import_result(ctx.get());
  if (imported == nullptr || imported->imported == 0) return fail(Error{0, "no trusted key"});
  std::vector<std::string> trusted;
  for (gpgme_import_status_t i = imported->imports; i != nullptr; i = i->next) {
    if (i->fpr != nullptr && gpgme_err_code(i->result) == GPG_ERR_NO_ERROR)
      trusted.emplace_back(i->fpr);
  }

  if (gpgme_error_t err = gpgme_data_new_from_mem(&raw, signature.data(), signature.size(), 0);
      err != 0) {
    return fail(gpg_error(err));
  }
  const Data sig(raw);

  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(Error{errno, std::generic_category().message(errno)});
  Result<std::string> signer = fail(Error{0, "not verified"});
  if (gpgme_data_new_from_fd(&raw, fd) == 0) {
    const Data signed_data(raw);
    const gpgme_error_t err = gpgme_op_verify(ctx.get(), sig.get(), signed_data.get(), nullptr);
    if (err != 0) {
      signer = fail(gpg_error(err));
    } else if (const gpgme_verify_result_t result = gpgme_op_verify_result(ctx.get())) {
      signer = signer_of(ctx.get(), result->signatures, trusted);
    }
  }
  close(fd);
  return signer;
}

}  // namespace

Result<std::string> verified_signer_name(const std::filesystem::path& file,
                                         const SignatureSource& source) {
  std::filesystem::path sig_file = file;
  sig_file += ".sig";
  if (Status got = download_file(source.installer_url + ".sig", sig_file, kSignatureByteLimit);
      !got) {
    remove_quietly(sig_file);
    return fail(got.error());
  }
  Result<std::string> signature = read_whole_file(sig_file);
  remove_quietly(sig_file);
  if (!signature) return fail(signature.error());
  return verify_detached(file, *signature, source.trusted_keys);
}

}  // namespace lw
