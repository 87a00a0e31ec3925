// The update document and version texts. A document that reads has a version
// that is safe inside the installer's file name, an https address with a
// host that curl can't take for an option, and a lower-case digest, and
// written back as JSON reads back the same; anything else fails with the one
// "manifest" text. So does its "linux" entry, whose page passes the same
// address rules. Version comparison is an order: every text equals itself
// (also with a leading "v" and a ".0" more), and swapping sides swaps the
// answer.
//
// Input: the document's text; its two halves also serve as version texts.
#include <compare>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "fuzz_support.h"
#include "update/update_document.h"
#include "update/version.h"

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::strong_ordering reversed(std::strong_ordering o) { return 0 <=> o; }

void check_versions(std::string_view a, std::string_view b) {
  LW_FUZZ_CHECK(!lw::version_parts(a).empty());
  LW_FUZZ_CHECK(lw::compare_versions(a, a) == std::strong_ordering::equal);
  LW_FUZZ_CHECK(lw::compare_versions(b, a) == reversed(lw::compare_versions(a, b)));
  LW_FUZZ_CHECK(lw::is_newer_version(a, b) ==
                (lw::compare_versions(a, b) == std::strong_ordering::greater));
  // A leading "v" counts for nothing, and neither does a ".0" more.
  std::string_view core = a;
  while (!core.empty() && is_space(core.front())) core.remove_prefix(1);
  while (!core.empty() && is_space(core.back())) core.remove_suffix(1);
  const std::string padded = " v" + std::string(core) + ".0";
  LW_FUZZ_CHECK(lw::compare_versions(padded, a) == std::strong_ordering::equal);
}

void check_address(std::string_view address) {
  LW_FUZZ_CHECK(lw::is_https_address(address));
  LW_FUZZ_CHECK(address.starts_with("https://") && address.size() > 8 && address[8] != '-');
  for (const char c : address) {
    const auto u = static_cast<unsigned char>(c);
    LW_FUZZ_CHECK(u > 0x20 && u < 0x7F && c != '\\');
  }
}

void check_download_page(std::string_view text) {
  const auto page = lw::parse_download_page(text);
  if (!page.ok()) {
    LW_FUZZ_CHECK(page.error() == lw::kManifestError);
    return;
  }
  if (!page->has_value()) return;
  check_address((*page)->page);
  LW_FUZZ_CHECK(!(*page)->version.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = lw::fuzz::as_text(data, size);
  check_versions(text.substr(0, size / 2), text.substr(size / 2));
  check_download_page(text);

  const auto doc = lw::parse_update_document(text);
  if (!doc.ok()) {
    LW_FUZZ_CHECK(doc.error() == lw::kManifestError);
    return 0;
  }
  const lw::UpdateInfo& info = *doc;
  LW_FUZZ_CHECK(lw::is_valid_utf8(info.version) && lw::is_valid_utf8(info.url) &&
                lw::is_valid_utf8(info.sha256));
  LW_FUZZ_CHECK(!info.version.empty() && info.version.find("..") == std::string::npos);
  for (const char c : info.version) {
    const auto u = static_cast<unsigned char>(c);
    LW_FUZZ_CHECK(u >= 0x20 && u != 0x7F);
    LW_FUZZ_CHECK(std::string_view("/\\:*?\"<>|").find(c) == std::string_view::npos);
  }
  check_address(info.url);
  for (const char c : info.sha256) LW_FUZZ_CHECK(!(c >= 'A' && c <= 'Z'));
  check_versions(info.version, lw::kProgramVersion);

  std::string again = "{\"version\":" + lw::fuzz::json_string(info.version) +
                      ",\"url\":" + lw::fuzz::json_string(info.url) +
                      ",\"sha256\":" + lw::fuzz::json_string(info.sha256) +
                      ",\"size\":" + std::to_string(info.size) + "}";
  const auto back = lw::parse_update_document(again);
  LW_FUZZ_CHECK(back.ok());
  LW_FUZZ_CHECK(back->version == info.version && back->url == info.url &&
                back->sha256 == info.sha256 && back->size == info.size);
  return 0;
}
