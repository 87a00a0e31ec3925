#pragma once
// The updater's texts for the user, in the interface language.
#include <string>
#include <string_view>

namespace lw {

std::string checking_for_updates_text();
// "You're up to date (0.1.0)".
std::string up_to_date_text(std::string_view version);
// The question of the Yes/No box and its title.
std::string update_question_text(std::string_view offered, std::string_view current);
inline constexpr std::string_view kUpdateQuestionTitle = "Linewick";
std::string downloading_update_text();
// "A new version is available: 0.2.0", with the action
// "Open the download page" (Linux).
std::string new_version_on_page_text(std::string_view offered);
std::string download_failed_text();
std::string size_mismatch_text();
std::string hash_mismatch_text();
std::string signature_failed_text();

}  // namespace lw
