#pragma once
// The bodies of the check and download workers. They run on their own
// threads (see Updater) but are plain functions, so tests can call them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"
#include "update/platform.h"
#include "update/update_document.h"

namespace lw {

// What a newer release becomes for the user. Windows downloads, checks and
// runs the installer the document names. Linux, where the package manager
// updates the program, only points to the download page of the document's
// "linux" entry, and a document without one offers Linux nothing.
enum class UpdateOffer : uint8_t { Installer, DownloadPage };
// The one for this system.
UpdateOffer system_update_offer();

struct UpdateConfig {
  // The document's address without the query.
  std::string document_base = std::string(default_update_document_base());
  // Empty: default_work_folder().
  std::filesystem::path work_folder;
  UpdateOffer offer = system_update_offer();
};

struct CheckResult {
  enum class Kind : uint8_t { Error, UpToDate, Available, PageAvailable };
  Kind kind = Kind::Error;
  std::string error;  // Kind::Error
  UpdateInfo info;    // Kind::Available
  DownloadPage page;  // Kind::PageAvailable
  bool by_user = false;
};

// The installer's path, or the error text.
using DownloadResult = Result<std::filesystem::path, std::string>;

// Downloads the document (at most kDocumentByteLimit bytes) to the work
// folder's "update.json", reads and deletes it, and compares the version
// it offers this system (see UpdateOffer) with the program's.
CheckResult run_check(UpdatePlatform& platform, const UpdateConfig& config,
                      std::string_view language, bool by_user);

// Downloads the installer into the work folder, stopping at its announced
// size (kInstallerByteLimit when there is none), then checks its size, its
// SHA-256 and its signer, in that order; a file that fails a check is
// deleted before the error is returned. An address that isn't
// is_https_address() is refused before anything is downloaded.
DownloadResult run_download(UpdatePlatform& platform, const UpdateConfig& config,
                            const UpdateInfo& info);

}  // namespace lw
