#pragma once
// A scripted UpdatePlatform and a poster that records what workers post.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/host.h"
#include "update/platform.h"
#include "update/update_texts.h"

namespace lw::test {

// Serves files by address (the query is ignored, as a web server would);
// the digest is the real one, so the hash check sees true content.
class FakePlatform final : public UpdatePlatform {
 public:
  void serve(const std::string& url, std::string content) {
    std::lock_guard lock(mutex_);
    files_[url] = std::move(content);
  }
  void set_signer(std::optional<std::string> signer) {
    std::lock_guard lock(mutex_);
    signer_ = std::move(signer);
  }
  void fail_start(std::string text) {
    std::lock_guard lock(mutex_);
    start_error_ = std::move(text);
  }
  // Runs on the worker just before a download is written.
  void on_download(std::function<void(const std::string& url)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
  }

  std::vector<std::string> requested() {
    std::lock_guard lock(mutex_);
    return requested_;
  }
  // The byte limit of each request, in order.
  std::vector<uint64_t> limits() {
    std::lock_guard lock(mutex_);
    return limits_;
  }
  std::vector<std::filesystem::path> signature_checked() {
    std::lock_guard lock(mutex_);
    return signature_checked_;
  }
  std::vector<std::filesystem::path> started() {
    std::lock_guard lock(mutex_);
    return started_;
  }

  // Like the real one, a file past the limit is cut there and fails.
  Status download(const std::string& url, const std::filesystem::path& output,
                  uint64_t max_bytes) override {
    std::function<void(const std::string&)> hook;
    {
      std::lock_guard lock(mutex_);
      requested_.push_back(url);
      limits_.push_back(max_bytes);
      hook = hook_;
    }
    if (hook) hook(url);
    std::lock_guard lock(mutex_);
    const auto it = files_.find(url.substr(0, url.find('?')));
    if (it == files_.end()) return fail(Error{0, download_failed_text()});
    std::ofstream(output, std::ios::binary) << it->second.substr(0, max_bytes);
    if (it->second.size() > max_bytes) return fail(Error{0, download_failed_text()});
    return {};
  }
  Result<Sha256Digest> sha256(const std::filesystem::path& file) override {
    return sha256_file(file);
  }
  Result<std::string> signer_name(const std::filesystem::path& file, const std::string&) override {
    std::lock_guard lock(mutex_);
    signature_checked_.push_back(file);
    if (!signer_) return fail(Error{0, "unsigned"});
    return *signer_;
  }
  Status start_installer(const std::filesystem::path& file) override {
    std::lock_guard lock(mutex_);
    started_.push_back(file);
    if (start_error_) return fail(Error{2, *start_error_});
    return {};
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::string> files_;
  std::optional<std::string> signer_ = std::string("Quorvane Co., Ltd.");
  std::optional<std::string> start_error_;
  std::function<void(const std::string&)> hook_;
  std::vector<std::string> requested_;
  std::vector<uint64_t> limits_;
  std::vector<std::filesystem::path> signature_checked_;
  std::vector<std::filesystem::path> started_;
};

class RecordingPoster final : public MessagePoster {
 public:
  bool post(const AppMessage& msg) override {
    {
      std::lock_guard lock(mutex_);
      numbers_.push_back(msg.number);
    }
    changed_.notify_all();
    return true;
  }
  // Waits (generously) until `count` messages of that number have come.
  bool wait_for(int number, size_t count = 1) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), [&] {
      return static_cast<size_t>(std::count(numbers_.begin(), numbers_.end(), number)) >= count;
    });
  }
  std::vector<int> numbers() {
    std::lock_guard lock(mutex_);
    return numbers_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> numbers_;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // The names of the files in it, sorted.
  std::vector<std::string> names() const { return names_in(path_); }
  static std::vector<std::string> names_in(const std::filesystem::path& folder);

 private:
  std::filesystem::path path_;
};

}  // namespace lw::test
