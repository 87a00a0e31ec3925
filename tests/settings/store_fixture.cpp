#include "store_fixture.h"

#include <atomic>

#include "settings/settings_file.h"

#ifdef _WIN32
#include <windows.h>

#include "settings/settings_registry.h"
#define getpid_for_test() static_cast<unsigned long>(GetCurrentProcessId())
#else
#include <unistd.h>
#define getpid_for_test() static_cast<unsigned long>(::getpid())
#endif

namespace lw::test {

namespace fs = std::filesystem;

namespace {
std::atomic<int> g_counter{0};

std::string unique_suffix() {
  return std::to_string(getpid_for_test()) + "-" + std::to_string(++g_counter);
}
}  // namespace

std::string store_kind_name(const testing::TestParamInfo<StoreKind>& info) {
  return info.param == StoreKind::File ? "File" : "Registry";
}

std::vector<StoreKind> store_kinds() {
#ifdef _WIN32
  return {StoreKind::File, StoreKind::Registry};
#else
  return {StoreKind::File};
#endif
}

TempFolder::TempFolder() {
  path_ = fs::temp_directory_path() / ("lw-settings-test-" + unique_suffix());
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void StoreTest::SetUp() {
  folder_ = std::make_unique<TempFolder>();
  registry_key_ = "Software\\Linewick-test-" + unique_suffix();
  store_ = open_again();
}

void StoreTest::TearDown() {
  store_->forget_all();
  store_.reset();
  folder_.reset();
}

std::unique_ptr<Settings> StoreTest::open_again() const {
#ifdef _WIN32
  if (GetParam() == StoreKind::Registry) return std::make_unique<RegistrySettings>(registry_key_);
#endif
  return std::make_unique<FileSettings>(folder_->path() / "Linewick");
}

bool StoreTest::store_gone() const {
#ifdef _WIN32
  if (GetParam() == StoreKind::Registry) {
    HKEY key = nullptr;
    const std::wstring path(registry_key_.begin(), registry_key_.end());
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      return false;
    }
    return true;
  }
#endif
  return !fs::exists(folder_->path() / "Linewick");
}

}  // namespace lw::test
