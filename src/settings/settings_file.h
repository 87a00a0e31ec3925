#pragma once
// The settings store of builds without a registry: one file, settings.conf,
// in a folder of its own (the user's configuration folder, or any folder a
// test names). The format is described in settings_text.h.
//
// Every write reads the file again, applies the one change and replaces the
// file atomically (temporary file, flush to disk, rename), so a crash never
// leaves half a store and two running copies lose at most a simultaneous
// change. A file that cannot be read, or holds lines that cannot be read,
// reads as what could be read (absent values for the rest); before such a
// file is rewritten its old contents are kept beside it as
// settings.conf.damaged-N, so nothing it held is silently lost.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/settings_file_io.h"
#include "settings/settings_text.h"

namespace lw {

class FileSettings final : public Settings {
 public:
  static constexpr std::string_view kFileName = "settings.conf";

  // folder empty: no store at all (every read is absent, writes are lost).
  explicit FileSettings(std::filesystem::path folder);

  const std::filesystem::path& file() const { return file_; }

  std::optional<uint32_t> get_dword(std::string_view name, std::string_view subkey = {}) override;
  void set_dword(std::string_view name, uint32_t value, std::string_view subkey = {}) override;
  std::optional<std::string> get_text(std::string_view name, std::string_view subkey = {}) override;
  void set_text(std::string_view name, std::string_view value,
                std::string_view subkey = {}) override;
  std::optional<std::vector<uint8_t>> get_binary(std::string_view name,
                                                 std::string_view subkey = {}) override;
  void set_binary(std::string_view name, const std::vector<uint8_t>& value,
                  std::string_view subkey = {}) override;
  void forget_all() override;

 private:
  const StoredValue* find(std::string_view subkey, std::string_view name);
  void change(std::string_view subkey, std::string_view name, StoredValue value);
  bool keep_damaged_copy(std::string_view bytes);
  bool move_unreadable_aside();
  std::optional<std::filesystem::path> free_backup_name() const;

  std::filesystem::path folder_;
  std::filesystem::path file_;
  // The last parse, valid while the file keeps this stamp: reads still look
  // at the file every time, they just skip re-parsing an unchanged one.
  std::optional<FileStamp> stamp_;
  StoreData parsed_;
};

// $XDG_CONFIG_HOME/Linewick, else ~/.config/Linewick; empty when the user has
// no home folder.
std::filesystem::path default_settings_folder();

}  // namespace lw
