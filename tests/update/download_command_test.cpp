#include <gtest/gtest.h>

#include <algorithm>

#include "update/download.h"
#include "update/process.h"
#include "update/signature.h"

namespace lw {
namespace {

TEST(CurlCommand, ProgramUnderTheWindowsFolder) {
  EXPECT_EQ(curl_program_path("C:\\WINDOWS"), "C:\\WINDOWS\\System32\\curl.exe");
  EXPECT_EQ(curl_program_path("D:\\Win\\"), "D:\\Win\\System32\\curl.exe");
  EXPECT_EQ(curl_program_path(""), "C:\\Windows\\System32\\curl.exe");
}

TEST(CurlCommand, ExactlyTheseArgumentsInThisOrder) {
  const std::vector<std::string> expected = {
      "--disable",
      "-fsSL",
      "--proto",
      "=https",
      "--max-time",
      "600",
      "--max-redirs",
      "10",
      "--max-filesize",
      "1048576",
      "-o",
      "C:\\Users\\A B\\AppData\\Local\\Temp\\Linewick\\update.json",
      "--",
      "https://h/Linewick/update.json?v=0.1.0&lang=en"};
  EXPECT_EQ(curl_arguments("C:\\Users\\A B\\AppData\\Local\\Temp\\Linewick\\update.json",
                           "https://h/Linewick/update.json?v=0.1.0&lang=en", kDocumentByteLimit),
            expected);
}

// Whatever the address is, it comes after "--", so curl can't read it as
// an option (the documents refuse such addresses before this anyway).
TEST(CurlCommand, TheAddressIsNeverAnOption) {
  const std::vector<std::string> args = curl_arguments("C:\\T\\x.exe", "-K\\\\evil\\c.cfg", 55);
  ASSERT_GE(args.size(), 2u);
  EXPECT_EQ(args[args.size() - 2], "--");
  EXPECT_EQ(args.back(), "-K\\\\evil\\c.cfg");
  EXPECT_EQ(args.front(), "--disable");  // curl reads no .curlrc only when it comes first
  EXPECT_EQ(std::count(args.begin(), args.end(), std::string("--max-filesize")), 1);
  EXPECT_EQ(*(std::find(args.begin(), args.end(), "--max-filesize") + 1), "55");
  EXPECT_EQ(windows_command_line("C:\\W\\curl.exe", args),
            "\"C:\\W\\curl.exe\" --disable -fsSL --proto =https --max-time 600 --max-redirs 10 "
            "--max-filesize 55 -o C:\\T\\x.exe -- -K\\\\evil\\c.cfg");
}

TEST(CurlCommand, CommandLineQuotesWhatTheRuntimeWouldSplit) {
  struct Case {
    std::vector<std::string> args;
    const char* line;
  };
  const Case cases[] = {
      {{"-fsSL", "=https", "https://h/u.json?v=0.1.0&lang=en"},
       R"("C:\W\curl.exe" -fsSL =https https://h/u.json?v=0.1.0&lang=en)"},
      {{"C:\\Users\\A B\\x.json"}, R"("C:\W\curl.exe" "C:\Users\A B\x.json")"},
      {{"C:\\dir with space\\"}, R"("C:\W\curl.exe" "C:\dir with space\\")"},
      {{"say \"hi\""}, R"("C:\W\curl.exe" "say \"hi\"")"},
      {{"a\\\"b"}, R"("C:\W\curl.exe" "a\\\"b")"},
      {{"C:\\plain\\path"}, R"("C:\W\curl.exe" C:\plain\path)"},
      {{""}, R"("C:\W\curl.exe" "")"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(windows_command_line("C:\\W\\curl.exe", c.args), c.line) << c.line;
  }
}

TEST(Installer, SilentArgumentsAndSigner) {
  const std::vector<std::string_view> args(kInstallerArguments.begin(), kInstallerArguments.end());
  EXPECT_EQ(args, (std::vector<std::string_view>{"/SILENT", "/SUPPRESSMSGBOXES", "/NORESTART",
                                                 "/UPDATE=1"}));
  EXPECT_EQ(kSignerName, "Quorvane Co., Ltd.");
}

}  // namespace
}  // namespace lw
