#pragma once
// The update document on the maker's site ("update.json") and its address.
#include <cstdint>
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

// The error text of a document that can't be used; shown as it is.
inline constexpr std::string_view kManifestError = "manifest";

// A JSON object with the strings "version", "url" and "sha256" (other
// members are ignored); "size" counts only as a non-negative integer.
// Anything else fails with kManifestError. A version that could leave the
// work folder once it is part of the installer's file name fails too.
Result<UpdateInfo, std::string> parse_update_document(std::string_view text);

// base + "?v=" + version + "&lang=" + language.
std::string update_document_address(std::string_view base, std::string_view version,
                                    std::string_view language);

// The address the program was built with, without the query (the build
// setting LINEWICK_UPDATE_URL).
std::string_view default_update_document_base();

}  // namespace lw
