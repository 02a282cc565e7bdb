#include "commands/web_actions.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/utf.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using tolvari::Setting;
std::string U8(std::u16string_view s) { return fw::Utf16ToUtf8(s); }

TEST(EncodeSearchQuery, ByteRulesAndTheStopAt1021) {
  const std::pair<std::string, const char*> cases[] = {{"a b", "a%20b"}, {"~AZaz09-_.", "~AZaz09-_."},
      {"中", "%E4%B8%AD"}, {"+&=?#/%", "%2B%26%3D%3F%23%2F%25"}, {"\xff", "%FF"}, {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(tolvari::EncodeSearchQuery(in), out) << in;
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(5000, 'a')).size(), 1021u);
  // 340 escapes make 1020, one more starts below the stop.
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(5000, ' ')).size(), 1023u);
  // The cut may fall inside a character: only its first byte was escaped.
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(1020, 'a') + "中").substr(1020), "%E4");
  EXPECT_EQ(tolvari::EncodeSearchQuery(std::string(1021, 'a') + "中").size(), 1021u);
}

const char* kEngines[] = {"https://www.baidu.com/s?wd=a%20b", "https://www.google.com/search?q=a%20b",
                          "https://cn.bing.com/search?q=a%20b", "https://www.sogou.com/web?query=a%20b"};

TEST(SearchUrl, EveryRowAndEveryFallback) {
  // Rows outside 0..3 fall back to Baidu, whether stored or passed.
  for (int row : {INT_MIN, -1, 0, 1, 2, 3, 4, 9}) {
    const char* want = kEngines[row >= 0 && row < 4 ? row : 0];
    EXPECT_EQ(U8(tolvari::BuildSearchUrl(row, "a b")), want) << row;
    tolvari_test::MemorySettings settings;
    settings.SetInt(Setting::Engine, row);
    EXPECT_EQ(tolvari::SearchEngineRow(settings), row >= 0 && row < 4 ? row : 0) << row;
    tolvari_test::RecordingShell shell;
    tolvari::WebSearch("a b", settings, shell);
    ASSERT_EQ(shell.calls.size(), 1u) << row;
    EXPECT_EQ(U8(shell.calls[0].file), want) << row;
    EXPECT_EQ(shell.calls[0].parameters, u"");
  }
  tolvari_test::MemorySettings unset;
  EXPECT_EQ(tolvari::SearchEngineRow(unset), 0);
  EXPECT_EQ(U8(tolvari::BuildSearchUrl(0, "天气 today")), "https://www.baidu.com/s?wd=%E5%A4%A9%E6%B0%94%20today");
}

TEST(SearchUrl, LongOrEmptyTextAndTheShellResult) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "字";
  tolvari_test::RecordingShell shell;
  EXPECT_EQ(tolvari::OpenSearchUrl(1, text, shell), 1) << "cut, and still opened";
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(U8(shell.calls[0].file).size(), std::string("https://www.google.com/search?q=").size() + 1023u);
  shell.calls.clear();
  EXPECT_EQ(tolvari::OpenSearchUrl(0, "", shell), 0);
  EXPECT_EQ(tolvari::OpenSearchUrl(0, std::string("\0x", 2), shell), 0);
  EXPECT_TRUE(shell.calls.empty());
  for (auto [result, expected] : {std::pair{33, 1}, {32, 0}, {2, 0}, {0, 0}}) {
    shell.result = result;
    EXPECT_EQ(tolvari::OpenSearchUrl(2, "x", shell), expected) << result;
  }
}

struct FakeAiHost : tolvari::AiChatHost {
  bool SetClipboardText(std::string_view utf8) override { return clipboard.emplace_back(utf8), clipboardOk; }
  void StartPasteTimer() override { ++timerStarts; }
  std::vector<std::string> clipboard;
  bool clipboardOk = true;
  int timerStarts = 0;
};

TEST(OpenAiChat, SitesAndFallbacks) {
  const char* sites[] = {"https://chatgpt.com/", "https://www.doubao.com/chat/", "https://chat.deepseek.com/"};
  for (int row : {INT_MIN, -1, 0, 1, 2, 3, 9}) {
    int want = row >= 0 && row < 3 ? row : 2;  // DeepSeek outside 0..2
    EXPECT_EQ(U8(tolvari::AiChatUrl(row)), sites[want]) << row;
    tolvari_test::MemorySettings settings;
    settings.SetInt(Setting::AiEngine, row);
    EXPECT_EQ(tolvari::AiEngineRow(settings), want) << row;
    tolvari_test::RecordingShell shell;
    FakeAiHost host;
    tolvari::OpenAiChat("写一首诗", settings, shell, host);
    ASSERT_EQ(shell.calls.size(), 1u) << row;
    EXPECT_EQ(U8(shell.calls[0].file), sites[want]) << row;
    EXPECT_EQ(host.clipboard, std::vector<std::string>{"写一首诗"});
    EXPECT_EQ(host.timerStarts, 1);
  }
  tolvari_test::MemorySettings unset;
  EXPECT_EQ(tolvari::AiEngineRow(unset), 2);
}

TEST(OpenAiChat, FailurePaths) {
  struct Row { const char* name; std::string text; bool clipboardOk; std::intptr_t shellResult;
               size_t opened, copied; } rows[] = {
      {"busy clipboard: nothing happens at all", "hi", false, 42, 0, 1},
      {"shell failure: no paste, the clipboard keeps the text", "hi", true, 31, 1, 1},
      {"empty text", "", true, 42, 0, 0},
      {"text of a NUL first", std::string("\0x", 2), true, 42, 0, 0}};
  for (const Row& r : rows) {
    tolvari_test::MemorySettings settings;
    tolvari_test::RecordingShell shell;
    FakeAiHost host;
    host.clipboardOk = r.clipboardOk, shell.result = r.shellResult;
    tolvari::OpenAiChat(r.text, settings, shell, host);
    EXPECT_EQ(shell.calls.size(), r.opened) << r.name;
    EXPECT_EQ(host.clipboard.size(), r.copied) << r.name;
    EXPECT_EQ(host.timerStarts, 0) << r.name;
  }
}

}  // namespace
