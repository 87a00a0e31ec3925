#include "update/workers.h"

#include "files/utf8_path.h"
#include "update/download.h"
#include "update/signature.h"
#include "update/update_texts.h"
#include "update/version.h"
#include "update/work_files.h"

namespace lw {

namespace {

Result<std::filesystem::path> work_folder(const UpdateConfig& config) {
  std::filesystem::path folder = config.work_folder;
  if (folder.empty()) {
    Result<std::filesystem::path> temp = default_work_folder();
    if (!temp) return fail(temp.error());
    folder = std::move(*temp);
  }
  if (Status made = ensure_private_folder(folder); !made) return fail(made.error());
  return folder;
}

CheckResult check_error(std::string text, bool by_user) {
  CheckResult r;
  r.kind = CheckResult::Kind::Error;
  r.error = std::move(text);
  r.by_user = by_user;
  return r;
}

std::string lower_ascii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

}  // namespace

CheckResult run_check(UpdatePlatform& platform, const UpdateConfig& config,
                      std::string_view language, bool by_user) {
  Result<std::filesystem::path> folder = work_folder(config);
  if (!folder) return check_error(folder.error().text, by_user);
  const std::filesystem::path document = *folder / path_from_utf8(kDocumentFileName);
  remove_quietly(document);

  const std::string address =
      update_document_address(config.document_base, kProgramVersion, language);
  if (Status got = platform.download(address, document, kDocumentByteLimit); !got) {
    remove_quietly(document);
    return check_error(got.error().text, by_user);
  }
  Result<std::string> text = read_whole_file(document);
  remove_quietly(document);
  if (!text) return check_error(text.error().text, by_user);

  CheckResult r;
  r.by_user = by_user;
  r.kind = CheckResult::Kind::UpToDate;
  if (config.offer == UpdateOffer::DownloadPage) {
    Result<std::optional<DownloadPage>, std::string> page = parse_download_page(*text);
    if (!page) return check_error(page.error(), by_user);
    if (*page && is_newer_version((*page)->version)) {
      r.kind = CheckResult::Kind::PageAvailable;
      r.page = std::move(**page);
    }
    return r;
  }
  Result<UpdateInfo, std::string> info = parse_update_document(*text);
  if (!info) return check_error(info.error(), by_user);
  if (is_newer_version(info->version)) {
    r.kind = CheckResult::Kind::Available;
    r.info = std::move(*info);
  }
  return r;
}

DownloadResult run_download(UpdatePlatform& platform, const UpdateConfig& config,
                            const UpdateInfo& info) {
  Result<std::filesystem::path> folder = work_folder(config);
  if (!folder) return fail(folder.error().text);
  const std::filesystem::path target = *folder / path_from_utf8(installer_file_name(info.version));

  // Whatever fails from here on leaves no file behind.
  const auto reject = [&target](std::string text) -> DownloadResult {
    remove_quietly(target);
    return fail(std::move(text));
  };

  // Never handed to curl: an address it could read as an option.
  if (!is_https_address(info.url)) return fail(std::string(kManifestError));
  // An earlier file of that name is not reused, whatever it is.
  remove_quietly(target);
  const uint64_t limit = info.size > 0 ? info.size : kInstallerByteLimit;
  if (Status got = platform.download(info.url, target, limit); !got) {
    return reject(got.error().text);
  }

  if (info.size > 0) {
    Result<uint64_t> length = file_length(target);
    if (!length) return reject(length.error().text);
    if (*length != info.size) return reject(size_mismatch_text());
  }

  Result<Sha256Digest> digest = platform.sha256(target);
  if (!digest) return reject(digest.error().text);
  // An empty "sha256" never matches.
  if (hex_lower(*digest) != lower_ascii(info.sha256)) return reject(hash_mismatch_text());

  Result<std::string> signer = platform.signer_name(target, info.url);
  if (!signer || *signer != kSignerName) return reject(signature_failed_text());

  return target;
}

}  // namespace lw
