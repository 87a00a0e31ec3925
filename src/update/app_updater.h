#pragma once
// The updater plugged into the application: its reactions become notices,
// the Yes/No question box and, once the installer runs, closing the window.
#include <memory>

#include "app/app.h"
#include "app/update_service.h"
#include "update/updater.h"

namespace lw {

class AppUpdater final : public UpdateService {
 public:
  // app must outlive this (the App owns it).
  AppUpdater(App& app, std::shared_ptr<UpdatePlatform> platform = nullptr,
             UpdateConfig config = {});

  void start_daily_check() override;
  void check_by_user() override;
  void on_message(int number) override;

 private:
  void apply(UpdateReaction reaction);

  App& app_;
  Updater updater_;
};

}  // namespace lw
