#pragma once
// One HTTPS download to a file. Windows runs the system's own
// System32\curl.exe; Linux uses libcurl with the same rules: HTTPS only
// (redirects too), at most 600 s, an HTTP error status is a failure.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace lw {

inline constexpr int kDownloadTimeLimitSeconds = 600;

// A failed transfer gives download_failed_text() with code 0; a failure of
// the system (curl can't be started, the file can't be written) gives the
// system's text.
Status download_file(const std::string& url, const std::filesystem::path& output);

// Linux only, for tests: a CA bundle that replaces the system's, so a test
// can serve HTTPS from 127.0.0.1 with a certificate it made itself. The
// program never sets it.
inline constexpr const char* kTestCaFileVariable = "LINEWICK_TEST_CA_FILE";

// --- Windows: how curl.exe is run (portable so both builds test it) ---

// <system_root>\System32\curl.exe; an empty system_root means C:\Windows.
std::string curl_program_path(std::string_view system_root);
// "-fsSL" "--proto" "=https" "--max-time" "600" "-o" <output> <url>.
std::vector<std::string> curl_arguments(std::string_view output, std::string_view url);
// The program and its arguments as one command line, each quoted the way
// the C runtime splits them again.
std::string windows_command_line(std::string_view program, const std::vector<std::string>& args);

}  // namespace lw
