// The platform services of the Windows host: timers, posting, clipboard,
// beep and the shell. The window itself is in window_win32.cpp.
#include "host/host_win32.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstring>

#include "base/utf8.h"
#include "base/wide_win32.h"
#include "files/shell.h"
#include "host/window_poster_win32.h"

namespace lw {

Win32Host::Win32Host(HINSTANCE instance, Settings& settings)
    : instance_(instance), settings_(settings), poster_(std::make_shared<WindowPoster>()) {}

Win32Host::~Win32Host() {
  // Destroying the window releases the application (WM_DESTROY).
  if (window_ != nullptr) DestroyWindow(window_);
  poster_->close();
}

Clock& Win32Host::clock() { return system_clock(); }

void Win32Host::start_timer(int id, int period_ms) {
  // Without the window a null handle would make a thread timer instead.
  if (window_ == nullptr) return;
  // A failure leaves the timer off; the drain timer covers missed wake-ups.
  SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(period_ms), nullptr);
}

void Win32Host::stop_timer(int id) {
  if (window_ != nullptr) KillTimer(window_, static_cast<UINT_PTR>(id));
}

std::shared_ptr<MessagePoster> Win32Host::poster() { return poster_; }

void Win32Host::request_repaint() {
  if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

void Win32Host::beep_exclamation() { MessageBeep(MB_ICONEXCLAMATION); }

void Win32Host::set_clipboard_text(const std::string& text) {
  const std::u16string units = utf16_from_utf8(text);
  const size_t bytes = (units.size() + 1) * sizeof(char16_t);
  if (!OpenClipboard(window_)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    bool handed_over = false;
    if (void* p = GlobalLock(memory)) {
      std::memcpy(p, units.c_str(), bytes);
      GlobalUnlock(memory);
      // On success the clipboard owns the memory.
      handed_over = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!handed_over) GlobalFree(memory);
  }
  CloseClipboard();
}

std::optional<std::string> Win32Host::clipboard_text() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window_)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const char16_t*>(GlobalLock(data))) {
      // The text ends at its NUL, but never past the memory block.
      const size_t capacity = GlobalSize(data) / sizeof(char16_t);
      size_t length = 0;
      while (length < capacity && p[length] != u'\0') ++length;
      text = utf8_from_utf16(std::u16string_view(p, length));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void Win32Host::open_file(const std::filesystem::path& file) { (void)lw::open_file(file); }

void Win32Host::open_folder(const std::filesystem::path& folder,
                            const std::optional<std::filesystem::path>& selected) {
  if (selected) {
    (void)lw::open_folder(*selected);
  } else {
    (void)lw::open_file(folder);
  }
}

void Win32Host::open_url(const std::string& url) {
  const std::wstring w = wide(url);
  ShellExecuteW(nullptr, L"open", w.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Host::quit() {
  // Through WM_CLOSE, so the placement is saved as when the user closes.
  if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace lw
