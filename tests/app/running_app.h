#pragma once
// The real App on the headless host over one fake device, COM3, with its
// files in a fresh folder. The test drives the loop and the clocks.
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/fake_ports.h"
#include "files/file_names.h"
#include "host/host_headless.h"
#include "log/display.h"
#include "support/memory_settings.h"
#include "support/temp_folder.h"

namespace lw::test {

class RunningApp : public TempFolderTest {
 protected:
  void start(Settings& store) {
    ports.listed = {PortInfo{"COM3", "Arduino Uno", "S1", UsbId{0x2341, 0x43}}};
    device = ports.add("COM3");
    AppOptions options;
    options.docs = docs();
    auto a = std::make_unique<App>(host, store, ports, options, nullptr);
    app = a.get();
    app->start();
    host.slot().install(std::move(a));
  }
  void start() { start(settings); }
  std::filesystem::path docs() const { return dir_ / "docs"; }
  std::filesystem::path recording_file() const {
    return docs() / recording_file_name("COM3", "Arduino Uno", format_date(clock.wall.load()), 1);
  }
  Session& tab() { return *app->state().sessions.at(0); }
  std::vector<std::string> log_texts() {
    std::vector<std::string> out;
    tab().log.for_each_from(
        0, [&](uint64_t, const LineRecord& r) { out.push_back(line_text(r, false)); });
    return out;
  }
  // Pumps the loop and drains the tab until done() holds (ten seconds at most).
  bool drain_until(const std::function<bool()>& done) {
    return wait_until([&] {
      host.pump();
      app->drain(tab());
      return done();
    });
  }
  // The two-second tick.
  void tick() {
    clock.mono += 2'000;
    host.pump();
  }
  const Notice* notice() const {
    return app->state().notice ? &app->state().notice->notice : nullptr;
  }
  bool notice_is_error() const { return notice() && notice()->error; }

  SharedClock clock;
  HeadlessHost host{clock};
  MemorySettings settings;
  FakePortSystem ports;
  std::shared_ptr<DeviceScript> device;
  App* app = nullptr;
};

}  // namespace lw::test
