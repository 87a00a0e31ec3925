#include "update/workers.h"

#include <gtest/gtest.h>

#include "update/download.h"
#include "update/fakes.h"
#include "update/work_files.h"

namespace lw {
namespace {

using test::FakePlatform;
using test::TempFolder;

constexpr const char* kBase = "https://updates.test/Linewick/update.json";
constexpr const char* kInstallerUrl = "https://updates.test/Linewick/Linewick-Setup-0.2.0.exe";
// "abc" and its SHA-256.
constexpr const char* kInstaller = "abc";
constexpr const char* kInstallerHash =
    "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr const char* kNewerInstallerOnly =
    R"({"version":"0.2.0","url":"https://updates.test/Linewick/Linewick-Setup-0.2.0.exe",
        "sha256":"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad","size":3})";

class WorkerTest : public ::testing::Test {
 protected:
  UpdateConfig config(UpdateOffer offer = UpdateOffer::Installer) const {
    return UpdateConfig{kBase, work_.path() / "Linewick", offer};
  }
  std::vector<std::string> work_names() const {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(work_.path() / "Linewick", ec)) {
      out.push_back(e.path().filename().string());
    }
    return out;
  }
  UpdateInfo offer(uint64_t size, std::string sha256 = kInstallerHash) const {
    return UpdateInfo{"0.2.0", kInstallerUrl, std::move(sha256), size};
  }

  FakePlatform platform_;
  TempFolder work_;
};

TEST_F(WorkerTest, CheckAsksWithVersionAndLanguageAndDeletesTheDocument) {
  platform_.serve(kBase, R"({"version":"0.1","url":"https://d/x.exe","sha256":"h"})");
  const CheckResult r = run_check(platform_, config(), "de", true);
  EXPECT_EQ(r.kind, CheckResult::Kind::UpToDate);
  EXPECT_TRUE(r.by_user);
  ASSERT_EQ(platform_.requested().size(), 1u);
  EXPECT_EQ(platform_.requested()[0], std::string(kBase) + "?v=0.1.0&lang=de");
  EXPECT_TRUE(work_names().empty());  // the folder was made, update.json is gone
  EXPECT_EQ(platform_.limits(), std::vector<uint64_t>{1u << 20});
}

TEST_F(WorkerTest, CheckOffersANewerVersionWithItsLowerCaseHash) {
  platform_.serve(kBase, R"({"version":"0.2.0","url":"https://d/x.exe",
                             "sha256":"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
                             "size":"3"})");
  const CheckResult r = run_check(platform_, config(), "en", false);
  ASSERT_EQ(r.kind, CheckResult::Kind::Available);
  EXPECT_FALSE(r.by_user);
  EXPECT_EQ(r.info.version, "0.2.0");
  EXPECT_EQ(r.info.url, "https://d/x.exe");
  EXPECT_EQ(r.info.sha256, kInstallerHash);
  EXPECT_EQ(r.info.size, 0u);
}

TEST_F(WorkerTest, CheckErrors) {
  // Missing "sha256".
  platform_.serve(kBase, R"({"version":"0.2.0","url":"https://d/x.exe"})");
  CheckResult r = run_check(platform_, config(), "en", true);
  EXPECT_EQ(r.kind, CheckResult::Kind::Error);
  EXPECT_EQ(r.error, "manifest");
  EXPECT_TRUE(work_names().empty());

  // Nothing served.
  const UpdateConfig elsewhere{"https://other.test/Linewick/update.json", config().work_folder,
                               UpdateOffer::Installer};
  r = run_check(platform_, elsewhere, "en", true);
  EXPECT_EQ(r.kind, CheckResult::Kind::Error);
  EXPECT_EQ(r.error, "Download failed");

  // A file where the work folder should be: the system's text.
  std::ofstream(work_.path() / "blocked") << "x";
  const UpdateConfig blocked{kBase, work_.path() / "blocked" / "Linewick", UpdateOffer::Installer};
  r = run_check(platform_, blocked, "en", true);
  EXPECT_EQ(r.kind, CheckResult::Kind::Error);
  EXPECT_FALSE(r.error.empty());
  EXPECT_NE(r.error, "manifest");
}

// "-K<path>" as the installer's address would have made curl.exe read a
// config of the attacker's: the document is refused, and curl is started
// for the document alone, with its address after "--".
TEST_F(WorkerTest, AnAddressCurlWouldReadAsAnOptionIsRefusedBeforeCurlStarts) {
  platform_.serve(kBase, R"({"version":"0.2.0","url":"-K\\\\attacker\\share\\curl.cfg",
                             "sha256":"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"})");
  const CheckResult r = run_check(platform_, config(), "en", true);
  EXPECT_EQ(r.kind, CheckResult::Kind::Error);
  EXPECT_EQ(r.error, "manifest");
  ASSERT_EQ(platform_.requested().size(), 1u);
  const std::vector<std::string> args =
      curl_arguments("C:\\T\\Linewick\\update.json", platform_.requested()[0], kDocumentByteLimit);
  EXPECT_EQ(args[args.size() - 2], "--");
  EXPECT_EQ(args.back(), std::string(kBase) + "?v=0.1.0&lang=en");

  // Handed to the download worker anyway, it downloads nothing.
  UpdateInfo info = offer(3);
  info.url = "-K/tmp/curl.cfg";
  const DownloadResult d = run_download(platform_, config(), info);
  ASSERT_FALSE(d.ok());
  EXPECT_EQ(d.error(), "manifest");
  EXPECT_EQ(platform_.requested().size(), 1u);
}

TEST_F(WorkerTest, LinuxOffersTheDownloadPageAndNeverAnInstaller) {
  struct Case {
    const char* name;
    const char* document;
    CheckResult::Kind kind;
  };
  const Case cases[] = {
      {"a Windows installer only", kNewerInstallerOnly, CheckResult::Kind::UpToDate},
      {"a newer Linux release",
       R"({"version":"0.2.0","url":"https://d/x.exe","sha256":"h",
           "linux":{"version":"0.2.0","page":"https://hollent.com/Linewick/"}})",
       CheckResult::Kind::PageAvailable},
      {"the same Linux release", R"({"linux":{"version":"0.1","page":"https://h/"}})",
       CheckResult::Kind::UpToDate},
      {"a broken Linux entry", R"({"linux":{"version":"0.2.0","page":"file:///x"}})",
       CheckResult::Kind::Error},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.serve(kBase, c.document);
    platform.serve(kInstallerUrl, kInstaller);
    const CheckResult r = run_check(platform, config(UpdateOffer::DownloadPage), "en", false);
    EXPECT_EQ(r.kind, c.kind) << c.name;
    EXPECT_EQ(platform.requested().size(), 1u) << c.name;  // the document only
    EXPECT_TRUE(work_names().empty()) << c.name;
    if (r.kind == CheckResult::Kind::PageAvailable) {
      EXPECT_EQ(r.page.version, "0.2.0");
      EXPECT_EQ(r.page.page, "https://hollent.com/Linewick/");
    }
  }
}

TEST_F(WorkerTest, DownloadsStopAtTheirLimit) {
  // The announced size is the limit; without one, kInstallerByteLimit.
  platform_.serve(kInstallerUrl, std::string(4096, 'x'));
  DownloadResult r = run_download(platform_, config(), offer(3));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), "Download failed");
  EXPECT_TRUE(work_names().empty());
  platform_.serve(kInstallerUrl, kInstaller);
  EXPECT_TRUE(run_download(platform_, config(), offer(0)).ok());
  EXPECT_EQ(platform_.limits(), (std::vector<uint64_t>{3, uint64_t{256} << 20}));

  // A document past 1 MiB is not read.
  platform_.serve(kBase, std::string((1u << 20) + 1, ' '));
  const CheckResult c = run_check(platform_, config(), "en", true);
  EXPECT_EQ(c.kind, CheckResult::Kind::Error);
  EXPECT_EQ(c.error, "Download failed");
}

TEST_F(WorkerTest, DownloadPassesSizeHashAndSigner) {
  platform_.serve(kInstallerUrl, kInstaller);
  const DownloadResult r = run_download(platform_, config(), offer(3));
  ASSERT_TRUE(r.ok()) << r.error();
  EXPECT_EQ(r.value(), work_.path() / "Linewick" / "Linewick-Setup-0.2.0.exe");
  EXPECT_TRUE(std::filesystem::exists(r.value()));
  ASSERT_EQ(platform_.signature_checked().size(), 1u);
  EXPECT_EQ(platform_.signature_checked()[0], r.value());
}

TEST_F(WorkerTest, SizeZeroIsNotChecked) {
  platform_.serve(kInstallerUrl, kInstaller);
  EXPECT_TRUE(run_download(platform_, config(), offer(0)).ok());
}

TEST_F(WorkerTest, UpperCaseHashMatches) {
  platform_.serve(kInstallerUrl, kInstaller);
  EXPECT_TRUE(
      run_download(platform_, config(),
                   offer(3, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"))
          .ok());
}

TEST_F(WorkerTest, EachFailedCheckDeletesTheFileAndStopsThere) {
  struct Case {
    const char* name;
    UpdateInfo info;
    std::optional<std::string> signer;
    const char* error;
    bool signature_checked;
  };
  const Case cases[] = {
      {"wrong size", offer(4), "Quorvane Co., Ltd.", "Downloaded size mismatch", false},
      {"wrong hash", offer(3, std::string(64, 'a')), "Quorvane Co., Ltd.",
       "Downloaded file is corrupt (hash mismatch)", false},
      {"empty hash", offer(3, ""), "Quorvane Co., Ltd.",
       "Downloaded file is corrupt (hash mismatch)", false},
      {"signer without the dot", offer(3), "Quorvane Co., Ltd",
       "The installer's digital signature could not be verified", true},
      {"unsigned", offer(3), std::nullopt,
       "The installer's digital signature could not be verified", true},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.serve(kInstallerUrl, kInstaller);
    platform.set_signer(c.signer);
    const DownloadResult r = run_download(platform, config(), c.info);
    ASSERT_FALSE(r.ok()) << c.name;
    EXPECT_EQ(r.error(), c.error) << c.name;
    EXPECT_EQ(platform.signature_checked().size(), c.signature_checked ? 1u : 0u) << c.name;
    EXPECT_TRUE(work_names().empty()) << c.name;
  }
}

TEST_F(WorkerTest, FailedDownloadLeavesNoFile) {
  const DownloadResult r = run_download(platform_, config(), offer(3));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), "Download failed");
  EXPECT_TRUE(work_names().empty());
  EXPECT_TRUE(platform_.signature_checked().empty());
}

}  // namespace
}  // namespace lw
