#include <gtest/gtest.h>

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
      "-fsSL",
      "--proto",
      "=https",
      "--max-time",
      "600",
      "-o",
      "C:\\Users\\A B\\AppData\\Local\\Temp\\Linewick\\update.json",
      "https://h/Linewick/update.json?v=0.1.0&lang=en"};
  EXPECT_EQ(curl_arguments("C:\\Users\\A B\\AppData\\Local\\Temp\\Linewick\\update.json",
                           "https://h/Linewick/update.json?v=0.1.0&lang=en"),
            expected);
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
