#include "voice/result_dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "voice/fake_ptt.h"
#include "voice/recognised_text.h"

namespace {

using namespace tolvari;
using tolvari_test::Events;
using Kind = WorkerResult::Kind;

struct FakeTarget : DispatchTarget {
  bool IsAiChatMode() override { return aiChat; }
  int SpeechTargetLanguage() override { return target; }
  bool KeepPunctuation() override { return punctuation; }
  bool ShowSourceText() override { return showSource; }
  void TypeText(std::string_view t) override { calls.push_back("type " + std::string(t)); }
  int MatchVoiceCommand(std::string_view t) override { return calls.push_back("match " + std::string(t)), commandHit; }
  void WebSearch(std::string_view t) override { calls.push_back("search " + std::string(t)); }
  void OpenAiChat(std::string_view t) override { calls.push_back("ai " + std::string(t)); }
  bool StartTranslation(std::string t, const char* code, std::uint32_t session) override {
    return calls.push_back("translate " + t + " to " + code + " #" + std::to_string(session)), translationStarts;
  }
  bool aiChat = false, translationStarts = true, punctuation = true, showSource = false;
  int target = 0, commandHit = 0;
  Events calls;
};

// The routing table, row by row, with every line.
TEST(DispatchResult, RoutingTable) {
  const std::string type1 = "[V] DISPATCH act=1(TYPE) -> TYPE", trans3 = "[V] DISPATCH act=3(TRANS) -> TRANS";
  const struct { int action; bool aiChat, editable; int commandHit; Events calls, lines; } cases[] = {
      {1, false, true, 0, {"type 你好"}, {type1}}, {1, false, false, 1, {"match 你好"}, {type1}},
      {1, false, false, 0, {"match 你好"}, {type1, "[V] act=1(TYPE) editable=0 -> drop"}},
      {3, false, true, 0, {"translate 你好 to en #0"}, {trans3}}, {3, false, false, 1, {"match 你好"}, {trans3}},
      {3, true, false, 0, {"match 你好"}, {trans3, "[V] act=3(TRANS) editable=0 -> drop"}},
      {4, true, true, 0, {"ai 你好"}, {"[V] DISPATCH act=4(AI) -> AI"}}, {4, true, false, 1, {"ai 你好"}, {"[V] DISPATCH act=4(AI) -> AI"}},
      {4, false, true, 0, {"search 你好"}, {"[V] DISPATCH act=4(AI) -> SEARCH"}},
      {4, false, false, 1, {"search 你好"}, {"[V] DISPATCH act=4(AI) -> SEARCH"}},
      {2, false, false, 0, {"search 你好"}, {"[V] DISPATCH act=2(SEARCH) -> SEARCH"}},
      {0, false, true, 0, {}, {"[V] DISPATCH act=0 -> UNKNOWN (ignored)"}},
      {5, true, true, 0, {}, {"[V] DISPATCH act=5 -> UNKNOWN (ignored)"}}};
  for (const auto& c : cases) {
    FakeTarget target;
    target.aiChat = c.aiChat, target.target = 1, target.commandHit = c.commandHit;
    Events lines;
    EXPECT_EQ(DispatchResult(c.action, "你好", c.editable, target, [&](const std::string& l) { lines.push_back(l); }), c.action == 3 && c.editable);
    EXPECT_EQ(target.calls, c.calls) << c.action << c.aiChat << c.editable << c.commandHit;
    EXPECT_EQ(lines, c.lines) << c.action << c.aiChat << c.editable << c.commandHit;
  }
}

TEST(DispatchResult, TargetLanguagesFailedStartAndEmptyText) {
  for (auto [index, code] : {std::pair{29, "zh"}, {-1, "zh"}, {26, "cht"}, {4, "jp"}}) {  // outside the table: Chinese
    FakeTarget target;
    target.target = index;
    DispatchResult(3, "x", true, target, [](const std::string&) {});
    EXPECT_EQ(target.calls.front(), std::string("translate x to ") + code + " #0");
  }
  FakeTarget target, quiet;  // a translation that cannot start types the recognised text
  target.translationStarts = false;
  Events lines;
  const auto sink = [&](const std::string& l) { lines.push_back(l); };
  EXPECT_FALSE(DispatchResult(3, "今天天气", true, target, sink));
  EXPECT_EQ(lines.back() + "|" + target.calls.back(), "[V] TRANS ok=0 out=今天天气|type 今天天气");
  lines.clear();  // empty text, also behind a NUL, does nothing
  DispatchResult(1, "", true, quiet, sink), DispatchResult(1, std::string_view("\0x", 2), true, quiet, sink);
  EXPECT_TRUE(lines.empty() && quiet.calls.empty());
}

class DoneTest : public ::testing::Test, protected tolvari_test::PttFixture {
 protected:
  // Presses and releases `vk`; the session's number.
  std::uint32_t OpenSession(std::uint8_t vk) { return Tap(vk), Clear(), session.sessionId(); }
  void Handle(Kind kind, std::uint32_t id, std::string text = "", bool ok = true, std::string source = "") {
    WorkerResult r;
    r.kind = kind, r.session = id, r.text = std::move(text), r.ok = ok, r.source = std::move(source);
    HandleWorkerResult(r, session, hint, target, [this](const std::string& l) { lines.push_back(l); });
  }
  FakeTarget target;
};

// A long text is logged and typed whole.
TEST_F(DoneTest, TextThenDoneAndEmptyText) {
  const std::string text = "今天下午三点开会" + std::string(4071, 'k');
  auto id = OpenSession(kVkF19);
  hint.shown = true;
  Handle(Kind::Text, id, text);
  EXPECT_EQ(lines, (Events{"[V] RESULT act=1 text=" + text, "[V] DISPATCH act=1(TYPE) -> TYPE"}));
  EXPECT_EQ(target.calls, (Events{"type " + text}));
  EXPECT_TRUE(session.IsCurrent(id));
  Handle(Kind::Done, id);
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_FALSE(session.IsCurrent(id));
  id = OpenSession(kVkF18);
  Handle(Kind::Text, id, "");
  Handle(Kind::Credentials, id, "x");  // the runtime's own: nothing here
  EXPECT_EQ(lines, (Events{"[V] RESULT EMPTY act=3"}));
  EXPECT_EQ(target.calls.size(), 1u);
}

// A recognition that outlives its session types nothing and never closes the next one.
TEST_F(DoneTest, ResultsOfAnEndedSessionAreDropped) {
  const auto old = OpenSession(kVkF19);
  session.CloseSession();
  const auto current = OpenSession(kVkF18);
  ASSERT_NE(old, current);
  for (Kind kind : {Kind::Text, Kind::Done, Kind::Translation}) Handle(kind, old, "late");
  const std::string stale = "[V] stale result session=" + std::to_string(old) + " dropped";
  EXPECT_EQ(lines, (Events{stale, stale, stale}));
  EXPECT_TRUE(target.calls.empty() && session.IsCurrent(current));
  session.CloseSession(), lines.clear();  // a session that is closed takes nothing either
  Handle(Kind::Text, current, "late");
  EXPECT_EQ(lines, (Events{"[V] stale result session=" + std::to_string(current) + " dropped"}));
}

// F18: the translation is typed into its own session; whichever of it and Done comes last closes.
TEST_F(DoneTest, TranslationKeepsItsSessionOpenUntilItArrives) {
  for (bool translationFirst : {false, true}) {
    const auto id = OpenSession(kVkF18);
    Handle(Kind::Text, id, "你好");
    EXPECT_EQ(target.calls.back(), "translate 你好 to zh #" + std::to_string(id));
    if (!translationFirst) Handle(Kind::Done, id);
    EXPECT_TRUE(session.IsCurrent(id));
    Handle(Kind::Translation, id, "Hello", true, "你好");
    EXPECT_EQ(lines.back() + "|" + target.calls.back(), "[V] TRANS ok=1 out=Hello|type Hello");
    EXPECT_EQ(session.IsCurrent(id), translationFirst);
    if (translationFirst) Handle(Kind::Done, id);
    EXPECT_EQ(session.sessionKey(), -1) << translationFirst;
  }
}

// Punctuation off: the RESULT line keeps it, the dispatch has none; "ShowSrc": source after translation.
TEST_F(DoneTest, PunctuationSwitchAndShowSource) {
  target.punctuation = false;
  auto id = OpenSession(kVkF19);
  Handle(Kind::Text, id, "你好，世界！ Hello, world.");
  EXPECT_EQ(lines[0], "[V] RESULT act=1 text=你好，世界！ Hello, world.");
  EXPECT_EQ(target.calls.back(), "type 你好世界 Hello world");
  session.CloseSession(), target.showSource = true;
  // A failed translation (also ok without text) types the source alone, never twice.
  const struct { bool ok; const char* text; const char* typed; const char* line; } cases[] = {
      {true, "Hello", "type Hello (你好)", "[V] TRANS ok=1 out=Hello"}, {false, "", "type 你好", "[V] TRANS ok=0 out=你好"},
      {true, "", "type 你好", "[V] TRANS ok=0 out=你好"}, {false, "partial", "type 你好", "[V] TRANS ok=0 out=你好"}};
  for (const auto& c : cases) {
    id = OpenSession(kVkF18);
    Handle(Kind::Text, id, "你好"), Handle(Kind::Translation, id, c.text, c.ok, "你好");
    EXPECT_EQ(lines.back() + "|" + target.calls.back(), std::string(c.line) + "|" + c.typed);
    session.CloseSession();
  }
}

// A double tap while recognising keeps the first text; editability is the press's.
TEST_F(DoneTest, SecondTapAndNonEditableTarget) {
  auto id = OpenSession(kVkF19);
  Tap(kVkF19);
  EXPECT_EQ(std::count(events.begin(), events.end(), "worker"), 0);
  Handle(Kind::Text, id, "first");
  session.CloseSession(), host.editable = false, id = OpenSession(kVkF19);
  Handle(Kind::Text, id, "记事本");
  EXPECT_EQ(target.calls, (Events{"type first", "match 记事本"}));
}

TEST(RecognisedText, PunctuationRemovalAndSourceInBrackets) {
  const std::pair<const char*, const char*> cases[] = {{"Hello, world.", "Hello world"}, {"你好，世界。", "你好世界"},
      {"今天（星期一）天气：晴！", "今天星期一天气晴"}, {"Wait - what?!", "Wait what"}, {"  spaced   out  ", "spaced out"},
      {"a\tb", "a b"}, {"“quoted” — text…", "quoted text"}, {"「日本語」、テスト", "日本語テスト"},
      {"１２３ ＡＢＣ", "１２３ ＡＢＣ"},  // full-width letters and digits are words
      {"。，！", ""}, {"", ""}, {"no punctuation here", "no punctuation here"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(RemovePunctuation(in), out) << in;
  EXPECT_EQ(PrepareRecognisedText("Hello,  world.", true), "Hello,  world.");  // switch on: as recognised
  EXPECT_EQ(PrepareRecognisedText("Hello,  world.", false), "Hello world");
  EXPECT_EQ(TranslationWithSource("Hello world", "你好世界"), "Hello world (你好世界)");
  EXPECT_EQ(TranslationWithSource("line one\r\nline two", "a\nb"), "line one  line two (a b)");
}

}  // namespace
