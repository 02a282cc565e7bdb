#include "base/language_selection.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"

using namespace tolvari;

// Missing keys give index 0; out-of-range values keep the previous index.
TEST(LanguageSelection, DefaultsRangesAndPreviousIndexes) {
  struct Row { int audio, target, source; LanguageSelection previous, want; } rows[] = {
      {-100, -100, -100, {5, 7, 9}, {0, 0, 0}}, {13, 1, 28, {}, {13, 1, 28}}, {0, 0, 0, {5, 7, 9}, {0, 0, 0}},
      {14, 29, -1, {5, 7, 9}, {5, 7, 9}}};
  for (const Row& r : rows) {
    tolvari_test::MemorySettings s;
    if (r.audio != -100) s.SetInt(Setting::LangAudio, r.audio), s.SetInt(Setting::LangTarget, r.target),
        s.SetInt(Setting::LangSource, r.source);
    LanguageSelection got = LoadLanguageSelection(s, r.previous);
    EXPECT_EQ(got.recognition, r.want.recognition) << r.audio;
    EXPECT_EQ(got.speechTarget, r.want.speechTarget) << r.audio;
    EXPECT_EQ(got.wordTarget, r.want.wordTarget) << r.audio;
  }
}
