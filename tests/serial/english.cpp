#include "support/english.h"

namespace {
[[maybe_unused]] const ::testing::Environment* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new lw::test::EnglishTexts);
}  // namespace
