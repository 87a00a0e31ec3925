// The two system message boxes of the main menu: About and the session
// summary.
#include <string>

#include "app/app.h"
#include "app/session_views.h"
#include "lab/summary.h"
#include "lang/languages.h"
#include "lang/platform_words.h"
#include "lang/tr.h"
#include "ui/dialog.h"
#include "ui/menus.h"
#include "update/version.h"

namespace lw {

namespace {

std::string with_crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char ch : text) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
}

}  // namespace

void show_about(App& app) {
  const std::string text =
      "Linewick " + std::string(kProgramVersion) + "\n\n" +
      tr("Arduino 보드와 계측기 같은 USB 시리얼 장치의 로그를 줄마다 시간과 함께 보는 무료 앱",
         "A free app to see the log of USB serial devices such as Arduino boards and "
         "instruments, with the time on every line") +
      "\n\n" + platform_tr(PlatformText::stays_here) + "\n\n" + maker_web_page();
  before_modal(app);
  app.host().message_box(tr("Linewick 정보", "About Linewick"), text);
}

void show_session_summary(App& app) {
  const Session* s = app.state().current_session();
  if (s == nullptr) return;
  const std::string summary = session_summary(summary_counters(*s, app.host().clock().local_now()));
  const std::string question = summary + "\n\n" + tr("이 요약을 복사할까요?", "Copy this summary?");
  before_modal(app);
  if (app.host().ask_yes_no(tr("세션 요약", "Session summary"), question)) {
    app.host().set_clipboard_text(with_crlf(summary));
  }
}

}  // namespace lw
