#include "update/sha256.h"

#include <gtest/gtest.h>

#include <fstream>

#include "update/fakes.h"

namespace lw {
namespace {

TEST(Sha256, DigestsOfFilesAsLowerCaseHex) {
  struct Case {
    std::string content;
    const char* hex;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      // Longer than one read, and not a multiple of it.
      {std::string(1'000'000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  test::TempFolder folder;
  for (const Case& c : cases) {
    const auto file = folder.path() / "data.bin";
    std::ofstream(file, std::ios::binary) << c.content;
    const Result<Sha256Digest> digest = sha256_file(file);
    ASSERT_TRUE(digest.ok()) << digest.error().text;
    EXPECT_EQ(hex_lower(*digest), c.hex) << c.content.size();
  }
}

TEST(Sha256, MissingFileIsAnError) {
  test::TempFolder folder;
  const Result<Sha256Digest> digest = sha256_file(folder.path() / "absent.exe");
  ASSERT_FALSE(digest.ok());
  EXPECT_FALSE(digest.error().text.empty());
}

}  // namespace
}  // namespace lw
