#include "settings/settings_file.h"

#include <fstream>
#include <system_error>

#include "base/text_file.h"

namespace lw {

namespace fs = std::filesystem;

FileRead read_stored_file(const fs::path& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (st.type() == fs::file_type::not_found) return {};
  if (ec || !fs::is_regular_file(st)) return {ReadOutcome::Unreadable, {}};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {ReadOutcome::Unreadable, {}};
  std::string bytes;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return {ReadOutcome::Unreadable, {}};
  return {ReadOutcome::Read, std::move(bytes)};
}

FileSettings::FileSettings(fs::path folder) : folder_(std::move(folder)) {
  if (!folder_.empty()) file_ = folder_ / kFileName;
}

const StoredValue* FileSettings::find(std::string_view subkey, std::string_view name) {
  if (file_.empty()) return nullptr;
  const std::optional<FileStamp> stamp = file_stamp(file_);
  if (!stamp) {
    stamp_.reset();
    return nullptr;
  }
  if (stamp != stamp_) {
    FileRead r = read_stored_file(file_);
    parsed_ = r.outcome == ReadOutcome::Read ? parse_store(r.bytes).data : StoreData();
    stamp_ = stamp;
  }
  return parsed_.find(subkey, name);
}

std::optional<fs::path> FileSettings::free_backup_name() const {
  for (int n = 1; n < 1000; ++n) {
    fs::path candidate = file_;
    candidate += ".damaged-" + std::to_string(n);
    std::error_code ec;
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
  return std::nullopt;
}

bool FileSettings::keep_damaged_copy(std::string_view bytes) {
  const std::optional<fs::path> backup = free_backup_name();
  return backup && replace_file(*backup, {bytes}, FileAccess::Owner).ok();
}

bool FileSettings::move_unreadable_aside() {
  const std::optional<fs::path> backup = free_backup_name();
  if (!backup) return false;
  std::error_code ec;
  fs::rename(file_, *backup, ec);
  return !ec;
}

void FileSettings::change(std::string_view subkey, std::string_view name, StoredValue value) {
  if (file_.empty()) return;
  stamp_.reset();
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) return;
  FileRead current = read_stored_file(file_);
  StoreData data;
  if (current.outcome == ReadOutcome::Unreadable) {
    // Writing over it would lose whatever it holds: set it aside first, or
    // leave it alone and let this change go unsaved.
    if (!move_unreadable_aside()) return;
  } else if (current.outcome == ReadOutcome::Read) {
    ParsedStore parsed = parse_store(current.bytes);
    if (parsed.damaged && !keep_damaged_copy(current.bytes)) return;
    data = std::move(parsed.data);
  }
  data.set(subkey, name, std::move(value));
  (void)replace_file(file_, {format_store(data)}, FileAccess::Owner);
}

std::optional<uint32_t> FileSettings::get_dword(std::string_view name, std::string_view subkey) {
  const StoredValue* v = find(subkey, name);
  if (const auto* d = v ? std::get_if<uint32_t>(v) : nullptr) return *d;
  return std::nullopt;
}

void FileSettings::set_dword(std::string_view name, uint32_t value, std::string_view subkey) {
  change(subkey, name, value);
}

std::optional<std::string> FileSettings::get_text(std::string_view name, std::string_view subkey) {
  const StoredValue* v = find(subkey, name);
  if (const auto* t = v ? std::get_if<std::string>(v) : nullptr) {
    // Like a registry text: up to its first NUL.
    return t->substr(0, t->find('\0'));
  }
  return std::nullopt;
}

void FileSettings::set_text(std::string_view name, std::string_view value,
                            std::string_view subkey) {
  change(subkey, name, std::string(value));
}

std::optional<std::vector<uint8_t>> FileSettings::get_binary(std::string_view name,
                                                             std::string_view subkey) {
  const StoredValue* v = find(subkey, name);
  if (const auto* b = v ? std::get_if<std::vector<uint8_t>>(v) : nullptr) return *b;
  return std::nullopt;
}

void FileSettings::set_binary(std::string_view name, const std::vector<uint8_t>& value,
                              std::string_view subkey) {
  change(subkey, name, value);
}

void FileSettings::forget_all() {
  if (file_.empty()) return;
  stamp_.reset();
  parsed_ = StoreData();
  // The store, its damaged copies and any temporary file left by a crash.
  const fs::path::string_type prefix = fs::path(kFileName).native();
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().native().starts_with(prefix)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
  fs::remove(folder_, ec);  // only if nothing else lives there
}

}  // namespace lw
