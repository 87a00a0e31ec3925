// The keyboard: shortcuts, the keys of the focused field, typed characters
// and the input method's composition.
#include <charconv>
#include <string>

#include "app/tab_commands.h"
#include "base/utf8.h"
#include "lang/tr.h"
#include "ui/commands.h"
#include "ui/dialog.h"
#include "ui/input/input.h"
#include "ui/input/input_shared.h"
#include "ui/text_edit.h"

namespace lw {

namespace {

constexpr uint32_t kMinBaud = 50;
constexpr uint32_t kMaxBaud = 12'000'000;

void find_next(View v, bool backwards) {
  apply_search_text(v.app);  // a search typed just now counts at once
  AppState& state = v.app.state();
  Session* s = state.current_session();
  if (s == nullptr) return;
  if (s->log.search_next(backwards, state.search_text, state.visible_rows) ==
      SearchOutcome::NotFound) {
    v.app.show_notice(Notice{not_found_notice(), false, {}});
  }
  v.app.host().request_repaint();
}

// Enter in the baud rate field: a rate in range goes to the tab (and its
// port and stored settings).
void apply_typed_baud(View v) {
  Session* s = v.app.state().current_session();
  if (s == nullptr) return;
  const std::string typed = utf8_from_utf32(ui_state(v.app).baud_field.text);
  uint32_t baud = 0;
  const auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), baud);
  if (typed.empty() || ec != std::errc{} || end != typed.data() + typed.size() || baud < kMinBaud ||
      baud > kMaxBaud) {
    v.app.show_notice(
        Notice{tr("50부터 12000000까지의 숫자를 입력하세요", "Type a number from 50 to 12000000"),
               true,
               {}});
    return;
  }
  set_baud(v.app, *s, baud);
  ui_state(v.app).baud_field.set_utf8(std::to_string(baud));
}

Focus focus_after_leaving(View v) {
  return v.app.state().current_session() != nullptr ? Focus::send : Focus::none;
}

// Caret moves, deletions, selection and the clipboard inside a field.
bool edit_field(View v, const input::FocusedField& field, Key key, Modifiers m) {
  TextInput& t = *field.input;
  Host& host = v.app.host();
  const std::u32string before = t.text;
  switch (key) {
    case Key::left:
      move_left(t, m.ctrl, m.shift);
      break;
    case Key::right:
      move_right(t, m.ctrl, m.shift);
      break;
    case Key::home:
      move_home(t, m.shift);
      break;
    case Key::end:
      move_end(t, m.shift);
      break;
    case Key::backspace:
      delete_backward(t, m.ctrl);
      break;
    case Key::del:
      delete_forward(t, m.ctrl);
      break;
    case Key::a:
      if (!m.ctrl) return false;
      select_all(t);
      break;
    case Key::c:
      if (!m.ctrl) return false;
      if (t.has_selection()) {
        host.set_clipboard_text(selected_utf8(t));
      } else if (field.kind != FieldKind::dialog) {
        copy_selected_lines(v.app);
      }
      break;
    case Key::x:
      if (!m.ctrl) return false;
      if (t.has_selection()) {
        host.set_clipboard_text(selected_utf8(t));
        delete_backward(t, false);
      }
      break;
    case Key::v:
      if (!m.ctrl) return false;
      if (const std::optional<std::string> clip = host.clipboard_text()) {
        insert(t, paste_text(*clip, field.kind));
      }
      break;
    default:
      return false;
  }
  if (t.text != before) {
    input::field_edited(v, field.kind);
  } else {
    host.request_repaint();
  }
  input::place_ime(v, field);
  return true;
}

// Enter, Up, Down and Esc in a focused field (the dialog's are handled
// before); false when the key means nothing there.
bool field_command(View v, const input::FocusedField& field, Key key, Modifiers m) {
  UiState& ui = ui_state(v.app);
  Session* s = v.app.state().current_session();
  switch (key) {
    case Key::enter:
      if (field.kind == FieldKind::send && s != nullptr) {
        input::send_input(ui, *s);
        v.app.send_box_enter(*s);
        input::send_input(ui, *s);  // a sent box is empty now
      } else if (field.kind == FieldKind::search) {
        find_next(v, m.shift);
      } else if (field.kind == FieldKind::baud) {
        apply_typed_baud(v);
      }
      return true;
    case Key::up:
    case Key::down: {
      if (field.kind != FieldKind::send || s == nullptr) return false;
      SendHistory& history = s->send.history;
      const std::optional<std::string> text = key == Key::up ? history.older() : history.newer();
      if (text) {
        s->send_box = *text;
        input::send_input(ui, *s);
        v.app.host().request_repaint();
      }
      return true;
    }
    case Key::escape:
      if (field.kind == FieldKind::search) {
        clear(ui.search_field);
        input::field_edited(v, FieldKind::search);
        input::focus_field(v, focus_after_leaving(v));
      } else if (field.kind == FieldKind::baud) {
        input::focus_field(v, focus_after_leaving(v));
      } else if (field.kind == FieldKind::send && s != nullptr) {
        s->send.history.reset_cursor();
      }
      return true;
    default:
      return false;
  }
}

// While a dialog is open every key but Ctrl+S belongs to it.
bool dialog_key(View v, Key key, Modifiers m) {
  if (key == Key::enter) {
    close_dialog(v.app, true);
  } else if (key == Key::escape) {
    close_dialog(v.app, false);
  } else {
    const std::optional<input::FocusedField> field = input::focused_field(v, input::frame_of(v));
    return field && edit_field(v, *field, key, m);
  }
  v.app.host().request_repaint();
  return true;
}

// The shortcuts that work with or without a focused field.
bool window_key(View v, Key key, Modifiers m) {
  AppState& state = v.app.state();
  Session* s = state.current_session();
  UiState& ui = ui_state(v.app);
  if (m.ctrl) {
    switch (key) {
      case Key::m:
        if (s != nullptr) open_dialog(v.app, DialogKind::note);
        return true;
      case Key::f:
        if (s == nullptr) return false;
        input::focus_field(v, Focus::search);
        select_all(ui.search_field);
        return true;
      case Key::w:
        if (state.current) v.app.close_tab(*state.current);
        return true;
      case Key::l:
        // Shift too: a plain Ctrl+L clears the screen in many terminals.
        if (!m.shift) return false;
        if (s != nullptr) let_go_or_take_back(v.app, *s);
        return true;
      case Key::tab: {
        const size_t n = state.sessions.size();
        if (n == 0 || !state.current) return true;
        v.app.select_tab(m.shift ? (*state.current + n - 1) % n : (*state.current + 1) % n);
        return true;
      }
      case Key::home:
        if (s != nullptr) input::scroll_log_to(v.app, *s, 0);
        return true;
      case Key::end:
        if (s != nullptr) {
          s->log.jump_to_bottom(state.visible_rows);
          v.app.host().request_repaint();
        }
        return true;
      default:
        break;
    }
  }
  switch (key) {
    case Key::f3:
      find_next(v, m.shift);
      return true;
    case Key::page_up:
    case Key::page_down: {
      if (s == nullptr) return true;
      const double page = static_cast<double>(input::frame_of(v).rows_fit);
      input::scroll_log_by(v.app, *s, key == Key::page_up ? -page : page);
      return true;
    }
    default:
      return false;
  }
}

// Keys without a focused field.
bool log_key(View v, Key key, Modifiers m) {
  Session* s = v.app.state().current_session();
  switch (key) {
    case Key::up:
    case Key::down:
      if (s == nullptr) return false;
      input::scroll_log_by(v.app, *s, key == Key::up ? -1 : 1);
      return true;
    case Key::a:
      if (!m.ctrl) return false;
      select_all_lines(v.app);
      return true;
    case Key::c:
      if (!m.ctrl) return false;
      copy_selected_lines(v.app);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool on_key_down(View v, Key key, Modifiers m) {
  UiState& ui = ui_state(v.app);
  if (m.ctrl && key == Key::s) {
    save_log_command(v.app);
    return true;
  }
  if (ui.dialog) return dialog_key(v, key, m);
  if (window_key(v, key, m)) return true;
  const UiFrame f = input::frame_of(v);
  if (const std::optional<input::FocusedField> field = input::focused_field(v, f)) {
    return field_command(v, *field, key, m) || edit_field(v, *field, key, m);
  }
  return log_key(v, key, m);
}

void on_char(View v, char16_t unit) {
  UiState& ui = ui_state(v.app);
  const std::optional<char32_t> c = ui.typed.feed(unit);
  if (!c) return;
  const std::optional<input::FocusedField> field = input::focused_field(v, input::frame_of(v));
  if (!field) return;
  if (type_char(*field->input, field->kind, *c)) {
    input::field_edited(v, field->kind);
    input::place_ime(v, *field);
  }
}

void on_ime_composition(View v, std::u32string_view composition) {
  const std::optional<input::FocusedField> field = input::focused_field(v, input::frame_of(v));
  if (!field) return;
  const std::u32string before = field->input->text;
  set_composition(*field->input, composition);
  if (field->input->text != before) {
    input::field_edited(v, field->kind);  // the selection it replaced is gone
  } else {
    v.app.host().request_repaint();
  }
  input::place_ime(v, *field);
}

void on_ime_result(View v, std::u32string_view result) {
  const std::optional<input::FocusedField> field = input::focused_field(v, input::frame_of(v));
  if (!field) return;
  commit_composition(*field->input, result);
  input::field_edited(v, field->kind);
  input::place_ime(v, *field);
}

}  // namespace lw
