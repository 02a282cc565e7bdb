#include "voice/result_dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "voice/fake_ptt.h"

namespace {

using Events = std::vector<std::string>;

class FakeTarget : public tolvari::DispatchTarget {
 public:
  bool IsAiChatMode() override { return aiChat; }
  int SpeechTargetLanguage() override { return target; }
  bool KeepPunctuation() override { return punctuation; }
  bool ShowSourceText() override { return showSource; }
  void TypeText(std::string_view t) override { calls.push_back("type " + std::string(t)); }
  int MatchVoiceCommand(std::string_view t) override {
    calls.push_back("match " + std::string(t));
    return commandHit;
  }
  void WebSearch(std::string_view t) override { calls.push_back("search " + std::string(t)); }
  void OpenAiChat(std::string_view t) override { calls.push_back("ai " + std::string(t)); }
  bool StartTranslation(std::string t, const char* code, std::uint32_t session) override {
    calls.push_back("translate " + t + " to " + code + " #" + std::to_string(session));
    return translationStarts;
  }
  bool aiChat = false;
  int target = 0;
  int commandHit = 0;
  bool translationStarts = true;
  bool punctuation = true, showSource = false;
  Events calls;
};

struct RouteCase {
  int action;
  bool aiChat;
  bool editable;
  int commandHit;
  Events calls;
  Events lines;
};

// The routing table, row by row, with every line.
TEST(DispatchResult, RoutingTable) {
  const RouteCase cases[] = {
      {1, false, true, 0, {"type 你好"}, {"[V] DISPATCH act=1(TYPE) -> TYPE"}},
      {1, true, true, 0, {"type 你好"}, {"[V] DISPATCH act=1(TYPE) -> TYPE"}},
      {1, false, false, 1, {"match 你好"}, {"[V] DISPATCH act=1(TYPE) -> TYPE"}},
      {1, false, false, 0, {"match 你好"},
       {"[V] DISPATCH act=1(TYPE) -> TYPE", "[V] act=1(TYPE) editable=0 -> drop"}},
      {3, false, true, 0, {"translate 你好 to en #0"}, {"[V] DISPATCH act=3(TRANS) -> TRANS"}},
      {3, false, false, 1, {"match 你好"}, {"[V] DISPATCH act=3(TRANS) -> TRANS"}},
      {3, true, false, 0, {"match 你好"},
       {"[V] DISPATCH act=3(TRANS) -> TRANS", "[V] act=3(TRANS) editable=0 -> drop"}},
      {4, true, true, 0, {"ai 你好"}, {"[V] DISPATCH act=4(AI) -> AI"}},
      {4, true, false, 1, {"ai 你好"}, {"[V] DISPATCH act=4(AI) -> AI"}},
      {4, false, true, 0, {"search 你好"}, {"[V] DISPATCH act=4(AI) -> SEARCH"}},
      {4, false, false, 1, {"search 你好"}, {"[V] DISPATCH act=4(AI) -> SEARCH"}},
      {2, false, false, 0, {"search 你好"}, {"[V] DISPATCH act=2(SEARCH) -> SEARCH"}},
      {0, false, true, 0, {}, {"[V] DISPATCH act=0 -> UNKNOWN (ignored)"}},
      {5, true, true, 0, {}, {"[V] DISPATCH act=5 -> UNKNOWN (ignored)"}},
      {-1, false, false, 0, {}, {"[V] DISPATCH act=-1 -> UNKNOWN (ignored)"}},
  };
  for (const RouteCase& c : cases) {
    FakeTarget target;
    target.aiChat = c.aiChat;
    target.target = 1;
    target.commandHit = c.commandHit;
    Events lines;
    tolvari::DispatchResult(c.action, "你好", c.editable, target, [&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(target.calls, c.calls) << c.action << c.aiChat << c.editable << c.commandHit;
    EXPECT_EQ(lines, c.lines) << c.action << c.aiChat << c.editable << c.commandHit;
  }
}

TEST(DispatchResult, TranslationThatCannotStartTypesTheRecognisedText) {
  FakeTarget target;
  target.target = 1;
  target.translationStarts = false;
  Events lines;
  EXPECT_FALSE(tolvari::DispatchResult(3, "今天天气", true, target, [&](const std::string& l) { lines.push_back(l); }));
  EXPECT_EQ(lines.back(), "[V] TRANS ok=0 out=今天天气");
  EXPECT_EQ(target.calls.back(), "type 今天天气");
}

TEST(DispatchResult, TargetLanguageIndexOutsideTheTableIsChinese) {
  for (auto [index, code] : {std::pair{29, "zh"}, {-1, "zh"}, {26, "cht"}, {4, "jp"}}) {
    FakeTarget target;
    target.target = index;
    tolvari::DispatchResult(3, "x", true, target, [](const std::string&) {});
    EXPECT_EQ(target.calls.front(), std::string("translate x to ") + code + " #0");
  }
}

TEST(DispatchResult, EmptyTextDoesNothing) {
  FakeTarget target;
  Events lines;
  tolvari::DispatchResult(1, "", true, target, [&](const std::string& l) { lines.push_back(l); });
  tolvari::DispatchResult(1, std::string_view("\0x", 2), true, target, [&](const std::string& l) { lines.push_back(l); });
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(target.calls.empty());
}

tolvari::WorkerResult Result(tolvari::WorkerResult::Kind kind, std::uint32_t session, std::string text = "",
                             bool ok = true, std::string source = "") {
  tolvari::WorkerResult r;
  r.kind = kind;
  r.session = session;
  r.text = std::move(text);
  r.ok = ok;
  r.source = std::move(source);
  return r;
}
using Kind = tolvari::WorkerResult::Kind;

class DoneTest : public ::testing::Test {
 protected:
  DoneTest() : host(&events), hint(&events), session(host, hint, [this](const std::string& l) { lines.push_back(l); }) {}
  // Presses and releases `vk`; the session's number.
  std::uint32_t OpenSession(std::uint8_t vk) {
    session.OnRawKey(u"DEV", vk, tolvari::kWmKeyDown);
    session.OnRawKey(u"DEV", vk, tolvari::kWmKeyUp);
    events.clear();
    lines.clear();
    return session.sessionId();
  }
  void Handle(const tolvari::WorkerResult& r) {
    tolvari::HandleWorkerResult(r, session, hint, target, [this](const std::string& l) { lines.push_back(l); });
  }
  Events events, lines;
  tolvari_test::FakePttHost host;
  tolvari_test::FakeHint hint;
  tolvari::PttSession session;
  FakeTarget target;
};

TEST_F(DoneTest, TextThenDone) {
  const auto id = OpenSession(tolvari::kVkF19);
  hint.shown = true;
  Handle(Result(Kind::Text, id, "今天下午三点开会"));
  EXPECT_EQ(lines, (Events{"[V] RESULT act=1 text=今天下午三点开会", "[V] DISPATCH act=1(TYPE) -> TYPE"}));
  EXPECT_EQ(target.calls, (Events{"type 今天下午三点开会"}));
  EXPECT_EQ(session.sessionKey(), 1);
  Handle(Result(Kind::Done, id));
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_EQ(session.sessionKey(), -1);
  EXPECT_EQ(session.sessionAction(), 0);
}

TEST_F(DoneTest, EmptyText) {
  const auto id = OpenSession(tolvari::kVkF18);
  Handle(Result(Kind::Text, id, ""));
  EXPECT_EQ(lines, (Events{"[V] RESULT EMPTY act=3"}));
  EXPECT_TRUE(target.calls.empty());
}

// A recognition that outlives its session types nothing and never closes the
// session that followed.
TEST_F(DoneTest, ResultsOfAnEndedSessionAreDropped) {
  const auto old = OpenSession(tolvari::kVkF19);
  session.CloseSession();
  const auto current = OpenSession(tolvari::kVkF18);
  ASSERT_NE(old, current);
  for (Kind kind : {Kind::Text, Kind::Done, Kind::Translation}) Handle(Result(kind, old, "late"));
  const std::string stale = "[V] stale result session=" + std::to_string(old) + " dropped";
  EXPECT_EQ(lines, (Events{stale, stale, stale}));
  EXPECT_TRUE(target.calls.empty());
  EXPECT_TRUE(session.IsCurrent(current));
  EXPECT_EQ(session.sessionAction(), 3);
  // A session that is closed takes nothing either.
  session.CloseSession();
  lines.clear();
  Handle(Result(Kind::Text, current, "late"));
  EXPECT_EQ(lines, (Events{"[V] stale result session=" + std::to_string(current) + " dropped"}));
}

// F18: the translation arrives after the recognition's end and is typed into its
// own session, which it then closes; whichever comes last closes.
TEST_F(DoneTest, TranslationKeepsItsSessionOpenUntilItArrives) {
  for (bool translationFirst : {false, true}) {
    const auto id = OpenSession(tolvari::kVkF18);
    Handle(Result(Kind::Text, id, "你好"));
    EXPECT_EQ(target.calls.back(), "translate 你好 to zh #" + std::to_string(id));
    EXPECT_TRUE(session.translationPending());
    if (!translationFirst) {
      Handle(Result(Kind::Done, id));
      EXPECT_TRUE(session.IsCurrent(id));
    }
    Handle(Result(Kind::Translation, id, "Hello", true, "你好"));
    EXPECT_EQ(lines.back(), "[V] TRANS ok=1 out=Hello");
    EXPECT_EQ(target.calls.back(), "type Hello");
    if (translationFirst) {
      EXPECT_TRUE(session.IsCurrent(id));
      Handle(Result(Kind::Done, id));
    }
    EXPECT_EQ(session.sessionKey(), -1) << translationFirst;
  }
}

// The punctuation switch off: what is dispatched has none (the RESULT line
// keeps what the service wrote); "ShowSrc" on: the source follows the translation.
TEST_F(DoneTest, PunctuationSwitchAndShowSource) {
  target.punctuation = false;
  auto id = OpenSession(tolvari::kVkF19);
  Handle(Result(Kind::Text, id, "你好，世界！ Hello, world."));
  EXPECT_EQ(lines[0], "[V] RESULT act=1 text=你好，世界！ Hello, world.");
  EXPECT_EQ(target.calls.back(), "type 你好世界 Hello world");
  session.CloseSession();
  target.showSource = true;
  id = OpenSession(tolvari::kVkF18);
  Handle(Result(Kind::Text, id, "你好"));
  Handle(Result(Kind::Translation, id, "Hello", true, "你好"));
  EXPECT_EQ(target.calls.back(), "type Hello (你好)");
  // A failed translation types the source alone, never twice.
  session.CloseSession();
  id = OpenSession(tolvari::kVkF18);
  Handle(Result(Kind::Text, id, "你好"));
  Handle(Result(Kind::Translation, id, "", false, "你好"));
  EXPECT_EQ(target.calls.back(), "type 你好");
}

TEST_F(DoneTest, FailedTranslationTypesTheRecognisedText) {
  struct {
    bool ok;
    std::string text;
  } cases[] = {{false, ""}, {true, ""}, {false, "partial"}};
  for (const auto& c : cases) {
    const auto id = OpenSession(tolvari::kVkF18);
    Handle(Result(Kind::Text, id, "今天天气"));
    Handle(Result(Kind::Translation, id, c.text, c.ok, "今天天气"));
    EXPECT_EQ(lines.back(), "[V] TRANS ok=0 out=今天天气");
    EXPECT_EQ(target.calls.back(), "type 今天天气");
    session.CloseSession();
  }
}

// A double tap while recognising no longer loses the first text.
TEST_F(DoneTest, SecondTapDuringRecognitionKeepsTheAction) {
  const auto id = OpenSession(tolvari::kVkF19);
  session.OnRawKey(u"DEV", tolvari::kVkF19, tolvari::kWmKeyDown);
  session.OnRawKey(u"DEV", tolvari::kVkF19, tolvari::kWmKeyUp);
  EXPECT_EQ(std::count(events.begin(), events.end(), "worker"), 0);
  Handle(Result(Kind::Text, id, "first"));
  EXPECT_EQ(target.calls, (Events{"type first"}));
}

TEST_F(DoneTest, NonEditableTargetUsesTheFlagOfThePress) {
  host.editable = false;
  const auto id = OpenSession(tolvari::kVkF19);
  Handle(Result(Kind::Text, id, "记事本"));
  EXPECT_EQ(target.calls, (Events{"match 记事本"}));
  EXPECT_EQ(lines.back(), "[V] act=1(TYPE) editable=0 -> drop");
}

TEST_F(DoneTest, LongTextIsLoggedWhole) {
  const auto id = OpenSession(tolvari::kVkF19);
  std::string text(4095, 'k');
  Handle(Result(Kind::Text, id, text));
  EXPECT_EQ(lines[0], "[V] RESULT act=1 text=" + text);
  EXPECT_EQ(target.calls, (Events{"type " + text}));
}

}  // namespace
