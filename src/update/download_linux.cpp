// libcurl in place of the system's curl program, with its rules: HTTPS only
// (redirects too), 600 s in all, an HTTP error status fails.
#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <system_error>

#include "update/download.h"
#include "update/update_texts.h"

namespace lw {

namespace {

Error errno_error(int code) { return Error{code, std::generic_category().message(code)}; }

size_t write_to_file(char* data, size_t size, size_t count, void* file) {
  // A short count makes curl stop with a write error.
  return std::fwrite(data, 1, size * count, static_cast<FILE*>(file));
}

bool set_options(CURL* curl, const std::string& url, FILE* out) {
  bool ok = curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https") == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https") == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_TIMEOUT, long{kDownloadTimeLimitSeconds}) == CURLE_OK;
  // Worker threads: no SIGALRM for name resolution timeouts.
  ok = ok && curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &write_to_file) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEDATA, out) == CURLE_OK;
  if (const char* ca = std::getenv(kTestCaFileVariable); ca != nullptr && *ca != '\0') {
    ok = ok && curl_easy_setopt(curl, CURLOPT_CAINFO, ca) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr) == CURLE_OK;
  }
  return ok;
}

}  // namespace

Status download_file(const std::string& url, const std::filesystem::path& output) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  FILE* out = std::fopen(output.c_str(), "wb");
  if (out == nullptr) return fail(errno_error(errno));

  CURL* curl = curl_easy_init();
  CURLcode rc = CURLE_FAILED_INIT;
  if (curl != nullptr) {
    rc = set_options(curl, url, out) ? curl_easy_perform(curl) : CURLE_FAILED_INIT;
    curl_easy_cleanup(curl);
  }
  const bool closed = std::fclose(out) == 0;
  const int close_errno = errno;
  if (rc != CURLE_OK) return fail(Error{0, download_failed_text()});
  if (!closed) return fail(errno_error(close_errno));
  return {};
}

}  // namespace lw
