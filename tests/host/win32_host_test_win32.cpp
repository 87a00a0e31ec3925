#include <gtest/gtest.h>
#include <windows.h>
// dbt.h needs windows.h first.
#include <dbt.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/app.h"
#include "host/host_win32.h"
#include "settings/values.h"
#include "sim/simulator.h"
#include "support/memory_settings.h"

namespace lw {
namespace {

// The real window with the application in its slot, over an empty
// simulator. Without a display no window can be made: the tests are then
// skipped, unless the run says a display is there.
class Win32HostTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<Win32Host>(GetModuleHandleW(nullptr), settings_);
    if (!host_->create_window()) {
      if (std::getenv("LINEWICK_NEED_DISPLAY") != nullptr) {
        FAIL() << "CreateWindowExW failed: " << GetLastError();
      }
      GTEST_SKIP() << "no display for a window";
    }
    AppOptions options;
    options.docs = std::filesystem::temp_directory_path() / "linewick-host-test";
    auto app = std::make_unique<App>(*host_, settings_, ports_, options, nullptr);
    app->start();
    host_->install(std::move(app));
  }

  void TearDown() override {
    host_.reset();
    // Whatever the window left behind, its WM_QUIT included.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND window() const { return host_->window(); }
  AppSlot::State state() { return host_->slot().state(); }

  // Handles what is queued for this thread; true once WM_QUIT came.
  bool pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return true;
      DispatchMessageW(&msg);
    }
    return false;
  }

  test::MemorySettings settings_;
  Simulator simulator_;
  SimPortSystem ports_{simulator_};
  std::unique_ptr<Win32Host> host_;
};

TEST_F(Win32HostTest, CloseStoresThePlacementAndReleasesTheApplication) {
  SendMessageW(window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window(), nullptr);
  EXPECT_EQ(state(), AppSlot::State::NotInitialised);
  const auto stored = placement(settings_);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->size(), sizeof(WINDOWPLACEMENT));
  EXPECT_TRUE(pump());  // the loop ends
}

TEST_F(Win32HostTest, CloseDuringAHandlerWaitsForItsEnd) {
  // A nested loop (a popup, a message box) delivers the close inside the
  // handler; the window must outlive the handler.
  const bool ran = host_->run_handler([&](App&) {
    SendMessageW(window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_EQ(state(), AppSlot::State::InUse);
  });
  EXPECT_TRUE(ran);
  ASSERT_NE(window(), nullptr);
  EXPECT_TRUE(pump());  // the close came afterwards and ended the loop
  EXPECT_EQ(window(), nullptr);
  EXPECT_TRUE(placement(settings_).has_value());
}

TEST_F(Win32HostTest, DestroyDuringAHandlerKeepsTheApplicationUntilItsEnd) {
  host_->run_handler([&](App& app) {
    DestroyWindow(window());
    // Still usable here; released when the handler returns.
    EXPECT_EQ(state(), AppSlot::State::InUse);
    EXPECT_TRUE(app.state().sessions.empty());
  });
  EXPECT_EQ(state(), AppSlot::State::NotInitialised);
  EXPECT_TRUE(pump());
}

TEST_F(Win32HostTest, MessagesDuringAHandlerAreDroppedAsHandled) {
  host_->run_handler([&](App&) {
    // A wake-up and a demo message: handled (dropped), not the default's.
    EXPECT_EQ(SendMessageW(window(), WM_APP + kMsgReaderWake, 7, 0), 0);
    EXPECT_EQ(SendMessageW(window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), TRUE);
    // A nested run finds the application in use.
    EXPECT_FALSE(host_->run_handler([](App&) {}));
  });
  EXPECT_TRUE(host_->run_handler([](App&) {}));
}

TEST_F(Win32HostTest, DeviceChangeCodesAndMinimumSize) {
  EXPECT_EQ(SendMessageW(window(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), TRUE);
  EXPECT_EQ(SendMessageW(window(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0), TRUE);
  MINMAXINFO info{};
  SendMessageW(window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const UINT dpi = std::max<UINT>(GetDpiForWindow(window()), 96);
  EXPECT_EQ(info.ptMinTrackSize.x, static_cast<LONG>((900 * dpi + 48) / 96));
  EXPECT_EQ(info.ptMinTrackSize.y, static_cast<LONG>((560 * dpi + 48) / 96));
}

TEST_F(Win32HostTest, PostsFromAnotherThreadReachTheWindowUntilItIsGone) {
  const std::shared_ptr<MessagePoster> poster = host_->poster();
  bool posted = false;
  std::thread([&] { posted = poster->post(AppMessage{kMsgReaderWake, 3, 0}); }).join();
  EXPECT_TRUE(posted);
  MSG msg;
  ASSERT_TRUE(
      PeekMessageW(&msg, window(), WM_APP + kMsgReaderWake, WM_APP + kMsgReaderWake, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  DestroyWindow(window());
  std::thread([&] { posted = poster->post(AppMessage{kMsgReaderWake, 3, 0}); }).join();
  EXPECT_FALSE(posted);
}

TEST_F(Win32HostTest, ClipboardRoundTripsUnicode) {
  const std::string text = "T=21.5°C 온도\r\n→ *IDN?";
  host_->set_clipboard_text(text);
  EXPECT_EQ(host_->clipboard_text(), text);
}

}  // namespace
}  // namespace lw
