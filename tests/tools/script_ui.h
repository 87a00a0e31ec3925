#pragma once
// The window side of the script driver: points named by what is drawn
// there, key names, and print-outs of what the frame shows.
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/host.h"
#include "gfx/gfx.h"
#include "ui/input/input.h"

namespace lw::script {

inline constexpr float kWindowWidth = 1180;
inline constexpr float kWindowHeight = 760;

// "X Y", or a target name with an optional index (a port row also takes the
// port's name; log_rows counts the rows on screen from the top). Fills
// `error` and returns none when the words name nothing on screen.
std::optional<Point> point_of(View v, std::span<const std::string> words, std::string& error);

std::optional<Key> key_named(const std::string& name);

// The rows on screen as the log shows them ("*" marks selected ones).
void print_rows(std::ostream& out, View v);
// Scroll position, following, selection, search and the graph span.
void print_view(std::ostream& out, View v);
// The focused field's kind, text and caret.
void print_field(std::ostream& out, View v);
void print_notice(std::ostream& out, const AppState& state);
void print_menu(std::ostream& out, const std::vector<MenuItem>& items, int depth = 0);
void print_tooltip(std::ostream& out, View v);

}  // namespace lw::script
