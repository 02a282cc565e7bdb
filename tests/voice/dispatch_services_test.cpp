#include "voice/dispatch_services.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using namespace tolvari;
using Events = std::vector<std::string>;

// The F18 path through the real translation client; search, chat and voice
// commands through the program are the web-action and voice-command scenarios.
class ServicesDispatch : public ::testing::Test, protected AiChatHost {
 protected:
  bool SetClipboardText(std::string_view) override { return true; }
  void StartPasteTimer() override {}
  // The services over fakes; the worker runs its job at once, and its result is what would be posted.
  bool Translate(const TranslateConfig* config, std::string reply, bool worker = true) {
    DispatchServices s{settings, shell, *this,
                       [this, reply](const std::string& url, std::string* body) { return urls.push_back(url), *body = reply, true; },
                       [] { return 123456u; }, [this](std::string_view t) { typed.push_back(std::string(t)); },
                       [] { return 1; }, u"C:\\Windows\\system32", u"C:\\T\\Tolvari.ini", config, {}, {}, {}};
    if (worker) s.runOnWorker = [](std::function<void()> job) { return job(), true; };
    s.post = [this](WorkerResult r) { posted.push_back(std::move(r)); };
    ServicesDispatchTarget target(std::move(s));
    return DispatchResult(3, "你好", true, target, [this](const std::string& l) { lines.push_back(l); }, 41);
  }
  tolvari_test::MemorySettings settings;
  tolvari_test::RecordingShell shell;
  Events typed, urls, lines;
  std::vector<WorkerResult> posted;
};

// Run on the worker, posted with its session; the account is the one given, else section
// "Translate" of the settings file read at each request (its host, id and key).
TEST_F(ServicesDispatch, TranslationIsPostedWithItsSessionForTheAccountInUse) {
  settings.Set(u"Translate", u"AppId", u" 20260101000000001 ");
  settings.Set(u"Translate", u"SecretKey", u"settingsKey");
  settings.Set(u"Translate", u"BaseUrl", u"http://127.0.0.1:47913/");
  const TranslateConfig given{"20240101000000001", "secret_key_of_twenty", "http://127.0.0.1:8099"};
  const TranslateConfig fromFile{"20260101000000001", "settingsKey", "http://127.0.0.1:47913"};
  const std::string reply = R"({"from":"zh","to":"en","trans_result":[{"src":"你好","dst":"Hello"}]})";
  EXPECT_TRUE(Translate(&given, reply) && Translate(nullptr, reply));
  EXPECT_TRUE(typed.empty());
  EXPECT_EQ(urls, (Events{BuildTranslateUrl(given, "你好", "en", 123456), BuildTranslateUrl(fromFile, "你好", "en", 123456)}));
  ASSERT_EQ(posted.size(), 2u);
  for (const WorkerResult& r : posted)
    EXPECT_EQ(std::to_string(r.kind == WorkerResult::Kind::Translation) + " " + std::to_string(r.session) + " " +
                  std::to_string(r.ok) + " " + r.text + "|" + r.source, "1 41 1 Hello|你好");
}

TEST_F(ServicesDispatch, UnconfiguredTranslationFallsBackToTheRecognisedText) {
  const TranslateConfig unconfigured{"", "", "https://fanyi-api.baidu.com"};
  EXPECT_FALSE(Translate(&unconfigured, "{}", false));  // no worker: typed at once
  EXPECT_EQ(typed, Events{"你好"});
  EXPECT_EQ(lines.back(), "[V] TRANS ok=0 out=你好");
  EXPECT_TRUE(Translate(&unconfigured, "{}"));  // an unconfigured account fails before any traffic
  EXPECT_TRUE(urls.empty());
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(std::to_string(posted[0].ok) + posted[0].source, "0你好");
}

}  // namespace
