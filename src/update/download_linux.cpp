// libcurl in place of the system's curl program, with its rules: HTTPS only
// (redirects too, at most kMaxRedirects), 600 s in all, an HTTP error
// status fails, and nothing past the byte limit is written.
#include <curl/curl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <system_error>

#include "update/download.h"
#include "update/fresh_file_linux.h"
#include "update/update_texts.h"

namespace lw {

namespace {

Error errno_error(int code) { return Error{code, std::generic_category().message(code)}; }

struct Sink {
  int fd = -1;
  uint64_t written = 0;
  uint64_t limit = 0;
  int write_errno = 0;
};

// Writes up to the limit and no further; a short count makes curl stop
// with a write error.
size_t write_to_file(char* data, size_t size, size_t count, void* user) {
  Sink& sink = *static_cast<Sink*>(user);
  const size_t offered = size * count;
  const uint64_t room = sink.limit - sink.written;
  const size_t wanted = offered > room ? static_cast<size_t>(room) : offered;
  size_t done = 0;
  while (done < wanted) {
    const ssize_t n = write(sink.fd, data + done, wanted - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sink.write_errno = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<size_t>(n);
  }
  sink.written += done;
  return done == offered ? offered : 0;
}

bool set_options(CURL* curl, const std::string& url, Sink& sink) {
  bool ok = curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https") == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https") == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_MAXREDIRS, long{kMaxRedirects}) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_TIMEOUT, long{kDownloadTimeLimitSeconds}) == CURLE_OK;
  // An announced length past the limit fails before anything is written.
  ok = ok && curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                              static_cast<curl_off_t>(sink.limit)) == CURLE_OK;
  // Worker threads: no SIGALRM for name resolution timeouts.
  ok = ok && curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &write_to_file) == CURLE_OK;
  ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
#ifdef LINEWICK_TEST_HOOKS
  if (const char* ca = std::getenv(kTestCaFileVariable); ca != nullptr && *ca != '\0') {
    ok = ok && curl_easy_setopt(curl, CURLOPT_CAINFO, ca) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr) == CURLE_OK;
  }
#endif
  return ok;
}

}  // namespace

Status download_file(const std::string& url, const std::filesystem::path& output,
                     uint64_t max_bytes) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  Result<int> fd = create_fresh_file(output);
  if (!fd) return fail(fd.error());
  Sink sink{*fd, 0, max_bytes, 0};

  CURL* curl = curl_easy_init();
  CURLcode rc = CURLE_FAILED_INIT;
  if (curl != nullptr) {
    rc = set_options(curl, url, sink) ? curl_easy_perform(curl) : CURLE_FAILED_INIT;
    curl_easy_cleanup(curl);
  }
  const bool closed = close(sink.fd) == 0;
  const int close_errno = errno;
  if (sink.write_errno != 0) return fail(errno_error(sink.write_errno));
  if (rc != CURLE_OK) return fail(Error{0, download_failed_text()});
  if (!closed) return fail(errno_error(close_errno));
  return {};
}

}  // namespace lw
