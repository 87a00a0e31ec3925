#pragma once
// An application over the headless host with tabs added by hand, painted on
// the recording Gfx (7 px per character at the normal size).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "base/time.h"
#include "gfx/gfx_recording.h"
#include "host/host_headless.h"
#include "support/memory_settings.h"
#include "ui/frame.h"
#include "ui/paint.h"
#include "ui/ui_state.h"

namespace lw::test {

class NoPorts final : public PortSystem {
 public:
  std::vector<PortInfo> list_ports() override { return {}; }
  Result<std::unique_ptr<Port>, OpenError> open_port(const std::string&,
                                                     const PortSettings&) override {
    return fail(OpenFailure::Missing);
  }
};

inline const Millis kNoon = millis_from_civil({2026, 11, 18, 12, 0, 0, 0});

class AppFixture : public ::testing::Test {
 protected:
  static constexpr float kWidth = 1180;
  static constexpr float kHeight = 760;

  AppFixture() : host(clock), app(host, settings, ports, AppOptions{}, nullptr) {
    clock.local = kNoon;
    app.state().lab = std::make_unique<LabApp>(settings, clock, std::filesystem::path("unused"));
    ui().dark = false;
  }

  UiState& ui() { return ui_state(app); }

  Session& add_session(std::string port, ConnectionKind kind = ConnectionKind::Open) {
    auto s = std::make_unique<Session>();
    s->id = next_session_id();
    s->port_name = port;
    s->state.kind = kind;
    if (kind == ConnectionKind::Open) s->opened_at = kNoon - 60'000;
    app.state().sessions.push_back(std::move(s));
    app.state().current = app.state().sessions.size() - 1;
    return *app.state().sessions.back();
  }

  static LineRecord line(std::string_view text, Millis at,
                         Direction direction = Direction::Received) {
    LineRecord r;
    r.bytes = Bytes(text);
    r.time = at;
    r.ending = direction == Direction::Mark ? LineEnding::None : LineEnding::CrLf;
    r.direction = direction;
    return r;
  }

  void append(Session& s, std::string_view text, Millis at,
              Direction direction = Direction::Received) {
    s.append(line(text, at, direction), app.state().search_text);
  }

  void paint(float width = kWidth, float height = kHeight) {
    gfx.clear();
    paint_window(app, gfx, width, height);
  }
  UiFrame frame(float width = kWidth, float height = kHeight) {
    return build_frame(app, gfx, width, height);
  }

  // Whether some text call shows exactly this text.
  bool shows(std::string_view text) const { return !gfx.texts(text).empty(); }
  std::vector<DrawCall> mono_texts() const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : gfx.calls_of(DrawKind::text))
      if (c.format == TextFormat::mono) out.push_back(c);
    return out;
  }

  ManualClock clock;
  HeadlessHost host;
  MemorySettings settings;
  NoPorts ports;
  App app;
  RecordingGfx gfx;
};

}  // namespace lw::test
