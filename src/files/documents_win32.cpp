#include <windows.h>
// shlobj.h needs windows.h first.
#include <knownfolders.h>
#include <shlobj.h>

#include "files/log_folder.h"

namespace lw {

std::optional<std::filesystem::path> documents_folder() {
  PWSTR path = nullptr;
  const HRESULT hr = SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, &path);
  std::optional<std::filesystem::path> out;
  if (SUCCEEDED(hr) && path != nullptr && *path != L'\0') out = std::filesystem::path(path);
  CoTaskMemFree(path);
  return out;
}

}  // namespace lw
