#include <gtest/gtest.h>

#include <fstream>

#include "update/fakes.h"
#include "update/signature.h"

namespace lw {
namespace {

TEST(Authenticode, UnsignedFileHasNoSigner) {
  test::TempFolder folder;
  const auto file = folder.path() / "Linewick-Setup-9.9.9.exe";
  std::ofstream(file, std::ios::binary) << "MZ not really a program";
  const Result<std::string> signer = verified_signer_name(file, SignatureSource{});
  EXPECT_FALSE(signer.ok());
}

}  // namespace
}  // namespace lw
