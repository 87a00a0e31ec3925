#include "files/log_folder.h"

#include <gtest/gtest.h>

#include "files/user_dirs.h"
#include "support/temp_folder.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

TEST(LogFolder, Choice) {
  const fs::path docs = fs::path("D:") / "logs here";
  const fs::path documents = fs::path("home") / "me" / "Documents";
  const fs::path temp = fs::path("tmp");
  EXPECT_EQ(choose_log_folder(docs, documents, temp), docs);
  EXPECT_EQ(choose_log_folder(std::nullopt, documents, temp), documents / "Linewick");
  EXPECT_EQ(choose_log_folder(std::nullopt, std::nullopt, temp), temp / "Linewick");
  EXPECT_EQ(choose_log_folder(std::nullopt, fs::path(), temp), temp / "Linewick");
}

TEST(LogFolder, SystemFolderEndsInLinewick) {
  const fs::path folder = log_folder(std::nullopt);
  EXPECT_EQ(folder.filename(), fs::path("Linewick"));
  EXPECT_TRUE(folder.is_absolute()) << folder;
}

using LogFolderFiles = test::TempFolderTest;

TEST_F(LogFolderFiles, DocsOptionIsTakenAsGivenAndNotCreated) {
  const fs::path docs = dir_ / "not yet" / "there";
  EXPECT_EQ(log_folder(docs), docs);
  EXPECT_FALSE(fs::exists(docs));
  ASSERT_TRUE(ensure_folder(docs).ok());
  EXPECT_TRUE(fs::is_directory(docs));
  EXPECT_TRUE(ensure_folder(docs).ok());  // again: nothing to do
}

TEST_F(LogFolderFiles, EnsureFolderFailsOverAFile) {
  write(dir_ / "plain", "x");
  EXPECT_FALSE(ensure_folder(dir_ / "plain").ok());
  EXPECT_FALSE(ensure_folder(dir_ / "plain" / "below").ok());
}

TEST(UserDirs, DocumentsEntry) {
  const fs::path home("/home/me");
  struct Case {
    const char* text;
    std::optional<fs::path> want;
  } cases[] = {
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
       home / "Dokumente"},
      {"XDG_DOCUMENTS_DIR=\"/data/docs\"", fs::path("/data/docs")},
      {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\r\n", home / "My \"Docs\""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/\"", std::nullopt},  // switched off
      {"XDG_DOCUMENTS_DIR=\"$HOME\"", std::nullopt},
      {"XDG_DOCUMENTS_DIR=\"relative/path\"", std::nullopt},
      {"XDG_DOCUMENTS_DIR=$HOME/unquoted", std::nullopt},
      {"XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"", std::nullopt},
      {"", std::nullopt},
      {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"", home / "b"},
  };
  for (const Case& c : cases) EXPECT_EQ(xdg_documents_dir(c.text, home), c.want) << c.text;
}

TEST(LogFolder, AsItsUserKnowsIt) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows texts name Documents\\Linewick themselves";
#endif
  const std::optional<fs::path> home = fs::path("/home/me");
  struct Case {
    const char* folder;
    std::optional<fs::path> home;
    const char* shown;
  } cases[] = {
      {"/home/me/Documents/Linewick", home, "~/Documents/Linewick"},
      {"/home/me/Dokumente/Linewick/", home, "~/Dokumente/Linewick"},
      {"/home/me/./logs/../Linewick", home, "~/Linewick"},
      {"/home/me", home, "~"},
      {"/home/meter/Linewick", home, "/home/meter/Linewick"},  // not below the home folder
      {"/srv/lab logs", home, "/srv/lab logs"},
      {"/home/me/Documents/Linewick", std::nullopt, "/home/me/Documents/Linewick"},
      {"relative/Linewick", home, "relative/Linewick"},
  };
  for (const Case& c : cases) EXPECT_EQ(folder_as_shown(c.folder, c.home), c.shown) << c.folder;
}

}  // namespace
}  // namespace lw
