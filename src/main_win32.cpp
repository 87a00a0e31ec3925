// Linewick on Windows: the start-up sequence, then the message loop.
#include <windows.h>
// objbase.h and shellapi.h need windows.h first.
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "base/utf8.h"
#include "base/utf8_path.h"
#include "host/host_win32.h"
#include "lang/tr.h"
#include "serial/system_port_system.h"
#include "settings/settings.h"
#include "settings/unregister.h"
#include "sim/demo_list.h"
#include "sim/simulator.h"
#include "update/app_updater.h"

namespace {

// The arguments after the program's own name, as UTF-8.
std::vector<std::string> arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) {
    const std::wstring_view a(argv[i]);
    args.push_back(lw::utf8_from_utf16(std::u16string(a.begin(), a.end())));
  }
  LocalFree(argv);
  return args;
}

int run(HINSTANCE instance) {
  using namespace lw;
  // 1. The command line; "--unregister" ends here, before any window.
  const std::vector<std::string> args = arguments();
  std::unique_ptr<Settings> settings = open_user_settings();
  if (handle_unregister(args, *settings)) return 0;
  set_language_store(*settings);
  const CommandLine command_line = parse_command_line(args);
  Simulator* sim = nullptr;
  if (command_line.demo) {
    simulator().enable(parse_demo_list(*command_line.demo));
    sim = &simulator();
  }

  // 2. COM for this thread (the save dialog and the shell need it).
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  int code = 0;
  {
    // The ports outlive the host: destroying the window releases the
    // application, which uses them until then.
    SystemPortSystem system_ports;
    SimPortSystem sim_ports(simulator(), &system_ports);
    PortSystem& ports = sim != nullptr ? static_cast<PortSystem&>(sim_ports) : system_ports;

    // 3-6. Class, window, title bar, placement.
    Win32Host host(instance, *settings);
    if (!host.create_window()) return 0;
    // 7. The graphics context for the window's DPI.
    host.create_gfx();
    // 8-10. Folder for files, settings, the first port scan, timers 3 and
    // 6; the timers fire only once the loop runs, by when the application
    // is in its slot.
    AppOptions options;
    options.demo = sim != nullptr;
    if (command_line.docs) options.docs = path_from_utf8(*command_line.docs);
    auto app = std::make_unique<App>(host, *settings, ports, std::move(options), sim);
    app->start();
    // The ports named on the command line, each in a tab of its own.
    for (const std::string& port : command_line.ports) app->open_address(port);
    app->set_update_service(std::make_unique<AppUpdater>(*app));
    if (command_line.replay) app->open_replay_tab(path_from_utf8(*command_line.replay));
    host.install(std::move(app));
    // 11. Device notifications for COM ports.
    host.register_device_notifications();
    // 12. Show the window.
    host.show();
    // 13. The daily update check.
    host.slot().with([](App& a) { a.start_daily_update_check(); });
    // 14. The loop, until WM_DESTROY has released the application.
    code = host.run_loop();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const int code = run(instance);
  // Reader threads still running end here with the process, before any
  // static object they might reach is destroyed.
  ExitProcess(static_cast<UINT>(code));
}
