#pragma once
// Pins the interface language to English for the whole test program, so
// texts can be compared whatever the machine's language.
#include <gtest/gtest.h>

#include "lang/tr.h"
#include "support/memory_settings.h"

namespace lw::test {

class EnglishTexts : public ::testing::Environment {
 public:
  void SetUp() override {
    store_.set_text("Language", "en");
    reset_language_for_testing();
    set_language_store(store_);
  }
  void TearDown() override { reset_language_for_testing(); }

 private:
  MemorySettings store_;
};

}  // namespace lw::test
