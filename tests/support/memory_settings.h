#pragma once
// Settings kept in memory, counting writes per name and text reads; and a
// clock set by hand.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/time.h"
#include "settings/settings.h"

namespace lw::test {

class MemorySettings final : public Settings {
 public:
  std::optional<uint32_t> get_dword(std::string_view name, std::string_view subkey = {}) override {
    return find(dwords_, name, subkey);
  }
  void set_dword(std::string_view name, uint32_t value, std::string_view subkey = {}) override {
    dwords_[key(name, subkey)] = value;
    ++writes[std::string(name)];
  }
  std::optional<std::string> get_text(std::string_view name,
                                      std::string_view subkey = {}) override {
    ++text_reads;
    return find(texts_, name, subkey);
  }
  void set_text(std::string_view name, std::string_view value,
                std::string_view subkey = {}) override {
    texts_[key(name, subkey)] = std::string(value);
    ++writes[std::string(name)];
  }
  std::optional<std::vector<uint8_t>> get_binary(std::string_view name,
                                                 std::string_view subkey = {}) override {
    return find(binaries_, name, subkey);
  }
  void set_binary(std::string_view name, const std::vector<uint8_t>& value,
                  std::string_view subkey = {}) override {
    binaries_[key(name, subkey)] = value;
  }
  void forget_all() override {
    dwords_.clear();
    texts_.clear();
    binaries_.clear();
  }

  std::map<std::string, int> writes;
  int text_reads = 0;

 private:
  static std::string key(std::string_view name, std::string_view subkey) {
    return std::string(subkey) + "\\" + std::string(name);
  }
  template <class M>
  static std::optional<typename M::mapped_type> find(const M& m, std::string_view name,
                                                     std::string_view subkey) {
    const auto it = m.find(key(name, subkey));
    if (it == m.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, uint32_t> dwords_;
  std::map<std::string, std::string> texts_;
  std::map<std::string, std::vector<uint8_t>> binaries_;
};

// Both clocks set by hand.
class ManualClock final : public Clock {
 public:
  Millis local_now() override { return local; }
  int64_t monotonic_ms() override { return mono; }
  Millis local = 0;
  int64_t mono = 1'000'000;
};

}  // namespace lw::test
