#include "lang/tr.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "lang/languages.h"
#include "lang/tables.h"
#include "settings/settings.h"
#include "settings/values.h"

namespace lw {

namespace {

// Made at the first tr() and again by switch_language(); a state never
// changes once made, and old ones stay alive.
struct LanguageState {
  std::string code;
  Translations table;  // empty for en and ko
};

std::mutex g_choose_mutex;
Settings* g_store = nullptr;
std::atomic<const LanguageState*> g_state{nullptr};
// Owns the states made so far; a reset for a test keeps the old one alive,
// since a text may still point into it.
std::vector<std::unique_ptr<LanguageState>>& states() {
  static std::vector<std::unique_ptr<LanguageState>> all;
  return all;
}

// Called with g_choose_mutex held.
const LanguageState& install(std::string_view stored) {
  auto s = std::make_unique<LanguageState>();
  s->code = std::string(choose_language(stored, system_language()));
  if (const EmbeddedTable* t = embedded_table(s->code)) {
    // A table that doesn't parse leaves the language on English texts.
    if (Result<Translations, std::string> parsed = parse_table(t->json)) {
      s->table = std::move(*parsed);
    }
  }
  g_state.store(s.get(), std::memory_order_release);
  states().push_back(std::move(s));
  return *states().back();
}

const LanguageState& state() {
  if (const LanguageState* s = g_state.load(std::memory_order_acquire)) return *s;
  std::lock_guard lock(g_choose_mutex);
  if (const LanguageState* s = g_state.load(std::memory_order_relaxed)) return *s;
  const std::string stored =
      g_store ? g_store->get_text(setting::kLanguage).value_or(std::string()) : std::string();
  return install(stored);
}

}  // namespace

std::string tr(std::string_view korean, std::string_view english) {
  return tr_data(korean, english);
}

std::string tr_data(std::string_view korean, std::string_view english) {
  const LanguageState& s = state();
  if (s.code == "ko") return std::string(korean);
  if (s.table.empty()) return std::string(english);
  const auto it = s.table.find(english);
  return it == s.table.end() ? std::string(english) : it->second;
}

std::string fill(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out(text);
  size_t index = 0;
  for (std::string_view v : values) {
    const std::string ph = "{" + std::to_string(index++) + "}";
    for (size_t pos = out.find(ph); pos != std::string::npos; pos = out.find(ph, pos + v.size())) {
      out.replace(pos, ph.size(), v);
    }
  }
  return out;
}

void set_language_store(Settings& store) {
  std::lock_guard lock(g_choose_mutex);
  g_store = &store;
}

std::string_view current_language() { return state().code; }

void switch_language(std::string_view stored) {
  std::lock_guard lock(g_choose_mutex);
  install(stored);
}

void reset_language_for_testing() {
  std::lock_guard lock(g_choose_mutex);
  g_store = nullptr;
  g_state.store(nullptr, std::memory_order_release);
}

}  // namespace lw
