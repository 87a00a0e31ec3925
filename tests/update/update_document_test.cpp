#include "update/update_document.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "update/work_files.h"

namespace lw {
namespace {

constexpr const char* kHash = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(UpdateDocument, ReadsTheThreeStringsAndIgnoresOtherMembers) {
  const auto info = parse_update_document(
      R"({"version":"0.2.0","url":"https://x/Linewick-Setup-0.2.0.exe",
          "sha256":"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
          "size":1234,"notes":{"en":"faster"}})");
  ASSERT_TRUE(info.ok());
  EXPECT_EQ(info->version, "0.2.0");
  EXPECT_EQ(info->url, "https://x/Linewick-Setup-0.2.0.exe");
  EXPECT_EQ(info->sha256, kHash);  // compared in lower case
  EXPECT_EQ(info->size, 1234u);
}

TEST(UpdateDocument, SizeCountsOnlyAsANonNegativeInteger) {
  struct Case {
    const char* size_member;  // appended to the object
    uint64_t size;
  };
  const Case cases[] = {
      {"", 0},
      {R"(,"size":0)", 0},
      {R"(,"size":"1234")", 0},
      {R"(,"size":-5)", 0},
      {R"(,"size":12.5)", 0},
      {R"(,"size":null)", 0},
      {R"(,"size":true)", 0},
      {R"(,"size":18446744073709551615)", 18446744073709551615u},
      {R"(,"size":1)", 1},
  };
  for (const Case& c : cases) {
    const std::string text =
        std::string(R"({"version":"1","url":"https://h/x.exe","sha256":"h")") + c.size_member + "}";
    const auto info = parse_update_document(text);
    ASSERT_TRUE(info.ok()) << text;
    EXPECT_EQ(info->size, c.size) << text;
  }
}

TEST(UpdateDocument, AnythingElseIsTheManifestError) {
  // Addresses that curl would read as options or that aren't https with a
  // host never leave the document.
  const char* const texts[] = {
      R"({"version":"0.2","url":"-K/tmp/evil.cfg","sha256":"h"})",
      R"({"version":"0.2","url":"-K\\\\attacker\\share\\curl.cfg","sha256":"h"})",
      R"({"version":"0.2","url":"--config=x https://h/x.exe","sha256":"h"})",
      R"({"version":"0.2","url":"http://h/x.exe","sha256":"h"})",
      R"({"version":"0.2","url":"file:///etc/passwd","sha256":"h"})",
      R"({"version":"0.2","url":"https:///x.exe","sha256":"h"})",
      R"({"version":"0.2","url":"u","sha256":"h"})",
      R"({"version":"0.2","url":"https://h/x"})",             // no sha256
      R"({"version":"0.2","sha256":"h"})",                    // no url
      R"({"url":"https://h/x","sha256":"h"})",                // no version
      R"({"version":0.2,"url":"https://h/x","sha256":"h"})",  // not a string
      R"({"version":"0.2","url":"https://h/x","sha256":null})",
      R"(["version","0.2"])",  // not an object
      R"("0.2")",
      R"({"version":"0.2","url":"https://h/x","sha256":"h")",  // cut short
      "",
      R"({"version":"0.2","url":"https://h/x","sha256":"h"} trailing)",
      R"({"version":"../../evil","url":"https://h/x","sha256":"h"})",  // leaves the folder
      R"({"version":"0.2\\x","url":"https://h/x","sha256":"h"})",
      R"({"version":"C:0.2","url":"https://h/x","sha256":"h"})",
      R"({"version":"","url":"https://h/x","sha256":"h"})",
  };
  for (const char* text : texts) {
    const auto info = parse_update_document(text);
    ASSERT_FALSE(info.ok()) << text;
    EXPECT_EQ(info.error(), "manifest") << text;
  }
}

TEST(UpdateDocument, OnlyHttpsAddressesWithAHost) {
  struct Case {
    const char* address;
    bool ok;
  };
  const Case cases[] = {
      {"https://hollent.com/Linewick/Linewick-Setup-0.2.0.exe", true},
      {"https://127.0.0.1:8443/a/b?x=1&y=2#top", true},
      {"https://[::1]:8443/x", true},
      {"https://h", true},
      {"https://h.example:443", true},
      {"-K/tmp/evil.cfg", false},
      {"-Khttps://h/x", false},
      {"--next", false},
      {"", false},
      {"https://", false},
      {"https:///x", false},
      {"https://-K/x", false},
      {"https://.h/x", false},
      {"https://user@h/x", false},
      {"https://h:/x", false},
      {"https://h:123456/x", false},
      {"https://h:12a/x", false},
      {"https://[::1/x", false},
      {"https://h/a b", false},
      {"https://h/a\tb", false},
      {"https://h/a\\b", false},
      {"https://h/\xC3\xA9", false},
      {"HTTPS://h/x", false},
      {"http://h/x", false},
      {"file:///etc/passwd", false},
      {" https://h/x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(is_https_address(c.address), c.ok) << c.address;
}

TEST(UpdateDocument, LinuxEntryNamesAVersionAndItsDownloadPage) {
  const auto page = parse_download_page(
      R"({"version":"0.2.0","url":"https://h/x.exe","sha256":"h",
          "linux":{"version":"0.2.0","page":"https://h/Linewick/","notes":"x"}})");
  ASSERT_TRUE(page.ok());
  ASSERT_TRUE(page->has_value());
  EXPECT_EQ((*page)->version, "0.2.0");
  EXPECT_EQ((*page)->page, "https://h/Linewick/");

  // Without the entry there is nothing for Linux; the rest isn't looked at.
  const auto none = parse_download_page(R"({"version":"0.2.0","url":"-K/tmp/x"})");
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none->has_value());

  const char* const bad[] = {
      R"({"linux":"https://h/"})",
      R"({"linux":{"version":"0.2.0"}})",
      R"({"linux":{"page":"https://h/"}})",
      R"({"linux":{"version":"0.2.0","page":"file:///etc/passwd"}})",
      R"({"linux":{"version":"0.2.0","page":"-K/tmp/x"}})",
      R"({"linux":{"version":"","page":"https://h/"}})",
      R"({"linux":{"version":"0.2\n","page":"https://h/"}})",
      R"({"linux":{"version":2,"page":"https://h/"}})",
      R"(["linux"])",
      "",
  };
  for (const char* text : bad) {
    const auto r = parse_download_page(text);
    ASSERT_FALSE(r.ok()) << text;
    EXPECT_EQ(r.error(), "manifest") << text;
  }
}

TEST(UpdateDocument, AddressCarriesVersionAndLanguage) {
  EXPECT_EQ(update_document_address("https://h.example/Linewick/update.json", "0.1.0", "de"),
            "https://h.example/Linewick/update.json?v=0.1.0&lang=de");
  EXPECT_EQ(update_document_address("https://h/Linewick/update.json", "0.1.0", "zh-Hans"),
            "https://h/Linewick/update.json?v=0.1.0&lang=zh-Hans");
  const std::string_view base = default_update_document_base();
  EXPECT_TRUE(base.starts_with("https://")) << base;
  EXPECT_TRUE(base.ends_with("Linewick/update.json")) << base;
}

TEST(WorkFiles, NamesAndFolder) {
  EXPECT_EQ(installer_file_name("0.2.0"), "Linewick-Setup-0.2.0.exe");
  EXPECT_EQ(kDocumentFileName, "update.json");
  const auto folder = default_work_folder();
  ASSERT_TRUE(folder.ok());
  EXPECT_EQ(*folder, std::filesystem::temp_directory_path() / work_folder_name());
#ifdef _WIN32
  EXPECT_EQ(work_folder_name(), "Linewick");
#else
  EXPECT_EQ(work_folder_name(), "Linewick-" + std::to_string(getuid()));
#endif
}

}  // namespace
}  // namespace lw
