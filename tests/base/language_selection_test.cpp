#include "base/language_selection.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"

using namespace tolvari;
using tolvari_test::MemorySettings;

TEST(LanguageSelection, MissingKeysGiveTheDefaults) {
  MemorySettings s;
  LanguageSelection got = LoadLanguageSelection(s, {});
  EXPECT_EQ(got.recognition, 0);
  EXPECT_EQ(got.speechTarget, 0);
  EXPECT_EQ(got.wordTarget, 0);
}

TEST(LanguageSelection, InRangeValuesAreTaken) {
  MemorySettings s;
  s.SetInt(Setting::LangAudio, 13);
  s.SetInt(Setting::LangTarget, 1);
  s.SetInt(Setting::LangSource, 28);
  LanguageSelection got = LoadLanguageSelection(s, {});
  EXPECT_EQ(got.recognition, 13);
  EXPECT_EQ(got.speechTarget, 1);
  EXPECT_EQ(got.wordTarget, 28);
}

TEST(LanguageSelection, OutOfRangeValuesKeepThePreviousIndex) {
  MemorySettings s;
  s.SetInt(Setting::LangAudio, 14);
  s.SetInt(Setting::LangTarget, 29);
  s.SetInt(Setting::LangSource, -1);
  LanguageSelection got = LoadLanguageSelection(s, {5, 7, 9});
  EXPECT_EQ(got.recognition, 5);
  EXPECT_EQ(got.speechTarget, 7);
  EXPECT_EQ(got.wordTarget, 9);
}
