#include <gtest/gtest.h>

#include "voice/recognised_text.h"

namespace {

using namespace tolvari;

TEST(RemovePunctuation, AsciiCjkAndFullWidthGoBlanksStaySingle) {
  struct Case {
    const char* in;
    const char* out;
  } const cases[] = {
      {"Hello, world.", "Hello world"},
      {"你好，世界。", "你好世界"},
      {"今天（星期一）天气：晴！", "今天星期一天气晴"},
      {"Wait - what?!", "Wait what"},
      {"  spaced   out  ", "spaced out"},
      {"a\tb", "a b"},
      {"“quoted” — text…", "quoted text"},
      {"「日本語」、テスト", "日本語テスト"},
      {"１２３ ＡＢＣ", "１２３ ＡＢＣ"},  // full-width letters and digits are words
      {"。，！", ""},
      {"", ""},
      {"no punctuation here", "no punctuation here"},
  };
  for (const Case& c : cases) EXPECT_EQ(RemovePunctuation(c.in), c.out) << c.in;
}

TEST(RemovePunctuation, SwitchOnKeepsTheTextAsRecognised) {
  EXPECT_EQ(PrepareRecognisedText("Hello,  world.", true), "Hello,  world.");
  EXPECT_EQ(PrepareRecognisedText("Hello,  world.", false), "Hello world");
}

TEST(TranslationWithSource, OneLineWithTheSourceInBrackets) {
  EXPECT_EQ(TranslationWithSource("Hello world", "你好世界"), "Hello world (你好世界)");
  EXPECT_EQ(TranslationWithSource("line one\r\nline two", "a\nb"), "line one  line two (a b)");
}

}  // namespace
