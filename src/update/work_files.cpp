#include "update/work_files.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "files/utf8_path.h"

namespace lw {

namespace {
Error error_from(const std::error_code& ec) { return Error{ec.value(), ec.message()}; }
}  // namespace

std::string installer_file_name(std::string_view version) {
  std::string name = "Linewick-Setup-";
  name += version;
  name += ".exe";
  return name;
}

Result<std::filesystem::path> default_work_folder() {
  std::error_code ec;
  std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) return fail(error_from(ec));
  return temp / path_from_utf8(work_folder_name());
}

void remove_quietly(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

Result<std::string> read_whole_file(const std::filesystem::path& file) {
  // The stream doesn't say why it failed; the C library's errno does.
  const auto failure = [&file](int code) {
    if (code == 0) code = static_cast<int>(std::errc::io_error);
    return fail(Error{
        code, utf8_from_path(file.filename()) + ": " + std::generic_category().message(code)});
  };
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) return failure(errno);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return failure(errno);
  return text;
}

Result<uint64_t> file_length(const std::filesystem::path& file) {
  std::error_code ec;
  const std::uintmax_t n = std::filesystem::file_size(file, ec);
  if (ec) return fail(error_from(ec));
  return static_cast<uint64_t>(n);
}

}  // namespace lw
