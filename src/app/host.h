#pragma once
// What the application needs from the platform's window host. The host turns
// window messages or GTK signals into calls on the application and carries
// out these requests; the headless host does both in tests.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/time.h"
#include "files/save_log.h"

namespace lw {

// Posted application messages, numbered from the platform's first
// application message.
enum MessageNumber : int {
  kMsgReaderWake = 1,     // param1: session id
  kMsgUpdateResult = 2,   // the updater's check or download has a result
  kMsgUpdateInstall = 3,  // the updater's download is ready to run
  kMsgDemoToggle = 30,    // param1: simulated device index
  kMsgDemoRepeat = 31,    // param1: interval ms; param2: times (<= 0: until stopped)
  kMsgDemoFraming = 32,   // param1: 0 off, else on with "54 6 sum"
  kMsgDemoTake = 33,      // param1: simulated device index; another program takes it or lets go
};

struct AppMessage {
  int number = 0;
  uint64_t param1 = 0;
  int64_t param2 = 0;
};

// Timers: id and period. The host's timers repeat until stopped, like Win32
// timers; the handlers of one-shot timers stop them when they fire.
enum TimerId : int {
  kTimerNotice = 1,
  kTimerRescan = 2,
  kTimerDrain = 3,
  kTimerTooltip = 4,
  kTimerSearch = 5,
  kTimerHousekeeping = 6,
  kTimerRepeat = 7,
  kTimerSendFile = 8,   // the next piece of a file being sent, while one is
  kTimerPortWatch = 9,  // a look at every waiting tab's port, while one waits
};
inline constexpr int kRescanDelayMs = 300;
inline constexpr int kDrainPeriodMs = 200;
inline constexpr int kTooltipDelayMs = 600;
inline constexpr int kSearchDelayMs = 150;
inline constexpr int kHousekeepingPeriodMs = 2000;
inline constexpr int kRepeatPeriodMs = 20;
inline constexpr int kSendFilePeriodMs = 20;

// Thread-safe posting, shared with reader threads; posts after the window
// is gone are dropped.
class MessagePoster {
 public:
  virtual ~MessagePoster() = default;
  virtual bool post(const AppMessage& msg) = 0;
};

// One entry of a popup menu: a label (a leading "#" shows it grey and not
// selectable, without the "#"), a separator when the label is empty, a
// sub-menu when it has items.
struct MenuItem {
  int id = 0;  // what popup_menu returns when it is chosen
  std::string label;
  bool checked = false;
  std::vector<MenuItem> items;
};

// What the save dialog returned: the path and the chosen file type's index
// in SaveDialogSetup::types.
struct SaveChoice {
  std::filesystem::path path;
  size_t type_index = 0;
};

// What the open dialog is shown with: the file types offered, the first
// one chosen (a pattern may name several: "*.txt;*.csv"), and the folder it
// starts in when that exists.
struct OpenDialogSetup {
  std::string title;
  std::vector<SaveFileType> types;
  std::filesystem::path folder;
};

class Host {
 public:
  virtual ~Host() = default;
  virtual Clock& clock() = 0;
  virtual void start_timer(int id, int period_ms) = 0;  // starts or restarts
  virtual void stop_timer(int id) = 0;
  virtual std::shared_ptr<MessagePoster> poster() = 0;
  virtual void request_repaint() = 0;
  // Paints the window at once, from inside the running handler: a modal
  // popup or box about to open holds every repaint back until it is answered.
  virtual void paint_now() = 0;
  virtual void beep_exclamation() = 0;
  virtual void set_clipboard_text(const std::string& text) = 0;
  virtual std::optional<std::string> clipboard_text() = 0;
  virtual void open_file(const std::filesystem::path& file) = 0;
  // Opens the folder, with the file selected where the file manager can.
  virtual void open_folder(const std::filesystem::path& folder,
                           const std::optional<std::filesystem::path>& selected) = 0;
  virtual void open_url(const std::string& url) = 0;
  // Ends the program after the current handler (closing the window).
  virtual void quit() = 0;

  // Modal: each returns only when the user has answered. x, y are a client
  // point in device pixels.
  // The chosen item's id, or none when the menu was dismissed.
  virtual std::optional<int> popup_menu(const std::vector<MenuItem>& items, float x, float y) = 0;
  // An information box with OK.
  virtual void message_box(const std::string& caption, const std::string& text) = 0;
  // An information box with Yes and No; true for Yes.
  virtual bool ask_yes_no(const std::string& caption, const std::string& text) = 0;
  // The system's save dialog; none when cancelled or when there is none.
  virtual std::optional<SaveChoice> choose_save_file(const SaveDialogSetup& setup) = 0;
  // The system's open dialog: an existing file, or none when cancelled or
  // when there is none.
  virtual std::optional<std::filesystem::path> choose_open_file(const OpenDialogSetup& setup) = 0;
  // Where the input method opens its candidate list (client, device pixels).
  virtual void place_ime(float x, float y) = 0;
};

}  // namespace lw
