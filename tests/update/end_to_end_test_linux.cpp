// The whole update against a real HTTPS server on 127.0.0.1: a test
// certificate authority and server certificate from openssl, signing keys
// from gpg, all made here, and python3 serving the files. The updater runs
// with the real libcurl, OpenSSL and GPGME code and only the trusted keys
// swapped for the test's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "update/download.h"
#include "update/fakes.h"
#include "update/processes_linux.h"
#include "update/signature.h"
#include "update/updater.h"

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::RecordingPoster;
using test::ServerProcess;

// Besides the files: /loop/… redirects to itself for ever, /endless/…
// streams 64 MiB without announcing a length, /big/… announces and sends
// 64 MiB.
constexpr std::string_view kServerScript = R"py(
import functools, http.server, ssl, sys
root, log, cert, key = sys.argv[1:5]
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, fmt, *args):
        with open(log, "a") as f:
            f.write(self.requestline + "\n")
    def do_GET(self):
        if self.path.startswith("/loop/"):
            self.send_response(302)
            self.send_header("Location", self.path)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if self.path.startswith("/endless/") or self.path.startswith("/big/"):
            self.send_response(200)
            if self.path.startswith("/big/"):
                self.send_header("Content-Length", str(64 << 20))
            self.end_headers()
            chunk = b"x" * 65536
            try:
                for _ in range(1024):
                    self.wfile.write(chunk)
            except OSError:
                pass
            self.close_connection = True
            return
        super().do_GET()
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                         functools.partial(Handler, directory=root))
if cert:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
)py";

std::string read_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_text(const fs::path& file, std::string_view text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Everything made once for the suite: certificates, keys, the servers.
struct Site {
  fs::path root;  // everything the suite writes
  fs::path www;   // what the servers serve
  fs::path log;   // the tools' output
  fs::path https_requests;
  fs::path http_requests;
  fs::path signing_home;   // keys "Quorvane Co., Ltd." and "Quorvane Co., Ltd", both trusted
  fs::path impostor_home;  // a key "Quorvane Co., Ltd." that isn't trusted
  std::string trusted_keys;
  ServerProcess https;
  ServerProcess http;
  std::string setup_failure;  // why setting up failed
};

Site* g_site = nullptr;
std::string g_skip;

bool tool(Site& s, std::vector<std::string> argv) {
  const std::string shown = argv[0] + " " + (argv.size() > 1 ? argv[1] : "");
  if (test::run_tool(argv, s.log) == 0) return true;
  s.setup_failure = "failed: " + shown + " (see " + s.log.string() + ")";
  return false;
}

bool make_certificates(Site& s) {
  const fs::path d = s.root / "tls";
  fs::create_directories(d);
  write_text(d / "server.ext",
             "subjectAltName=IP:127.0.0.1\nbasicConstraints=critical,CA:FALSE\n"
             "extendedKeyUsage=serverAuth\nkeyUsage=critical,digitalSignature\n");
  const std::string ec = "ec:" + (d / "p256.pem").string();
  return tool(s,
              {"openssl", "ecparam", "-name", "prime256v1", "-out", (d / "p256.pem").string()}) &&
         tool(s, {"openssl", "req", "-x509", "-newkey", ec, "-nodes", "-keyout",
                  (d / "ca.key").string(), "-out", (d / "ca.pem").string(), "-days", "2", "-subj",
                  "/CN=Linewick Test CA", "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                  "keyUsage=critical,keyCertSign,cRLSign"}) &&
         tool(s, {"openssl", "req", "-newkey", ec, "-nodes", "-keyout", (d / "server.key").string(),
                  "-out", (d / "server.csr").string(), "-subj", "/CN=127.0.0.1"}) &&
         tool(s, {"openssl", "x509", "-req", "-in", (d / "server.csr").string(), "-CA",
                  (d / "ca.pem").string(), "-CAkey", (d / "ca.key").string(), "-CAcreateserial",
                  "-days", "2", "-extfile", (d / "server.ext").string(), "-out",
                  (d / "server.pem").string()});
}

std::vector<std::string> gpg(const fs::path& home, std::vector<std::string> args) {
  std::vector<std::string> argv = {"gpg",      "--homedir",    home.string(),
                                   "--batch",  "--no-tty",     "--pinentry-mode",
                                   "loopback", "--passphrase", ""};
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

bool make_keys(Site& s) {
  for (const fs::path& home : {s.signing_home, s.impostor_home}) {
    fs::create_directories(home);
    fs::permissions(home, fs::perms::owner_all, fs::perm_options::replace);
  }
  const fs::path exported = s.root / "trusted.asc";
  if (!tool(s, gpg(s.signing_home,
                   {"--quick-gen-key", "Quorvane Co., Ltd.", "ed25519", "sign", "never"})) ||
      !tool(s, gpg(s.signing_home,
                   {"--quick-gen-key", "Quorvane Co., Ltd", "ed25519", "sign", "never"})) ||
      !tool(s, gpg(s.impostor_home,
                   {"--quick-gen-key", "Quorvane Co., Ltd.", "ed25519", "sign", "never"})) ||
      !tool(s, gpg(s.signing_home, {"--armor", "--output", exported.string(), "--export"}))) {
    return false;
  }
  s.trusted_keys = read_text(exported);
  return s.trusted_keys.find("BEGIN PGP PUBLIC KEY BLOCK") != std::string::npos;
}

bool start_servers(Site& s) {
  const fs::path script = s.root / "serve.py";
  write_text(script, kServerScript);
  const fs::path tls = s.root / "tls";
  if (!s.https.start({"python3", script.string(), s.www.string(), s.https_requests.string(),
                      (tls / "server.pem").string(), (tls / "server.key").string()},
                     s.log)) {
    s.setup_failure = "the HTTPS server did not start (see " + s.log.string() + ")";
    return false;
  }
  if (!s.http.start({"python3", script.string(), s.www.string(), s.http_requests.string(), "", ""},
                    s.log)) {
    s.setup_failure = "the HTTP server did not start (see " + s.log.string() + ")";
    return false;
  }
  return true;
}

class UpdateEndToEnd : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    for (const char* name : {"openssl", "gpg", "gpgconf", "python3"}) {
      if (!test::on_path(name)) {
        g_skip = std::string(name) + " is not installed; the end-to-end update test needs it";
        return;
      }
    }
    g_site = new Site;
    Site& s = *g_site;
    s.root = fs::temp_directory_path() / ("lw-update-e2e-" + std::to_string(getpid()));
    fs::remove_all(s.root);
    s.www = s.root / "www";
    s.log = s.root / "tools.log";
    s.https_requests = s.root / "https-requests.log";
    s.http_requests = s.root / "http-requests.log";
    s.signing_home = s.root / "gpg-signing";
    s.impostor_home = s.root / "gpg-impostor";
    fs::create_directories(s.www);
    if (test::run_tool({"python3", "-c", "import ssl, http.server"}, s.log) != 0) {
      g_skip = "python3 has no ssl module; the end-to-end update test needs it";
      return;
    }
    if (make_certificates(s) && make_keys(s) && start_servers(s)) {
      setenv("LINEWICK_TEST_CA_FILE", (s.root / "tls" / "ca.pem").c_str(), 1);
    }
  }

  static void TearDownTestSuite() {
    unsetenv("LINEWICK_TEST_CA_FILE");
    if (g_site == nullptr) return;
    Site& s = *g_site;
    s.https.stop();
    s.http.stop();
    // Key generation started an agent per home.
    for (const fs::path& home : {s.signing_home, s.impostor_home}) {
      (void)test::run_tool({"gpgconf", "--homedir", home.string(), "--kill", "all"}, s.log);
    }
    std::error_code ec;
    fs::remove_all(s.root, ec);
    delete g_site;
    g_site = nullptr;
  }

 protected:
  void SetUp() override {
    if (!g_skip.empty()) GTEST_SKIP() << g_skip;
    ASSERT_NE(g_site, nullptr);
    ASSERT_TRUE(g_site->setup_failure.empty()) << g_site->setup_failure;
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    site_dir_ = g_site->www / name_ / "Linewick";
    work_ = g_site->root / "work" / name_ / "Linewick";
    args_file_ = g_site->root / ("installer-args-" + name_);
  }

  std::string https_base() const {
    return "https://127.0.0.1:" + std::to_string(g_site->https.port()) + "/" + name_ + "/Linewick/";
  }

  // The "installer": a script that writes its arguments to a file.
  std::string installer_text() const {
    const std::string out = args_file_.string();
    return "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + out + ".part' && mv '" + out + ".part' '" +
           out + "'\n";
  }

  std::string sha256_of(const fs::path& file) const {
    const fs::path out = file.string() + ".digest";
    EXPECT_EQ(
        test::run_tool({"openssl", "dgst", "-sha256", "-r", "-out", out.string(), file.string()},
                       g_site->log),
        0);
    const std::string line = read_text(out);
    fs::remove(out);
    return line.substr(0, 64);
  }

  void sign(const fs::path& home, const std::string& user, const fs::path& file,
            const fs::path& signature) const {
    ASSERT_EQ(test::run_tool(gpg(home, {"--yes", "--local-user", "=" + user, "--output",
                                        signature.string(), "--detach-sign", file.string()}),
                             g_site->log),
              0);
  }

  enum class Signer { Trusted, NoFinalDot, Impostor, OtherContent, None };
  struct Publish {
    std::string version = "0.2.0";
    int size_delta = 0;
    bool wrong_hash = false;
    Signer signer = Signer::Trusted;
  };

  // Puts update.json, the installer and its signature on the site.
  void publish(const Publish& p) {
    const std::string file = "Linewick-Setup-" + p.version + ".exe";
    const fs::path installer = site_dir_ / file;
    write_text(installer, installer_text());
    const std::string content = read_text(installer);
    const fs::path sig = installer.string() + ".sig";
    switch (p.signer) {
      case Signer::Trusted:
        sign(g_site->signing_home, "Quorvane Co., Ltd.", installer, sig);
        break;
      case Signer::NoFinalDot:
        sign(g_site->signing_home, "Quorvane Co., Ltd", installer, sig);
        break;
      case Signer::Impostor:
        sign(g_site->impostor_home, "Quorvane Co., Ltd.", installer, sig);
        break;
      case Signer::OtherContent: {
        const fs::path other = site_dir_ / "other.bin";
        write_text(other, content + "# changed\n");
        sign(g_site->signing_home, "Quorvane Co., Ltd.", other, sig);
        break;
      }
      case Signer::None:
        break;
    }
    std::string hash = sha256_of(installer);
    if (p.wrong_hash) hash = std::string(64, '0');
    // Upper case on the site; the updater compares in lower case.
    for (char& c : hash) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const long long size = static_cast<long long>(content.size()) + p.size_delta;
    write_text(site_dir_ / "update.json", "{\"version\":\"" + p.version + "\",\"url\":\"" +
                                              https_base() + file + "\",\"sha256\":\"" + hash +
                                              "\",\"size\":" + std::to_string(size) + "}");
  }

  // The installer's way (Windows), run with the real libcurl and GPGME.
  std::unique_ptr<Updater> make_updater(std::string base) {
    return std::make_unique<Updater>(poster_, make_update_platform(g_site->trusted_keys),
                                     UpdateConfig{std::move(base), work_, UpdateOffer::Installer});
  }

  UpdateReaction check(Updater& updater) {
    (void)updater.start_check(true);
    EXPECT_TRUE(poster_->wait_for(kMsgUpdateResult));
    return updater.on_check_result();
  }

  // Check, Yes, download: what the window must do at the end.
  UpdateReaction update(Updater& updater) {
    const UpdateReaction asked = check(updater);
    EXPECT_TRUE(asked.question.has_value());
    if (!asked.question) return {};
    EXPECT_EQ(asked.question->text,
              "A new version is available: 0.2.0\n(current 0.1.0)\n\nUpdate now?");
    (void)updater.answer_update_question(asked.question->id, true);
    EXPECT_TRUE(poster_->wait_for(kMsgUpdateInstall));
    return updater.on_download_result();
  }

  std::vector<std::string> work_files() const {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(work_, ec)) out.push_back(e.path().filename());
    return out;
  }

  std::string name_;
  fs::path site_dir_;
  fs::path work_;
  fs::path args_file_;
  std::shared_ptr<RecordingPoster> poster_ = std::make_shared<RecordingPoster>();
};

TEST_F(UpdateEndToEnd, UpToDate) {
  write_text(site_dir_ / "update.json",
             R"({"version":"0.1","url":"https://updates.test/x.exe","sha256":"h"})");
  auto updater = make_updater(https_base() + "update.json");
  const UpdateReaction r = check(*updater);
  ASSERT_TRUE(r.notice.has_value());
  EXPECT_EQ(r.notice->text, "You're up to date (0.1.0)");
  EXPECT_TRUE(work_files().empty());
  EXPECT_NE(read_text(g_site->https_requests)
                .find("GET /" + name_ + "/Linewick/update.json?v=0.1.0&lang=en HTTP/1.1"),
            std::string::npos);
}

TEST_F(UpdateEndToEnd, MissingDocumentFails) {
  auto updater = make_updater(https_base() + "update.json");
  const UpdateReaction r = check(*updater);
  ASSERT_TRUE(r.notice.has_value());
  EXPECT_EQ(r.notice->text, "Download failed");
  EXPECT_TRUE(r.notice->error);
}

TEST_F(UpdateEndToEnd, NewerVersionIsCheckedAndInstalled) {
  publish({});
  auto updater = make_updater(https_base() + "update.json");
  const UpdateReaction done = update(*updater);
  EXPECT_FALSE(done.notice.has_value()) << done.notice->text;
  EXPECT_TRUE(done.close_window);

  // The script runs on its own; wait for what it writes.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!fs::exists(args_file_) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(read_text(args_file_), "/SILENT\n/SUPPRESSMSGBOXES\n/NORESTART\n/UPDATE=1\n");
  // The installer stays; its signature is gone.
  EXPECT_EQ(work_files(), std::vector<std::string>{"Linewick-Setup-0.2.0.exe"});
}

TEST_F(UpdateEndToEnd, RejectedInstallersAreDeleted) {
  struct Case {
    const char* name;
    Publish publish;
    const char* error;
  };
  const char* const kSignature = "The installer's digital signature could not be verified";
  const Case cases[] = {
      {"wrong size", {.size_delta = 1}, "Downloaded size mismatch"},
      {"wrong hash", {.wrong_hash = true}, "Downloaded file is corrupt (hash mismatch)"},
      {"bad signature", {.signer = Signer::OtherContent}, kSignature},
      {"signer without the final dot", {.signer = Signer::NoFinalDot}, kSignature},
      {"untrusted key", {.signer = Signer::Impostor}, kSignature},
      {"no signature", {.signer = Signer::None}, kSignature},
  };
  size_t round = 0;
  for (const Case& c : cases) {
    ++round;
    fs::remove_all(site_dir_);
    publish(c.publish);
    auto updater = make_updater(https_base() + "update.json");
    (void)updater->start_check(true);
    ASSERT_TRUE(poster_->wait_for(kMsgUpdateResult, round)) << c.name;
    const UpdateReaction asked = updater->on_check_result();
    ASSERT_TRUE(asked.question.has_value()) << c.name;
    (void)updater->answer_update_question(asked.question->id, true);
    ASSERT_TRUE(poster_->wait_for(kMsgUpdateInstall, round)) << c.name;
    const UpdateReaction done = updater->on_download_result();
    EXPECT_FALSE(done.close_window) << c.name;
    ASSERT_TRUE(done.notice.has_value()) << c.name;
    EXPECT_EQ(done.notice->text, c.error) << c.name;
    EXPECT_TRUE(done.notice->error) << c.name;
    EXPECT_TRUE(work_files().empty()) << c.name;
    EXPECT_FALSE(fs::exists(args_file_)) << c.name;
  }
}

TEST_F(UpdateEndToEnd, BuiltInKeysDoNotTrustTheTestKey) {
  ASSERT_NE(built_in_signing_keys().find("BEGIN PGP PUBLIC KEY BLOCK"), std::string_view::npos);
  publish({});
  Updater updater(poster_, make_update_platform(),
                  UpdateConfig{https_base() + "update.json", work_, UpdateOffer::Installer});
  const UpdateReaction done = update(updater);
  ASSERT_TRUE(done.notice.has_value());
  EXPECT_EQ(done.notice->text, "The installer's digital signature could not be verified");
  EXPECT_FALSE(done.close_window);
  EXPECT_TRUE(work_files().empty());
}

size_t count_lines_with(const fs::path& file, const std::string& text) {
  std::ifstream in(file);
  size_t n = 0;
  for (std::string line; std::getline(in, line);) n += line.find(text) != std::string::npos;
  return n;
}

TEST_F(UpdateEndToEnd, ARedirectLoopStopsAfterTen) {
  const std::string path = "/loop/" + name_ + "/Linewick/update.json";
  auto updater = make_updater("https://127.0.0.1:" + std::to_string(g_site->https.port()) + path);
  const UpdateReaction r = check(*updater);
  ASSERT_TRUE(r.notice.has_value());
  EXPECT_EQ(r.notice->text, "Download failed");
  // The first request and ten redirects followed.
  EXPECT_EQ(count_lines_with(g_site->https_requests, "GET " + path), 11u);
  EXPECT_TRUE(work_files().empty());
}

TEST_F(UpdateEndToEnd, AnOverLongStreamIsCutAtItsLimit) {
  const std::string endless =
      "https://127.0.0.1:" + std::to_string(g_site->https.port()) + "/endless/" + name_;
  // Nothing past the limit is written.
  fs::create_directories(work_);
  const fs::path out = work_ / "cut";
  const Status cut = download_file(endless + "/x.exe", out, 55);
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(cut.error().text, "Download failed");
  EXPECT_EQ(fs::file_size(out), 55u);
  fs::remove(out);

  // An installer announced as 55 bytes: stopped there, and deleted.
  write_text(site_dir_ / "update.json", "{\"version\":\"0.2.0\",\"url\":\"" + endless +
                                            "/Linewick-Setup-0.2.0.exe\"," + "\"sha256\":\"" +
                                            std::string(64, 'a') + "\",\"size\":55}");
  auto updater = make_updater(https_base() + "update.json");
  const UpdateReaction asked = check(*updater);
  ASSERT_TRUE(asked.question.has_value());
  (void)updater->answer_update_question(asked.question->id, true);
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateInstall));
  const UpdateReaction done = updater->on_download_result();
  ASSERT_TRUE(done.notice.has_value());
  EXPECT_EQ(done.notice->text, "Download failed");
  EXPECT_TRUE(work_files().empty());

  // A document is read up to 1 MiB.
  auto endless_document = make_updater(endless + "/Linewick/update.json");
  (void)endless_document->start_check(true);
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateResult, 2));
  const UpdateReaction r = endless_document->on_check_result();
  ASSERT_TRUE(r.notice.has_value());
  EXPECT_EQ(r.notice->text, "Download failed");
  EXPECT_TRUE(work_files().empty());
}

// A signature can carry its signer's key; gpg set to import such keys
// (here in the user's own gpg.conf) would then trust an attacker's key
// named "Quorvane Co., Ltd.". The updater's keyring ignores both.
TEST_F(UpdateEndToEnd, AKeyInsideTheSignatureIsNeverTrusted) {
  publish({});
  const fs::path installer = site_dir_ / "Linewick-Setup-0.2.0.exe";
  const fs::path sig = installer.string() + ".sig";
  ASSERT_EQ(
      test::run_tool(gpg(g_site->impostor_home,
                         {"--yes", "--include-key-block", "--local-user", "=Quorvane Co., Ltd.",
                          "--output", sig.string(), "--detach-sign", installer.string()}),
                     g_site->log),
      0);
  const fs::path user_home = g_site->root / ("user-" + name_);
  fs::create_directories(user_home / ".gnupg");
  fs::permissions(user_home / ".gnupg", fs::perms::owner_all, fs::perm_options::replace);
  write_text(user_home / ".gnupg" / "gpg.conf", "auto-key-import\ntrust-model always\n");
  // That gpg would take the signature as good.
  ASSERT_EQ(test::run_tool({"gpg", "--homedir", (user_home / ".gnupg").string(), "--batch",
                            "--verify", sig.string(), installer.string()},
                           g_site->log),
            0);

  const char* old_home = std::getenv("HOME");
  const std::string saved_home = old_home ? old_home : "";
  setenv("HOME", user_home.c_str(), 1);
  setenv("GNUPGHOME", (user_home / ".gnupg").c_str(), 1);
  auto updater = make_updater(https_base() + "update.json");
  const UpdateReaction done = update(*updater);
  unsetenv("GNUPGHOME");
  if (old_home) setenv("HOME", saved_home.c_str(), 1);
  (void)test::run_tool({"gpgconf", "--homedir", (user_home / ".gnupg").string(), "--kill", "all"},
                       g_site->log);
  ASSERT_TRUE(done.notice.has_value());
  EXPECT_EQ(done.notice->text, "The installer's digital signature could not be verified");
  EXPECT_FALSE(done.close_window);
  EXPECT_TRUE(work_files().empty());
  EXPECT_FALSE(fs::exists(args_file_));
}

// The Linux program's own configuration: it points to the download page
// and never fetches an installer.
TEST_F(UpdateEndToEnd, TheLinuxBuildDownloadsNoInstaller) {
  publish({});  // a Windows installer only
  Updater updater(poster_, make_update_platform(g_site->trusted_keys),
                  UpdateConfig{https_base() + "update.json", work_});
  const UpdateReaction quiet = check(updater);
  ASSERT_TRUE(quiet.notice.has_value());
  EXPECT_EQ(quiet.notice->text, "You're up to date (0.1.0)");
  EXPECT_FALSE(quiet.question.has_value());

  write_text(site_dir_ / "update.json",
             R"({"linux":{"version":"0.2.0","page":"https://hollent.com/Linewick/"}})");
  (void)updater.start_check(false);
  ASSERT_TRUE(poster_->wait_for(kMsgUpdateResult, 2));
  const UpdateReaction offered = updater.on_check_result();
  ASSERT_TRUE(offered.notice.has_value());
  EXPECT_EQ(offered.notice->text, "A new version is available: 0.2.0");
  ASSERT_EQ(offered.notice->actions.size(), 1u);
  EXPECT_EQ(offered.notice->actions[0].url, "https://hollent.com/Linewick/");
  EXPECT_FALSE(offered.question.has_value());

  EXPECT_EQ(count_lines_with(g_site->https_requests, "/" + name_ + "/Linewick/update.json"), 2u);
  EXPECT_EQ(count_lines_with(g_site->https_requests, "/" + name_ + "/Linewick/Linewick-Setup"), 0u);
  EXPECT_TRUE(work_files().empty());
}

// The arguments the Windows build gives System32\curl.exe, run by this
// system's curl program, which reads them the same way.
TEST_F(UpdateEndToEnd, TheWindowsCurlArgumentsHoldTheirLimits) {
  if (!test::on_path("curl")) GTEST_SKIP() << "curl is not installed";
  const std::string host = "https://127.0.0.1:" + std::to_string(g_site->https.port());
  fs::create_directories(work_);
  const fs::path out = work_ / "out";
  // The program reads no .curlrc; the test's CA comes from the environment.
  setenv("CURL_CA_BUNDLE", (g_site->root / "tls" / "ca.pem").c_str(), 1);
  const auto curl = [&](const std::string& url, uint64_t max_bytes) {
    std::vector<std::string> argv = {"curl"};
    for (std::string& a : curl_arguments(out.string(), url, max_bytes)) argv.push_back(a);
    return test::run_tool(argv, g_site->log);
  };

  write_text(site_dir_ / "update.json", "{}");
  EXPECT_EQ(curl(https_base() + "update.json", kDocumentByteLimit), 0);
  EXPECT_EQ(read_text(out), "{}");

  const std::string loop = "/loop/" + name_ + "/x";
  EXPECT_NE(curl(host + loop, kDocumentByteLimit), 0);
  EXPECT_EQ(count_lines_with(g_site->https_requests, "GET " + loop), 11u);

  fs::remove(out);
  EXPECT_NE(curl(host + "/big/" + name_ + "/x.exe", 55), 0);
  EXPECT_FALSE(fs::exists(out) && fs::file_size(out) > 55);

  // "-K<config>" after "--" is an address (a bad one), not a config to read.
  const fs::path config = g_site->root / ("curl-" + name_ + ".cfg");
  const fs::path victim = g_site->root / ("written-by-config-" + name_);
  write_text(config,
             "url = \"" + https_base() + "update.json\"\noutput = \"" + victim.string() + "\"\n");
  EXPECT_NE(curl("-K" + config.string(), kDocumentByteLimit), 0);
  EXPECT_FALSE(fs::exists(victim));
  unsetenv("CURL_CA_BUNDLE");
}

TEST_F(UpdateEndToEnd, PlainHttpIsRefused) {
  write_text(site_dir_ / "update.json",
             R"({"version":"0.1","url":"https://updates.test/x.exe","sha256":"h"})");
  auto updater = make_updater("http://127.0.0.1:" + std::to_string(g_site->http.port()) + "/" +
                              name_ + "/Linewick/update.json");
  const UpdateReaction r = check(*updater);
  ASSERT_TRUE(r.notice.has_value());
  EXPECT_EQ(r.notice->text, "Download failed");
  // Refused before connecting: the plain server saw nothing.
  EXPECT_EQ(read_text(g_site->http_requests), "");
}

}  // namespace
}  // namespace lw
