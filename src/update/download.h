#pragma once
// One HTTPS download to a file. Windows runs the system's own
// System32\curl.exe; Linux uses libcurl with the same rules: HTTPS only
// (redirects too, at most kMaxRedirects of them), at most 600 s, an HTTP
// error status is a failure, and a transfer that goes past its byte limit
// is stopped there.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace lw {

inline constexpr int kDownloadTimeLimitSeconds = 600;
inline constexpr int kMaxRedirects = 10;
// update.json is a few hundred bytes.
inline constexpr uint64_t kDocumentByteLimit = uint64_t{1} << 20;
// An installer whose document gives no size; the real one is a few MiB.
inline constexpr uint64_t kInstallerByteLimit = uint64_t{256} << 20;
// A detached signature is a few hundred bytes.
inline constexpr uint64_t kSignatureByteLimit = uint64_t{64} << 10;

// A failed transfer, one stopped at max_bytes included, gives
// download_failed_text() with code 0; a failure of the system (curl can't
// be started, the file can't be made) gives the system's text. What was
// written stays for the caller to delete. Linux makes the file anew: what
// had its name, a link too, is removed first.
Status download_file(const std::string& url, const std::filesystem::path& output,
                     uint64_t max_bytes);

// Linux test builds only (see cmake/release.cmake): a CA bundle that
// replaces the system's, so a test can serve HTTPS from 127.0.0.1 with a
// certificate it made itself. Release builds don't read it.
inline constexpr const char* kTestCaFileVariable = "LINEWICK_TEST_CA_FILE";

// --- Windows: how curl.exe is run (portable so both builds test it) ---

// <system_root>\System32\curl.exe; an empty system_root means C:\Windows.
std::string curl_program_path(std::string_view system_root);
// "--disable" (no .curlrc of the user's), "-fsSL" "--proto" "=https"
// "--max-time" "600" "--max-redirs" "10" "--max-filesize" <max_bytes>
// "-o" <output> "--" <url>: after "--" curl reads the address as an
// address, whatever it starts with.
std::vector<std::string> curl_arguments(std::string_view output, std::string_view url,
                                        uint64_t max_bytes);
// The program and its arguments as one command line, each quoted the way
// the C runtime splits them again.
std::string windows_command_line(std::string_view program, const std::vector<std::string>& args);

}  // namespace lw
