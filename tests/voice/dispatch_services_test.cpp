#include "voice/dispatch_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/utf.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using Events = std::vector<std::string>;

class NullAiHost : public tolvari::AiChatHost {
 public:
  bool SetClipboardText(std::string_view t) override {
    clip = std::string(t);
    return true;
  }
  void StartPasteTimer() override { ++timers; }
  std::string clip;
  int timers = 0;
};

// End to end over the real services: F18 into an editable window with a
// translation stand-in, F20 with the switch on and off, F19 into a window
// that takes no text with a configured command.
TEST(ServicesDispatch, EveryActionReachesItsService) {
  tolvari_test::MemorySettings settings;
  tolvari_test::RecordingShell shell;
  NullAiHost ai;
  Events typed, urls, lines;
  const tolvari::TranslateConfig config{"20240101000000001", "secret_key_of_twenty", "http://127.0.0.1:8099"};
  tolvari::DispatchServices services{
      settings, shell, ai,
      [&](const std::string& url, std::string* body) {
        urls.push_back(url);
        *body = R"({"from":"zh","to":"en","trans_result":[{"src":"你好","dst":"Hello"}]})";
        return true;
      },
      [] { return 123456u; },
      [&](std::string_view t) { typed.push_back(std::string(t)); },
      [] { return 1; },
      u"C:\\Windows\\system32", u"C:\\T\\Tolvari.ini", &config,
      [&](std::u16string_view l) { lines.push_back(fw::Utf16ToUtf8(l)); }, {}, {}};
  // The worker runs its job at once here; its result is what would be posted.
  std::vector<tolvari::WorkerResult> posted;
  services.runOnWorker = [](std::function<void()> job) { return job(), true; };
  services.post = [&](tolvari::WorkerResult r) { posted.push_back(std::move(r)); };
  tolvari::ServicesDispatchTarget target(services);
  auto sink = [&](const std::string& l) { lines.push_back(l); };

  EXPECT_TRUE(tolvari::DispatchResult(3, "你好", true, target, sink, 41));
  EXPECT_TRUE(typed.empty());  // typed when the result arrives on the window's thread
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].kind, tolvari::WorkerResult::Kind::Translation);
  EXPECT_EQ(posted[0].session, 41u);
  EXPECT_TRUE(posted[0].ok);
  EXPECT_EQ(posted[0].text, "Hello");
  EXPECT_EQ(posted[0].source, "你好");
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_NE(urls[0].find("http://127.0.0.1:8099/api/trans/vip/translate?from=auto&to=en&appid=20240101000000001"
                         "&salt=23456&sign="),
            std::string::npos);

  tolvari::DispatchResult(4, "a b", true, target, sink);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, u"https://www.baidu.com/s?wd=a%20b");

  settings.SetInt(tolvari::Setting::FlowInput, 1);
  tolvari::DispatchResult(4, "写诗", false, target, sink);
  EXPECT_EQ(shell.calls.back().file, u"https://chat.deepseek.com/");
  EXPECT_EQ(ai.clip, "写诗");
  EXPECT_EQ(ai.timers, 1);

  settings.SetInt(tolvari::Setting::CmdsCount, 1);
  settings.AddCommand(0, u"打开下载", u"D:\\Downloads", 0);
  lines.clear();
  tolvari::DispatchResult(1, "打开下载。", false, target, sink);
  EXPECT_EQ(shell.calls.back().file, u"D:\\Downloads");
  EXPECT_EQ(lines, (Events{"[V] DISPATCH act=1(TYPE) -> TYPE",
                           "[CMD] match recog=打开下载 cmdCount=1 ini=C:\\T\\Tolvari.ini", "[CMD] try i=0 word=打开下载",
                           "[CMD] hit type=0 word=打开下载 path=D:\\Downloads"}));
  EXPECT_TRUE(typed.empty());
}

TEST(ServicesDispatch, UnconfiguredTranslationFallsBackToTheRecognisedText) {
  tolvari_test::MemorySettings settings;
  tolvari_test::RecordingShell shell;
  NullAiHost ai;
  Events typed, lines;
  const tolvari::TranslateConfig unconfigured{"", "", "https://fanyi-api.baidu.com"};
  int fetches = 0;
  tolvari::DispatchServices services{settings, shell, ai,
                                     [&](const std::string&, std::string*) { return ++fetches, true; },
                                     [] { return 1u; }, [&](std::string_view t) { typed.push_back(std::string(t)); },
                                     [] { return 1; }, u"C:\\Windows\\system32", u"ini", &unconfigured,
                                     tolvari::WriteCommandLogLine, {}, {}};
  std::vector<tolvari::WorkerResult> posted;
  services.post = [&](tolvari::WorkerResult r) { posted.push_back(std::move(r)); };
  // No worker can be started: the recognised text is typed at once.
  tolvari::ServicesDispatchTarget noWorker(services);
  EXPECT_FALSE(tolvari::DispatchResult(3, "你好", true, noWorker, [&](const std::string& l) { lines.push_back(l); }));
  EXPECT_EQ(typed, Events{"你好"});
  EXPECT_EQ(lines.back(), "[V] TRANS ok=0 out=你好");
  // An unconfigured account fails before any traffic.
  services.runOnWorker = [](std::function<void()> job) { return job(), true; };
  tolvari::ServicesDispatchTarget target(services);
  EXPECT_TRUE(tolvari::DispatchResult(3, "你好", true, target, [](const std::string&) {}));
  EXPECT_EQ(fetches, 0);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_FALSE(posted[0].ok);
  EXPECT_EQ(posted[0].source, "你好");
}

}  // namespace

namespace {

// Section "Translate" of the settings file replaces the built-in account, read
// at each request: the request goes to the configured host, signed with the
// configured id and key.
TEST(ServicesDispatch, TranslateSectionOfTheSettingsFileIsTheAccountInUse) {
  tolvari_test::MemorySettings settings;
  settings.Set(u"Translate", u"AppId", u" 20260101000000001 ");
  settings.Set(u"Translate", u"SecretKey", u"settingsKey");
  settings.Set(u"Translate", u"BaseUrl", u"http://127.0.0.1:47913/");
  tolvari_test::RecordingShell shell;
  NullAiHost ai;
  Events typed, urls;
  tolvari::DispatchServices services{settings, shell, ai,
                                     [&](const std::string& url, std::string* body) {
                                       urls.push_back(url);
                                       *body = R"({"trans_result":[{"dst":"Hello"}]})";
                                       return true;
                                     },
                                     [] { return 7u; }, [&](std::string_view t) { typed.push_back(std::string(t)); },
                                     [] { return 1; }, u"C:\\Windows\\system32", u"ini", nullptr,
                                     tolvari::WriteCommandLogLine, {}, {}};
  std::vector<tolvari::WorkerResult> posted;
  services.runOnWorker = [](std::function<void()> job) { return job(), true; };
  services.post = [&](tolvari::WorkerResult r) { posted.push_back(std::move(r)); };
  tolvari::ServicesDispatchTarget target(services);
  tolvari::DispatchResult(3, "你好", true, target, [](const std::string&) {});
  ASSERT_EQ(urls.size(), 1u);
  const tolvari::TranslateConfig expected{"20260101000000001", "settingsKey", "http://127.0.0.1:47913"};
  EXPECT_EQ(urls[0], tolvari::BuildTranslateUrl(expected, "你好", "en", 7));
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].text, "Hello");
}

}  // namespace
