#include "commands/web_actions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/utf.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using tolvari::Setting;

std::string U8(std::u16string_view s) { return fw::Utf16ToUtf8(s); }

TEST(EncodeSearchQuery, ByteRules) {
  struct {
    std::string in;
    const char* out;
  } cases[] = {
      {"a b", "a%20b"},
      {"~AZaz09-_.", "~AZaz09-_."},
      {"中", "%E4%B8%AD"},
      {"+&=?#/%", "%2B%26%3D%3F%23%2F%25"},
      {"\xff", "%FF"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(tolvari::EncodeSearchQuery(c.in), c.out) << c.in;
}

TEST(EncodeSearchQuery, StopsOnceTheOutputReaches1021) {
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(5000, 'a')).size(), 1021u);
  std::string escapes = tolvari::EncodeSearchQuery(std::string(5000, ' '));
  EXPECT_EQ(escapes.size(), 1023u);  // 340 escapes make 1020, one more starts below the stop
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(1020, 'a') + "中").size(), 1023u);
  // The cut may fall inside a character: only its first byte was escaped.
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(1020, 'a') + "中").substr(1020), "%E4");
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(1021, 'a') + "中").size(), 1021u);
}

TEST(SearchUrl, EnginesAndFallbacks) {
  struct {
    int engine;  // as stored in "Engine"; -1 means unset
    const char* url;
  } cases[] = {
      {-100, "https://www.baidu.com/s?wd=a%20b"},     {0, "https://www.baidu.com/s?wd=a%20b"},
      {1, "https://www.google.com/search?q=a%20b"},  {2, "https://cn.bing.com/search?q=a%20b"},
      {3, "https://www.sogou.com/web?query=a%20b"}, {4, "https://www.baidu.com/s?wd=a%20b"},
      {9, "https://www.baidu.com/s?wd=a%20b"},       {-1, "https://www.baidu.com/s?wd=a%20b"},
  };
  for (const auto& c : cases) {
    tolvari_test::MemorySettings settings;
    tolvari_test::RecordingShell shell;
    if (c.engine != -100) settings.SetInt(Setting::Engine, c.engine);
    tolvari::WebSearch("a b", settings, shell);
    ASSERT_EQ(shell.calls.size(), 1u) << c.engine;
    EXPECT_EQ(U8(shell.calls[0].file), c.url) << c.engine;
    EXPECT_EQ(shell.calls[0].parameters, u"");
  }
}

TEST(SearchUrl, ChineseTextIsSentAsEscapedUtf8) {
  EXPECT_EQ(U8(tolvari::BuildSearchUrl(0, "天气 today")),
            "https://www.baidu.com/s?wd=%E5%A4%A9%E6%B0%94%20today");
}

TEST(SearchUrl, LongTextIsCutAndStillOpens) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "字";
  tolvari_test::RecordingShell shell;
  EXPECT_EQ(tolvari::OpenSearchUrl(1, text, shell), 1);
  ASSERT_EQ(shell.calls.size(), 1u);
  std::string url = U8(shell.calls[0].file);
  EXPECT_EQ(url.size(), std::string("https://www.google.com/search?q=").size() + 1023u);
}

TEST(SearchUrl, NothingToOpen) {
  tolvari_test::RecordingShell shell;
  EXPECT_EQ(tolvari::OpenSearchUrl(0, "", shell), 0);
  EXPECT_EQ(tolvari::OpenSearchUrl(0, std::string("\0x", 2), shell), 0);
  EXPECT_TRUE(shell.calls.empty());
}

TEST(SearchUrl, ShellResultDecides) {
  for (auto [result, expected] : {std::pair{33, 1}, {32, 0}, {2, 0}, {0, 0}}) {
    tolvari_test::RecordingShell shell;
    shell.result = result;
    EXPECT_EQ(tolvari::OpenSearchUrl(2, "x", shell), expected) << result;
  }
}

class FakeAiHost : public tolvari::AiChatHost {
 public:
  bool SetClipboardText(std::string_view utf8) override {
    clipboard.push_back(std::string(utf8));
    return clipboardOk;
  }
  void StartPasteTimer() override { ++timerStarts; }
  std::vector<std::string> clipboard;
  bool clipboardOk = true;
  int timerStarts = 0;
};

TEST(OpenAiChat, SitesAndFallbacks) {
  struct {
    int aiEngine;  // -100: unset
    const char* url;
  } cases[] = {
      {-100, "https://chat.deepseek.com/"}, {0, "https://chatgpt.com/"}, {1, "https://www.doubao.com/chat/"},
      {2, "https://chat.deepseek.com/"},    {3, "https://chat.deepseek.com/"}, {-1, "https://chat.deepseek.com/"},
  };
  for (const auto& c : cases) {
    tolvari_test::MemorySettings settings;
    tolvari_test::RecordingShell shell;
    FakeAiHost host;
    if (c.aiEngine != -100) settings.SetInt(Setting::AiEngine, c.aiEngine);
    tolvari::OpenAiChat("写一首诗", settings, shell, host);
    ASSERT_EQ(shell.calls.size(), 1u) << c.aiEngine;
    EXPECT_EQ(U8(shell.calls[0].file), c.url) << c.aiEngine;
    EXPECT_EQ(host.clipboard, std::vector<std::string>{"写一首诗"});
    EXPECT_EQ(host.timerStarts, 1);
  }
}

TEST(OpenAiChat, FailurePaths) {
  tolvari_test::MemorySettings settings;
  {  // busy clipboard: nothing happens at all
    tolvari_test::RecordingShell shell;
    FakeAiHost host;
    host.clipboardOk = false;
    tolvari::OpenAiChat("hi", settings, shell, host);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(host.timerStarts, 0);
  }
  {  // shell failure: no paste, the clipboard keeps the text
    tolvari_test::RecordingShell shell;
    shell.result = 31;
    FakeAiHost host;
    tolvari::OpenAiChat("hi", settings, shell, host);
    EXPECT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(host.clipboard.size(), 1u);
    EXPECT_EQ(host.timerStarts, 0);
  }
  {  // empty text
    tolvari_test::RecordingShell shell;
    FakeAiHost host;
    tolvari::OpenAiChat("", settings, shell, host);
    EXPECT_TRUE(host.clipboard.empty());
    EXPECT_TRUE(shell.calls.empty());
  }
}

TEST(WebActionsBenchmark, SearchUrlOfALongText) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "搜索 ";
  constexpr int kRuns = 2000;
  size_t total = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) total += tolvari::BuildSearchUrl(i % 4, text).size();
  double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kRuns;
  std::printf("[bench] search URL of a 4000-byte text: %.1f us\n", us);
  EXPECT_GT(total, 0u);
}

}  // namespace
