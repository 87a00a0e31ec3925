#include "update/update_document.h"

#include <nlohmann/json.hpp>

namespace lw {

namespace {

const std::string* member_string(const nlohmann::json& doc, const char* name) {
  const auto it = doc.find(name);
  if (it == doc.end() || !it->is_string()) return nullptr;
  return it->get_ptr<const std::string*>();
}

void lower_ascii(std::string& s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

// The version becomes part of a file name in the work folder; a separator,
// a drive colon or a control character there could write elsewhere.
bool usable_in_file_name(std::string_view version) {
  if (version.empty() || version == "." || version == "..") return false;
  if (version.find("..") != std::string_view::npos) return false;
  for (const char c : version) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
    if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace

Result<UpdateInfo, std::string> parse_update_document(std::string_view text) {
  // No exceptions: an invalid text gives a discarded value.
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return fail(std::string(kManifestError));
  const std::string* version = member_string(doc, "version");
  const std::string* url = member_string(doc, "url");
  const std::string* sha256 = member_string(doc, "sha256");
  if (!version || !url || !sha256) return fail(std::string(kManifestError));
  if (!usable_in_file_name(*version)) return fail(std::string(kManifestError));

  UpdateInfo info{*version, *url, *sha256, 0};
  lower_ascii(info.sha256);
  if (const auto it = doc.find("size"); it != doc.end() && it->is_number_unsigned()) {
    info.size = it->get<uint64_t>();
  }
  return info;
}

std::string update_document_address(std::string_view base, std::string_view version,
                                    std::string_view language) {
  std::string out(base);
  out += "?v=";
  out += version;
  out += "&lang=";
  out += language;
  return out;
}

}  // namespace lw
