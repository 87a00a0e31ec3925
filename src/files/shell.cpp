#include "files/shell.h"

#include "files/log_folder.h"

namespace lw {

Status open_log_folder(const std::filesystem::path& folder) {
  if (Status s = ensure_folder(folder); !s) return s;
  return open_file(folder);
}

std::string explorer_select_argument(std::string_view path) {
  std::string out = "/select,\"";
  out += path;
  out += '"';
  return out;
}

}  // namespace lw
