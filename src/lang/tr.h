#pragma once
// Every text shown to the user goes through tr(korean, english) at the place
// it is used; texts with variable parts then go through fill.
#include <initializer_list>
#include <string>
#include <string_view>

namespace lw {

class Settings;

// The text for the interface language, chosen once, at the first call.
std::string tr(std::string_view korean, std::string_view english);
// tr() for texts kept as data rather than written at the call (the platform
// words): the translation check reads those tables itself.
std::string tr_data(std::string_view korean, std::string_view english);
// Replaces "{0}", "{1}", ... by the values, placeholder by placeholder.
std::string fill(std::string_view text, std::initializer_list<std::string_view> values);

// The store whose "Language" the first tr() reads; without one (or before
// it is given) the system's language is used. Call it at start-up, before
// any text is made; the store must outlive that first call.
void set_language_store(Settings& store);
// The interface language's code ("en", "ko", "ja", ...), chosen on first use.
std::string_view current_language();
// Chooses again from a stored form (a code, or "" to follow the system), so
// texts made from now on are in that language. The running program keeps
// its language (the menu only stores the choice); tests pick one with it.
void switch_language(std::string_view stored);

// Tests only: forget the chosen language and the store, so the next tr()
// chooses again.
void reset_language_for_testing();

}  // namespace lw
