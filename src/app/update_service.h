#pragma once
// The self-update as the application sees it. The program plugs in the
// real one; the application only routes the menu item and messages 2 and 3.
namespace lw {

class UpdateService {
 public:
  virtual ~UpdateService() = default;
  // Start-up, after the window is shown: the daily check, when it is due.
  virtual void start_daily_check() = 0;
  // The menu item "Check for updates": the result is shown whatever it is.
  virtual void check_by_user() = 0;
  // Messages kMsgUpdateResult and kMsgUpdateInstall.
  virtual void on_message(int number) = 0;
};

}  // namespace lw
