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

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alnum(char c) { return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_hex(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool valid_host(std::string_view host) {
  if (host.empty()) return false;
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    for (const char c : host.substr(1, host.size() - 2)) {
      if (!is_hex(c) && c != ':' && c != '.') return false;
    }
    return true;
  }
  // A label may not start with a hyphen, so nothing here reads as an option.
  if (!is_alnum(host.front())) return false;
  for (const char c : host) {
    if (!is_alnum(c) && c != '.' && c != '-') return false;
  }
  return true;
}

bool valid_port(std::string_view port) {
  if (port.empty() || port.size() > 5) return false;
  for (const char c : port) {
    if (!is_digit(c)) return false;
  }
  return true;
}

}  // namespace

bool is_https_address(std::string_view address) {
  constexpr std::string_view kScheme = "https://";
  if (!address.starts_with(kScheme)) return false;
  for (const char c : address) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F || c == '\\') return false;
  }
  const std::string_view rest = address.substr(kScheme.size());
  const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
  if (authority.find('@') != std::string_view::npos) return false;
  // The port follows the last colon outside the brackets of an IPv6 host.
  const size_t bracket = authority.rfind(']');
  const size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
    return valid_host(authority.substr(0, colon)) && valid_port(authority.substr(colon + 1));
  }
  return valid_host(authority);
}

Result<UpdateInfo, std::string> parse_update_document(std::string_view text) {
  // No exceptions: an invalid text gives a discarded value.
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return fail(std::string(kManifestError));
  const std::string* version = member_string(doc, "version");
  const std::string* url = member_string(doc, "url");
  const std::string* sha256 = member_string(doc, "sha256");
  if (!version || !url || !sha256) return fail(std::string(kManifestError));
  if (!usable_in_file_name(*version)) return fail(std::string(kManifestError));
  if (!is_https_address(*url)) return fail(std::string(kManifestError));

  UpdateInfo info{*version, *url, *sha256, 0};
  lower_ascii(info.sha256);
  if (const auto it = doc.find("size"); it != doc.end() && it->is_number_unsigned()) {
    info.size = it->get<uint64_t>();
  }
  return info;
}

Result<std::optional<DownloadPage>, std::string> parse_download_page(std::string_view text) {
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return fail(std::string(kManifestError));
  const auto entry = doc.find("linux");
  if (entry == doc.end()) return std::optional<DownloadPage>();
  if (!entry->is_object()) return fail(std::string(kManifestError));
  const std::string* version = member_string(*entry, "version");
  const std::string* page = member_string(*entry, "page");
  // The version is shown in a notice: the same rules as in a file name.
  if (!version || !page || !usable_in_file_name(*version) || !is_https_address(*page)) {
    return fail(std::string(kManifestError));
  }
  return std::optional<DownloadPage>(DownloadPage{*version, *page});
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
