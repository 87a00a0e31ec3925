#pragma once
// A host without a display, for tests and the script driver: timers and
// posted messages run in a loop on the calling thread against a real or an
// injected clock, and everything the application asks of the platform is
// recorded.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/host.h"
#include "host/app_slot.h"

namespace lw {

class HeadlessHost final : public Host {
 public:
  explicit HeadlessHost(Clock& clock = system_clock());
  ~HeadlessHost() override;

  // --- Host ---
  Clock& clock() override { return clock_; }
  void start_timer(int id, int period_ms) override;
  void stop_timer(int id) override;
  std::shared_ptr<MessagePoster> poster() override;
  void request_repaint() override { ++repaints; }
  void paint_now() override {
    ++immediate_paints;
    if (on_paint_now) on_paint_now();
  }
  void beep_exclamation() override { ++beeps; }
  void set_clipboard_text(const std::string& text) override { clipboard = text; }
  std::optional<std::string> clipboard_text() override { return clipboard; }
  void open_file(const std::filesystem::path& file) override { opened.push_back(file); }
  void open_folder(const std::filesystem::path& folder,
                   const std::optional<std::filesystem::path>& selected) override {
    opened.push_back(selected ? *selected : folder);
  }
  void open_url(const std::string& url) override { opened_urls.push_back(url); }
  void quit() override { quit_requested = true; }
  // Answers come from the queues below (none / No / cancel when empty).
  std::optional<int> popup_menu(const std::vector<MenuItem>& items, float x, float y) override;
  void message_box(const std::string& caption, const std::string& text) override {
    message_boxes.emplace_back(caption, text);
  }
  bool ask_yes_no(const std::string& caption, const std::string& text) override;
  std::optional<SaveChoice> choose_save_file(const SaveDialogSetup& setup) override;
  std::optional<std::filesystem::path> choose_open_file(const OpenDialogSetup& setup) override;
  void place_ime(float x, float y) override { ime_point = {x, y}; }

  // --- the loop ---
  AppSlot& slot() { return slot_; }
  // Handles posted messages and due timers until `ms` have passed on the
  // host's clock. With a real clock it sleeps between events.
  void run_for(int64_t ms);
  // Handles everything posted and every timer due now (an injected clock
  // moves only when the test moves it).
  void pump();
  // Runs until done() holds (checked after every event) or timeout_ms pass.
  bool run_until(const std::function<bool()>& done, int64_t timeout_ms);
  // Whether a timer is running, and its period.
  std::optional<int> timer_period(int id) const;

  // --- what the application asked for ---
  int repaints = 0;
  int immediate_paints = 0;
  // Called by paint_now: a test paints there to see what the window showed
  // while a modal popup or box was open.
  std::function<void()> on_paint_now;
  int beeps = 0;
  std::optional<std::string> clipboard;
  std::vector<std::filesystem::path> opened;
  std::vector<std::string> opened_urls;
  bool quit_requested = false;
  // How many times each timer fired.
  std::map<int, int> timer_fires;
  // The modal questions asked, and the answers to give.
  std::vector<std::vector<MenuItem>> menus_shown;
  std::deque<std::optional<int>> menu_answers;
  std::vector<std::pair<std::string, std::string>> message_boxes;  // caption, text
  std::deque<bool> yes_no_answers;
  std::vector<SaveDialogSetup> save_dialogs;
  std::deque<std::optional<SaveChoice>> save_answers;
  std::vector<OpenDialogSetup> open_dialogs;
  std::deque<std::optional<std::filesystem::path>> open_answers;
  std::optional<std::pair<float, float>> ime_point;
  // Called after each message or timer the loop hands to the application,
  // with how long the handling took (soak runs measure the window thread).
  struct Handled {
    bool message = false;  // else a timer
    int id = 0;            // the message number or the timer id
    double ms = 0;
  };
  std::function<void(const Handled&)> on_handled;

 private:
  struct Timer {
    int period = 0;
    int64_t due = 0;
  };
  class Queue;
  // One turn: every posted message, then the earliest due timer. Returns
  // whether anything ran.
  bool turn();
  int64_t next_timer_due() const;
  void report(bool message, int id, std::chrono::steady_clock::time_point since);

  Clock& clock_;
  std::map<int, Timer> timers_;
  std::shared_ptr<Queue> queue_;
  AppSlot slot_;
};

}  // namespace lw
