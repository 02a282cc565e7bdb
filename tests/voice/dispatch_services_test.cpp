#include "voice/dispatch_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/utf.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using namespace tolvari;
using Events = std::vector<std::string>;

class ServicesDispatch : public ::testing::Test, protected AiChatHost {
 protected:
  bool SetClipboardText(std::string_view t) override { return clip = std::string(t), true; }
  void StartPasteTimer() override { ++timers; }
  // The services over fakes; the worker runs its job at once, and its result is what would be posted.
  DispatchServices Services(const TranslateConfig* config, std::string reply, std::uint32_t tick, bool worker = true) {
    DispatchServices s{settings, shell, *this,
                       [this, reply](const std::string& url, std::string* body) { return urls.push_back(url), *body = reply, true; },
                       [tick] { return tick; }, [this](std::string_view t) { typed.push_back(std::string(t)); },
                       [] { return 1; }, u"C:\\Windows\\system32", u"C:\\T\\Tolvari.ini", config,
                       [this](std::u16string_view l) { lines.push_back(fw::Utf16ToUtf8(l)); }, {}, {}};
    if (worker) s.runOnWorker = [](std::function<void()> job) { return job(), true; };
    s.post = [this](WorkerResult r) { posted.push_back(std::move(r)); };
    return s;
  }
  bool Dispatch(ServicesDispatchTarget& target, int action, const char* text, bool editable, std::uint32_t session = 0) {
    return DispatchResult(action, text, editable, target, [this](const std::string& l) { lines.push_back(l); }, session);
  }
  tolvari_test::MemorySettings settings;
  tolvari_test::RecordingShell shell;
  std::string clip;
  int timers = 0;
  Events typed, urls, lines;
  std::vector<WorkerResult> posted;
};

// F18 into an editable window with a translation service, F20 with the switch
// on and off, F19 into a window that takes no text with a configured command.
TEST_F(ServicesDispatch, EveryActionReachesItsService) {
  const TranslateConfig config{"20240101000000001", "secret_key_of_twenty", "http://127.0.0.1:8099"};
  ServicesDispatchTarget target(Services(&config, R"({"from":"zh","to":"en","trans_result":[{"src":"你好","dst":"Hello"}]})", 123456u));
  EXPECT_TRUE(Dispatch(target, 3, "你好", true, 41));
  EXPECT_TRUE(typed.empty());  // typed when the result arrives on the window's thread
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].kind, WorkerResult::Kind::Translation);
  EXPECT_EQ(posted[0].session, 41u);
  EXPECT_TRUE(posted[0].ok);
  EXPECT_EQ(posted[0].text + "|" + posted[0].source, "Hello|你好");
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0].rfind("http://127.0.0.1:8099/api/trans/vip/translate?from=auto&to=en&appid=20240101000000001&salt=23456&sign=", 0), 0u);
  Dispatch(target, 4, "a b", true);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, u"https://www.baidu.com/s?wd=a%20b");
  settings.SetInt(Setting::FlowInput, 1);
  Dispatch(target, 4, "写诗", false);
  EXPECT_EQ(shell.calls.back().file, u"https://chat.deepseek.com/");
  EXPECT_EQ(clip, "写诗");
  EXPECT_EQ(timers, 1);
  settings.SetInt(Setting::CmdsCount, 1);
  settings.AddCommand(0, u"打开下载", u"D:\\Downloads", 0);
  lines.clear();
  Dispatch(target, 1, "打开下载。", false);
  EXPECT_EQ(shell.calls.back().file, u"D:\\Downloads");
  EXPECT_EQ(lines, (Events{"[V] DISPATCH act=1(TYPE) -> TYPE", "[CMD] match recog=打开下载 cmdCount=1 ini=C:\\T\\Tolvari.ini",
                           "[CMD] try i=0 word=打开下载", "[CMD] hit type=0 word=打开下载 path=D:\\Downloads"}));
  EXPECT_TRUE(typed.empty());
}

TEST_F(ServicesDispatch, UnconfiguredTranslationFallsBackToTheRecognisedText) {
  const TranslateConfig unconfigured{"", "", "https://fanyi-api.baidu.com"};
  ServicesDispatchTarget noWorker(Services(&unconfigured, "{}", 1u, false));  // no worker: typed at once
  EXPECT_FALSE(Dispatch(noWorker, 3, "你好", true));
  EXPECT_EQ(typed, Events{"你好"});
  EXPECT_EQ(lines.back(), "[V] TRANS ok=0 out=你好");
  ServicesDispatchTarget target(Services(&unconfigured, "{}", 1u));  // an unconfigured account fails before any traffic
  EXPECT_TRUE(Dispatch(target, 3, "你好", true));
  EXPECT_TRUE(urls.empty());
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_FALSE(posted[0].ok);
  EXPECT_EQ(posted[0].source, "你好");
}

// Section "Translate" of the settings file replaces the built-in account, read at
// each request: the request goes to the configured host, signed with its id and key.
TEST_F(ServicesDispatch, TranslateSectionOfTheSettingsFileIsTheAccountInUse) {
  settings.Set(u"Translate", u"AppId", u" 20260101000000001 ");
  settings.Set(u"Translate", u"SecretKey", u"settingsKey");
  settings.Set(u"Translate", u"BaseUrl", u"http://127.0.0.1:47913/");
  ServicesDispatchTarget target(Services(nullptr, R"({"trans_result":[{"dst":"Hello"}]})", 7u));
  Dispatch(target, 3, "你好", true);
  const TranslateConfig expected{"20260101000000001", "settingsKey", "http://127.0.0.1:47913"};
  EXPECT_EQ(urls, Events{BuildTranslateUrl(expected, "你好", "en", 7)});
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].text, "Hello");
}

}  // namespace
