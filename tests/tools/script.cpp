#include "script.h"

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>

#include "app/app.h"
#include "app/command_line.h"
#include "base/utf8.h"
#include "base/utf8_path.h"
#include "gfx/gfx_recording.h"
#include "gfx/palette.h"
#include "host/host_headless.h"
#include "log/display.h"
#include "script_measure.h"
#include "script_ui.h"
#include "serial/open_failure.h"
#include "serial/system_port_system.h"
#include "settings/settings_file.h"
#include "sim/demo_list.h"
#include "sim/device.h"
#include "sim/simulator.h"
#include "ui/input/input.h"
#include "ui/texts.h"

namespace lw {

namespace {

const char* state_name(ConnectionKind k) {
  switch (k) {
    case ConnectionKind::Open:
      return "Open";
    case ConnectionKind::Closed:
      return "Closed";
    case ConnectionKind::Disconnected:
      return "Lost";
    case ConnectionKind::Failed:
      return "Failed";
    case ConnectionKind::Waiting:
      return "Waiting";
  }
  return "?";
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The rest of the line after the command word.
std::string rest_of(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  const size_t space = line.find_first_of(" \t", start);
  if (space == std::string::npos) return {};
  const size_t text = line.find_first_not_of(" \t", space);
  return text == std::string::npos ? std::string{} : line.substr(text);
}

class Runner {
 public:
  Runner(const ScriptOptions& options) {
    std::vector<std::string> args = options.args;
    command_line_ = parse_command_line(args);
    settings_dir_ = options.settings_dir;
    if (settings_dir_.empty()) {
      settings_dir_ = std::filesystem::temp_directory_path() /
                      ("linewick-driver-" + std::to_string(monotonic_ms()) + "-" +
                       std::to_string(reinterpret_cast<uintptr_t>(this)));
      std::filesystem::create_directories(settings_dir_);
      remove_settings_ = true;
    }
    settings_ = std::make_unique<FileSettings>(settings_dir_);
    AppOptions app_options;
    if (command_line_.docs) app_options.docs = path_from_utf8(*command_line_.docs);
    Simulator* sim = nullptr;
    // No hardware in scripts but the devices a script names by their path.
    if (command_line_.demo) {
      simulator_.enable(parse_demo_list(*command_line_.demo));
      sim = &simulator_;
    }
    ports_ = std::make_unique<SimPortSystem>(simulator_, &system_ports_);
    calls_ = options.calls;
    app_options.demo = sim != nullptr;
    host_ = std::make_unique<HeadlessHost>();
    auto app = std::make_unique<App>(*host_, *settings_, *ports_, app_options, sim);
    app_ = app.get();
    app_->start();
    for (const std::string& port : command_line_.ports) app_->open_address(port);
    if (command_line_.replay) app_->open_replay_tab(path_from_utf8(*command_line_.replay));
    host_->slot().install(std::move(app));
  }

  ~Runner() {
    host_.reset();
    if (remove_settings_) {
      std::error_code ec;
      std::filesystem::remove_all(settings_dir_, ec);
    }
  }

  // Returns an error text, empty on success.
  std::string run_line(const std::string& line) {
    const auto w = words(line);
    if (w.empty() || w[0][0] == '#') return {};
    const std::string& cmd = w[0];
    const auto number = [&](size_t i, int64_t fallback) -> int64_t {
      return i < w.size() ? std::stoll(w[i]) : fallback;
    };
    if (cmd == "wait") {
      host_->run_until(
          [&] {
            window_timers();
            return false;
          },
          number(1, 0));
    } else if (cmd == "until") {
      const std::string text = rest_of(line);
      if (!host_->run_until(
              [&] {
                window_timers();
                return current_log_contains(text);
              },
              10'000)) {
        return "no line containing \"" + text + "\" within 10 s";
      }
    } else if (cmd == "untilafter") {
      const std::string text = rest_of(line);
      if (!host_->run_until(
              [&] {
                window_timers();
                return current_log_contains(text, true);
              },
              10'000)) {
        return "no line containing \"" + text + "\" after the last mark within 10 s";
      }
    } else if (cmd == "untilstate") {
      const std::string text = rest_of(line);
      if (!host_->run_until(
              [&] {
                window_timers();
                Session* s = app_->state().current_session();
                return s != nullptr &&
                       session_state_text(*s, light_palette).text.find(text) != std::string::npos;
              },
              10'000)) {
        return "the state line never said \"" + text + "\" within 10 s";
      }
    } else if (cmd == "waitlines") {
      const auto n = static_cast<size_t>(number(1, 0));
      if (!host_->run_until(
              [&] {
                window_timers();
                Session* s = app_->state().current_session();
                return s != nullptr && s->log.line_count() >= n;
              },
              10'000)) {
        return "fewer than " + std::to_string(n) + " lines within 10 s";
      }
    } else if (cmd == "post") {
      host_->poster()->post(AppMessage{static_cast<int>(number(1, 0)),
                                       static_cast<uint64_t>(number(2, 0)), number(3, 0)});
      host_->pump();
    } else if (cmd == "devchange") {
      with_app([](App& a) { a.on_device_change(); });
    } else if (cmd == "open") {
      const std::string name = rest_of(line);
      bool found = false;
      with_app([&](App& a) {
        for (const PortInfo& p : a.state().ports) {
          if (p.name == name) {
            a.open_tab(p);
            found = true;
            break;
          }
        }
      });
      if (!found) return "no port " + name + " in the list";
    } else if (cmd == "openpath") {
      const std::string path = rest_of(line);
      with_app([&](App& a) { a.open_address(path); });
    } else if (cmd == "call") {
      const std::string name = rest_of(line);
      const auto call = calls_.find(name);
      if (call == calls_.end()) return "no step named " + name;
      if (std::string error = call->second(); !error.empty()) return name + ": " + error;
    } else if (cmd == "close") {
      with_app([](App& a) {
        if (Session* s = a.state().current_session()) a.close_port(*s);
      });
    } else if (cmd == "closetab") {
      with_app([&](App& a) {
        const auto cur = a.state().current;
        a.close_tab(static_cast<size_t>(number(1, cur ? static_cast<int64_t>(*cur) : 0)));
      });
    } else if (cmd == "select") {
      with_app([&](App& a) { a.select_tab(static_cast<size_t>(number(1, 0))); });
    } else if (cmd == "action") {
      with_app([&](App& a) { a.run_notice_action(static_cast<size_t>(number(1, 0))); });
    } else if (cmd == "set") {
      if (w.size() < 3) return "set needs a name and a value";
      settings_->set_dword(w[1], static_cast<uint32_t>(std::stoul(w[2])));
    } else if (cmd == "type") {
      const std::u16string units = utf16_from_utf8(rest_of(line));
      with_view([&](View v) {
        for (char16_t u : units) on_char(v, u);
      });
    } else if (cmd == "click" || cmd == "press" || cmd == "release" || cmd == "move" ||
               cmd == "rightclick" || cmd == "wheel") {
      return pointer(cmd, w);
    } else if (cmd == "key") {
      if (w.size() < 2) return "key needs a name";
      const std::optional<Key> key = script::key_named(w[1]);
      if (!key) return "no key named " + w[1];
      Modifiers m;
      for (size_t i = 2; i < w.size(); ++i) {
        if (w[i] == "ctrl") {
          m.ctrl = true;
        } else if (w[i] == "shift") {
          m.shift = true;
        } else {
          return "a key takes ctrl and shift, not " + w[i];
        }
      }
      with_view([&](View v) { on_key_down(v, *key, m); });
    } else if (cmd == "answer") {
      if (w.size() < 2) return "answer needs a menu id, none or file";
      if (w[1] == "file") {
        // The next open dialog: a path, or none for Cancel.
        const std::string path = w.size() > 2 ? rest_of(rest_of(line)) : std::string();
        if (path.empty() || path == "none") {
          host_->open_answers.push_back(std::nullopt);
        } else {
          host_->open_answers.push_back(path_from_utf8(path));
        }
      } else if (w[1] == "none") {
        host_->menu_answers.push_back(std::nullopt);
      } else {
        host_->menu_answers.push_back(static_cast<int>(number(1, 0)));
      }
    } else if (cmd == "enter") {
      with_app([](App& a) {
        if (Session* s = a.state().current_session()) a.send_box_enter(*s);
      });
    } else if (cmd == "repeat") {
      with_app([&](App& a) {
        if (Session* s = a.state().current_session()) {
          a.start_repeat(*s, static_cast<uint32_t>(number(1, 1000)),
                         static_cast<uint32_t>(number(2, 0)));
        }
      });
    } else if (cmd == "stop") {
      with_app([](App& a) {
        if (Session* s = a.state().current_session()) a.stop_repeat(*s);
      });
    } else if (cmd == "record") {
      with_app([&](App& a) {
        Session* s = a.state().current_session();
        if (!s) return;
        a.toggle_record(*s);
        if (s->recording) recorded_from_[s->id] = s->log.lines_received();
      });
    } else if (cmd == "measure") {
      measure_.start(*host_);
    } else if (cmd == "checkflood") {
      return check_flood();
    } else if (cmd == "print") {
      return print(w.size() > 1 ? w[1] : std::string{});
    } else {
      return "unknown command " + cmd;
    }
    return {};
  }

  void print_state() {
    App& a = *app_;
    AppState& st = a.state();
    for (size_t i = 0; i < st.sessions.size(); ++i) {
      const Session& s = *st.sessions[i];
      out_ << "session " << i << ": " << s.port_name << " state=" << state_name(s.state.kind)
           << " lines=" << s.log.line_count() << " received=" << s.log.lines_received()
           << " bytes=" << s.earlier_bytes_received + s.bytes_received
           << " disconnects=" << s.disconnects << " reconnects=" << s.reconnects
           << (st.current == i ? " current" : "");
      if (s.state.kind == ConnectionKind::Failed) {
        out_ << " why=\"" << open_failure_text(s.state.failure, s.port_name) << "\"";
      }
      out_ << "\n";
    }
    if (Session* s = st.current_session()) {
      out_ << "log:\n";
      s->log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
        out_ << "  " << copy_text(r, s->hex_view(), st.stamp_mode, s->opened_at) << "\n";
      });
    }
    if (st.notice) script::print_notice(out_, st);
    std::error_code ec;
    if (std::filesystem::is_directory(st.log_folder, ec)) {
      std::vector<std::string> files;
      for (const auto& e : std::filesystem::recursive_directory_iterator(st.log_folder, ec)) {
        if (e.is_regular_file()) {
          files.push_back(utf8_from_path(std::filesystem::relative(e.path(), st.log_folder)) +
                          " (" + std::to_string(e.file_size()) + " bytes)");
        }
      }
      std::sort(files.begin(), files.end());
      for (const auto& f : files) out_ << "file: " << f << "\n";
    }
  }

  std::string output() const { return out_.str(); }

 private:
  template <class F>
  void with_app(F&& f) {
    host_->slot().with(std::forward<F>(f));
    host_->pump();
    window_timers();
  }
  template <class F>
  void with_view(F&& f) {
    with_app([&](App& a) { f(View{a, gfx_, script::kWindowWidth, script::kWindowHeight}); });
  }

  // The window's own timers (tooltip, search) reach the application's
  // handler on this host; the window's handler runs after each of them.
  void window_timers() {
    if (measure_.running()) {
      host_->slot().with([&](App& a) { measure_.frame_if_due(a, host_->repaints); });
    }
    for (const int id : {kTimerTooltip, kTimerSearch}) {
      const int fired = host_->timer_fires[id];
      if (fired == seen_fires_[id]) continue;
      seen_fires_[id] = fired;
      host_->slot().with([&](App& a) {
        on_window_timer(View{a, gfx_, script::kWindowWidth, script::kWindowHeight}, id);
      });
    }
  }

  // click, press, release, move, rightclick: a point and, for click and
  // press, shift and ctrl; wheel: a point and the delta.
  std::string pointer(const std::string& cmd, const std::vector<std::string>& w) {
    std::vector<std::string> where(w.begin() + 1, w.end());
    Modifiers m;
    while (!where.empty() && (where.back() == "shift" || where.back() == "ctrl")) {
      (where.back() == "shift" ? m.shift : m.ctrl) = true;
      where.pop_back();
    }
    int delta = 0;
    if (cmd == "wheel") {
      if (where.size() < 2) return "wheel needs a point and a delta";
      delta = std::stoi(where.back());
      where.pop_back();
    }
    std::string error;
    std::optional<Point> p;
    host_->slot().with([&](App& a) {
      p = script::point_of(View{a, gfx_, script::kWindowWidth, script::kWindowHeight}, where,
                           error);
    });
    if (!p) return error;
    with_view([&](View v) {
      if (cmd == "click") {
        on_mouse_move(v, *p);
        on_left_down(v, *p, m);
        on_left_up(v, *p);
      } else if (cmd == "press") {
        on_mouse_move(v, *p);
        on_left_down(v, *p, m);
      } else if (cmd == "release") {
        on_mouse_move(v, *p);
        on_left_up(v, *p);
      } else if (cmd == "move") {
        on_mouse_move(v, *p);
      } else if (cmd == "rightclick") {
        on_mouse_move(v, *p);
        on_right_click(v, *p);
      } else {
        on_mouse_move(v, *p);
        on_wheel(v, *p, delta);
      }
    });
    return {};
  }

  std::string print(const std::string& what) {
    bool known = true;
    host_->slot().with([&](App& a) {
      const View v{a, gfx_, script::kWindowWidth, script::kWindowHeight};
      if (what.empty()) {
        print_state();
      } else if (what == "rows") {
        script::print_rows(out_, v);
      } else if (what == "view") {
        script::print_view(out_, v);
      } else if (what == "field") {
        script::print_field(out_, v);
      } else if (what == "notice") {
        script::print_notice(out_, a.state());
      } else if (what == "tooltip") {
        script::print_tooltip(out_, v);
      } else if (what == "menu") {
        if (host_->menus_shown.empty()) {
          out_ << "menu: none\n";
        } else {
          out_ << "menu:\n";
          script::print_menu(out_, host_->menus_shown.back());
        }
      } else if (what == "ports") {
        out_ << "ports:\n";
        for (const PortInfo& p : a.state().ports) {
          out_ << "  " << p.name << (p.added ? " [added]" : "")
               << (p.description.empty() ? "" : " · " + p.description) << "\n";
        }
      } else if (what == "measure") {
        measure_.print(out_);
      } else if (what == "clipboard") {
        out_ << "clipboard: " << (host_->clipboard ? *host_->clipboard : std::string("none"))
             << "\n";
      } else {
        known = false;
      }
    });
    return known ? std::string{}
                 : "print takes rows, view, field, notice, tooltip, menu, ports, measure or "
                   "clipboard";
  }

  // Every recording flood tab stops recording (which writes out its file),
  // then its files must hold each numbered line since Record went on, once
  // and in order.
  std::string check_flood() {
    uint64_t lost = 0;
    uint64_t wrong = 0;
    size_t checked = 0;
    with_app([&](App& a) {
      for (const auto& session : a.state().sessions) {
        Session& s = *session;
        const auto from = recorded_from_.find(s.id);
        if (!is_flood_name(s.port_name) || !s.recording || from == recorded_from_.end()) continue;
        a.toggle_record(s);
        const uint64_t last = s.log.lines_received();
        const script::SequenceCheck c =
            script::check_sequence(a.state().log_folder, s, from->second + 1, last);
        out_ << "flood " << s.port_name << ": lines=" << last - from->second << " found=" << c.found
             << " lost=" << c.lost << " disorder=" << c.disorder << " bad=" << c.bad << "\n";
        lost += c.lost;
        wrong += c.disorder + c.bad;
        ++checked;
      }
    });
    out_ << "soak_lines_lost: " << lost << "\n";
    if (checked == 0) return "no flood tab was recording";
    if (lost + wrong > 0) return "a flood recording lost or mangled lines";
    return {};
  }

  // after_mark: only lines after the log's last mark count.
  bool current_log_contains(const std::string& text, bool after_mark = false) {
    Session* s = app_->state().current_session();
    if (!s) return false;
    bool found = false;
    s->log.for_each_from(0, [&](uint64_t, const LineRecord& r) {
      if (after_mark && r.direction == Direction::Mark) {
        found = false;
      } else if (!found && line_text(r, false).find(text) != std::string::npos) {
        found = true;
      }
    });
    return found;
  }

  CommandLine command_line_;
  std::filesystem::path settings_dir_;
  bool remove_settings_ = false;
  std::unique_ptr<FileSettings> settings_;
  Simulator simulator_;
  SystemPortSystem system_ports_;
  std::unique_ptr<PortSystem> ports_;
  std::map<std::string, std::function<std::string()>> calls_;
  std::unique_ptr<HeadlessHost> host_;
  App* app_ = nullptr;
  RecordingGfx gfx_;
  std::map<int, int> seen_fires_;
  std::map<uint64_t, uint64_t> recorded_from_;  // session id: lines before Record
  script::Measure measure_;
  std::ostringstream out_;
};

}  // namespace

ScriptResult run_script(const ScriptOptions& options, const std::string& script) {
  ScriptResult result;
  Runner runner(options);
  std::istringstream lines(script);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string error = runner.run_line(line);
    if (!error.empty()) {
      result.ok = false;
      result.error = "line " + std::to_string(number) + ": " + error;
      break;
    }
  }
  if (options.print_at_end) runner.print_state();
  result.output = runner.output();
  return result;
}

}  // namespace lw
