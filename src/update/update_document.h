#pragma once
// The update document on the maker's site ("update.json") and its address.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

// What an update document offers.
struct UpdateInfo {
  std::string version;
  std::string url;     // where the installer is
  std::string sha256;  // the installer's digest as hexadecimal text, lower case
  uint64_t size = 0;   // the installer's length in bytes; 0: not checked
};

// A release offered on a web page rather than as an installer: the Linux
// program is updated by the package manager, so it only points the user
// there.
struct DownloadPage {
  std::string version;
  std::string page;  // the download page's address
};

// The error text of a document that can't be used; shown as it is.
inline constexpr std::string_view kManifestError = "manifest";

// A JSON object with the strings "version", "url" and "sha256" (other
// members are ignored); "size" counts only as a non-negative integer.
// Anything else fails with kManifestError, and so does an address that
// isn't is_https_address() or a version that could leave the work folder
// once it is part of the installer's file name.
Result<UpdateInfo, std::string> parse_update_document(std::string_view text);

// The document's "linux" member, an object with the strings "version" and
// "page" (an is_https_address()): none when the document has no such
// member; kManifestError when the text isn't a JSON object or the member
// isn't as described. The members for Windows are not looked at.
Result<std::optional<DownloadPage>, std::string> parse_download_page(std::string_view text);

// "https://", a host (a name, an IPv4 address or an IPv6 one in brackets)
// with an optional port, then nothing or a path, query or fragment of
// printable ASCII without white space or backslashes. Everything the
// document names passes here before it reaches curl or the browser: an
// address that curl would take for an option ("-K…"), another scheme or a
// user name before the host does not.
bool is_https_address(std::string_view address);

// base + "?v=" + version + "&lang=" + language.
std::string update_document_address(std::string_view base, std::string_view version,
                                    std::string_view language);

// The address the program was built with, without the query (the build
// setting LINEWICK_UPDATE_URL).
std::string_view default_update_document_base();

}  // namespace lw
