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
        std::string(R"({"version":"1","url":"u","sha256":"h")") + c.size_member + "}";
    const auto info = parse_update_document(text);
    ASSERT_TRUE(info.ok()) << text;
    EXPECT_EQ(info->size, c.size) << text;
  }
}

TEST(UpdateDocument, AnythingElseIsTheManifestError) {
  const char* const texts[] = {
      R"({"version":"0.2","url":"u"})",             // no sha256
      R"({"version":"0.2","sha256":"h"})",          // no url
      R"({"url":"u","sha256":"h"})",                // no version
      R"({"version":0.2,"url":"u","sha256":"h"})",  // not a string
      R"({"version":"0.2","url":"u","sha256":null})",
      R"(["version","0.2"])",  // not an object
      R"("0.2")",
      R"({"version":"0.2","url":"u","sha256":"h")",  // cut short
      "",
      R"({"version":"0.2","url":"u","sha256":"h"} trailing)",
      R"({"version":"../../evil","url":"u","sha256":"h"})",  // leaves the work folder
      R"({"version":"0.2\\x","url":"u","sha256":"h"})",
      R"({"version":"C:0.2","url":"u","sha256":"h"})",
      R"({"version":"","url":"u","sha256":"h"})",
  };
  for (const char* text : texts) {
    const auto info = parse_update_document(text);
    ASSERT_FALSE(info.ok()) << text;
    EXPECT_EQ(info.error(), "manifest") << text;
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
