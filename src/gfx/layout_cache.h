#pragma once
// A small least-recently-used cache of text layouts, keyed by everything a
// layout depends on. A full frame draws the same few dozen log rows, labels
// and times again and again; shaping them once is what keeps text cheap.
#include <cstdint>
#include <cstring>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "gfx/gfx.h"

namespace lw {

template <class Layout>
class LayoutCache {
 public:
  explicit LayoutCache(size_t capacity) : capacity_(capacity) {}
  LayoutCache(const LayoutCache&) = delete;
  LayoutCache& operator=(const LayoutCache&) = delete;

  // The cached layout for these inputs, or nullptr. A hit becomes the most
  // recently used entry.
  Layout* find(std::string_view text, float max_width, TextFormat format, Align align) {
    make_key(text, max_width, format, align);
    const auto it = index_.find(key_);
    if (it == index_.end()) return nullptr;
    entries_.splice(entries_.begin(), entries_, it->second);
    return &it->second->second;
  }

  // Stores a layout for the inputs of the last find() (which missed); the
  // least recently used entry goes when the cache is full.
  Layout& insert(Layout layout) {
    if (entries_.size() >= capacity_ && !entries_.empty()) {
      index_.erase(entries_.back().first);
      entries_.pop_back();
    }
    entries_.emplace_front(key_, std::move(layout));
    index_.emplace(entries_.front().first, entries_.begin());
    return entries_.front().second;
  }

  void clear() {
    index_.clear();
    entries_.clear();
  }
  size_t size() const { return entries_.size(); }

 private:
  void make_key(std::string_view text, float max_width, TextFormat format, Align align) {
    char head[sizeof(float) + 2];
    std::memcpy(head, &max_width, sizeof(float));
    head[sizeof(float)] = static_cast<char>(format);
    head[sizeof(float) + 1] = static_cast<char>(align);
    key_.assign(head, sizeof head);
    key_.append(text);
  }

  using Entry = std::pair<std::string, Layout>;
  size_t capacity_;
  std::list<Entry> entries_;
  std::unordered_map<std::string_view, typename std::list<Entry>::iterator> index_;
  std::string key_;  // reused so that a hit allocates nothing
};

}  // namespace lw
