// The Linux program: the application in a GTK window.
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "base/utf8_path.h"
#include "host/demo_socket_linux.h"
#include "host/device_watch_linux.h"
#include "host/gtk_host_linux.h"
#include "lang/tr.h"
#include "serial/system_port_system.h"
#include "settings/settings.h"
#include "settings/unregister.h"
#include "sim/simulator.h"
#include "update/app_updater.h"

namespace {

bool env_set(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

void report_no_display() {
  std::string text;
  if (!env_set("DISPLAY") && !env_set("WAYLAND_DISPLAY")) {
    text = lw::tr(
        "Linewick을 실행하려면 그래픽 디스플레이가 필요합니다 (DISPLAY 또는 "
        "WAYLAND_DISPLAY가 설정되어 있지 않습니다)",
        "Linewick needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)");
  } else {
    text = lw::tr("Linewick이 그래픽 디스플레이를 열 수 없습니다",
                  "Linewick couldn't open the graphical display");
  }
  std::fprintf(stderr, "%s\n", text.c_str());
}

gboolean on_stop_signal(gpointer host) {
  static_cast<lw::GtkHost*>(host)->quit();
  return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);

  // 1. The command line. "--unregister" ends before anything else exists.
  std::unique_ptr<lw::Settings> settings = lw::open_user_settings();
  if (lw::handle_unregister(args, *settings)) return 0;
  lw::set_language_store(*settings);
  const lw::CommandLine command_line = lw::parse_command_line(args);
  lw::Simulator* sim = nullptr;
  // Addresses the user names (--port, "Open a device by path…") are real
  // devices even among simulated ones.
  lw::SystemPortSystem system_ports;
  std::unique_ptr<lw::PortSystem> ports;
  if (command_line.demo) {
    lw::simulator().enable(lw::parse_demo_list(*command_line.demo));
    sim = &lw::simulator();
    ports = std::make_unique<lw::SimPortSystem>(*sim, &system_ports);
  }
  lw::AppOptions options;
  options.demo = sim != nullptr;
  if (command_line.docs) options.docs = lw::path_from_utf8(*command_line.docs);

  // 2. The window with its saved size, and the graphics context. The
  // program's name is its application id, which the desktop matches to its
  // entry (the WM_CLASS on X11, the app id on Wayland).
  g_set_prgname(LINEWICK_APP_ID);
  if (!gtk_init_check(&argc, &argv)) {
    report_no_display();
    return 1;
  }
  // After the initialisation, which derives a capitalised class of its own.
  gdk_set_program_class(LINEWICK_APP_ID);
  auto host = std::make_unique<lw::GtkHost>(*settings);

  // 3. The application: settings, the first port scan, timers 3 and 6.
  lw::PortSystem& port_system = ports ? *ports : system_ports;
  auto app = std::make_unique<lw::App>(*host, *settings, port_system, options, sim);
  app->start();
  // The ports named on the command line, each in a tab of its own.
  for (const std::string& port : command_line.ports) app->open_address(port);
  app->set_update_service(std::make_unique<lw::AppUpdater>(*app));
  if (command_line.replay) app->open_replay_tab(lw::path_from_utf8(*command_line.replay));
  host->slot().install(std::move(app));

  // 4. Device changes, and in demo mode the outside control socket; a
  // failure of either only means those events never come.
  std::unique_ptr<lw::DeviceWatch> devices =
      lw::DeviceWatch::start([h = host.get()] { h->device_changed(); });
  std::unique_ptr<lw::DemoSocket> demo;
  if (sim != nullptr) {
    auto socket = lw::DemoSocket::open(
        lw::default_demo_socket_path(),
        [poster = host->poster()](const lw::AppMessage& m) { poster->post(m); });
    if (socket) demo = std::move(*socket);
  }
  // A polite stop closes the window the usual way, saving its size.
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) g_unix_signal_add(sig, on_stop_signal, host.get());

  // 5. Show the window and run until it closes.
  host->show();
  // 6. The daily update check, once the window is up.
  host->slot().with([](lw::App& a) { a.start_daily_update_check(); });
  gtk_main();

  demo.reset();  // removes the socket
  devices.reset();
  host.reset();
  settings.reset();
  // Reader threads are never joined; some may still be inside a port.
  // Leaving without static destructors keeps them off torn-down globals.
  std::fflush(nullptr);
  std::_Exit(0);
}
