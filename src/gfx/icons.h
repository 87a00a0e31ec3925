#pragma once
// The program's icons, in the icon path language (icon_path.h).
#include <string_view>

namespace lw::icons {

inline constexpr std::string_view plug =
    "M 8 2.5 L 8 6.5 M 12 2.5 L 12 6.5 R 5 6.5 10 7 1.5 M 10 13.5 L 10 17.5";
inline constexpr std::string_view menu = "M 3 5 L 17 5 M 3 10 L 17 10 M 3 15 L 17 15";
inline constexpr std::string_view check = "M 5 10.5 L 8.5 14 L 15 6.5";
inline constexpr std::string_view cross = "M 5 5 L 15 15 M 15 5 L 5 15";
inline constexpr std::string_view values_csv = "R 3 3.5 14 13 1.5 M 3 8 L 17 8 M 8.5 8 L 8.5 16.5";
inline constexpr std::string_view record = "C 10 10 7.5 C 10 10 3";
inline constexpr std::string_view clock = "C 10 10 7.5 M 10 5.5 L 10 10 L 13 12";
inline constexpr std::string_view magnifier = "C 8.5 8.5 6 M 13 13 L 17.5 17.5";
inline constexpr std::string_view funnel =
    "M 3 4 L 17 4 L 11.5 10.5 L 11.5 16 L 8.5 17.5 L 8.5 10.5 Z";
inline constexpr std::string_view save =
    "M 4.5 3 L 13.5 3 L 17 6.5 L 17 15.5 A 1.5 15.5 17 L 4.5 17 A 1.5 3 15.5 L 3 4.5 A 1.5 4.5 3 "
    "M 6.5 17 L 6.5 12 L 13.5 12 L 13.5 17 M 7 3 L 7 6.5 L 11.5 6.5";
inline constexpr std::string_view copy =
    "R 7 7 10.5 10.5 1.5 M 4 13 A 1.5 2.5 11.5 L 2.5 4 A 1.5 4 2.5 L 11.5 2.5 A 1.5 13 4";
inline constexpr std::string_view trash =
    "M 3 5.5 L 17 5.5 M 7.5 5.5 L 7.5 4 A 1.5 9 2.5 L 11 2.5 A 1.5 12.5 4 L 12.5 5.5 "
    "M 4.5 5.5 L 5.2 15.6 a 1.5 6.7 17 L 13.3 17 a 1.5 14.8 15.6 L 15.5 5.5 "
    "M 8.3 9 L 8.3 13.5 M 11.7 9 L 11.7 13.5";
inline constexpr std::string_view bell =
    "M 5 14 L 5 9 A 5 15 9 L 15 14 L 16.5 15.5 L 3.5 15.5 Z M 8.5 17.5 L 11.5 17.5";
inline constexpr std::string_view flag =
    "M 5 17.5 L 5 3 M 5 3.5 L 15 3.5 L 12.5 7 L 15 10.5 L 5 10.5";
inline constexpr std::string_view graph =
    "M 3 3 L 3 17 L 17 17 M 6 13 L 9.5 8.5 L 12.5 11 L 16.5 5";
inline constexpr std::string_view jump_down =
    "M 10 3 L 10 13.5 M 5.5 9 L 10 13.5 L 14.5 9 M 4 17 L 16 17";
inline constexpr std::string_view list =
    "M 7 5 L 17 5 M 7 10 L 17 10 M 7 15 L 17 15 D 3.5 5 D 3.5 10 D 3.5 15";
inline constexpr std::string_view send = "M 3 10 L 16.5 10 M 11.5 5 L 16.5 10 L 11.5 15";
inline constexpr std::string_view pause = "M 7 4 L 7 16 M 13 4 L 13 16";
inline constexpr std::string_view more = "C 4.5 10 1 C 10 10 1 C 15.5 10 1";
inline constexpr std::string_view add = "M 10 4 L 10 16 M 4 10 L 16 10";

// Every icon above, for checks that walk the whole set.
inline constexpr std::string_view all[] = {
    plug, menu,  check, cross, values_csv, record,    clock, magnifier, funnel, save,
    copy, trash, bell,  flag,  graph,      jump_down, list,  send,      pause,  more, add,
};

}  // namespace lw::icons
