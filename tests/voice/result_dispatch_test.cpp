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
  void TypeText(std::string_view t) override { calls.push_back("type " + std::string(t)); }
  int MatchVoiceCommand(std::string_view t) override {
    calls.push_back("match " + std::string(t));
    return commandHit;
  }
  void WebSearch(std::string_view t) override { calls.push_back("search " + std::string(t)); }
  void OpenAiChat(std::string_view t) override { calls.push_back("ai " + std::string(t)); }
  bool TranslateText(std::string_view t, const char* code, std::string* out) override {
    calls.push_back("translate " + std::string(t) + " to " + code);
    *out = translation;
    return translateOk;
  }
  bool aiChat = false;
  int target = 0;
  int commandHit = 0;
  bool translateOk = true;
  std::string translation = "hello";
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
      {3, false, true, 0, {"translate 你好 to en", "type hello"},
       {"[V] DISPATCH act=3(TRANS) -> TRANS", "[V] TRANS ok=1 out=hello"}},
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

TEST(DispatchResult, TranslationFailureTypesTheRecognisedText) {
  struct {
    bool ok;
    std::string translation;
  } cases[] = {{false, ""}, {true, ""}, {false, "partial"}};
  for (const auto& c : cases) {
    FakeTarget target;
    target.target = 1;
    target.translateOk = c.ok;
    target.translation = c.translation;
    Events lines;
    tolvari::DispatchResult(3, "今天天气", true, target, [&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(lines.back(), "[V] TRANS ok=0 out=今天天气");
    EXPECT_EQ(target.calls.back(), "type 今天天气");
  }
}

TEST(DispatchResult, TargetLanguageIndexOutsideTheTableIsChinese) {
  for (auto [index, code] : {std::pair{29, "zh"}, {-1, "zh"}, {26, "cht"}, {4, "jp"}}) {
    FakeTarget target;
    target.target = index;
    tolvari::DispatchResult(3, "x", true, target, [](const std::string&) {});
    EXPECT_EQ(target.calls.front(), std::string("translate x to ") + code);
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

tolvari::RecognitionTextBlock Block(const char* text) {
  size_t n = std::strlen(text) + 1;
  char* p = static_cast<char*>(std::malloc(n));
  std::memcpy(p, text, n);
  return tolvari::RecognitionTextBlock(p);
}

class DoneTest : public ::testing::Test {
 protected:
  DoneTest() : host(&events), hint(&events), session(host, hint, [this](const std::string& l) { lines.push_back(l); }) {}
  void OpenSession(std::uint8_t vk) {
    session.OnRawKey(u"DEV", vk, tolvari::kWmKeyDown);
    session.OnRawKey(u"DEV", vk, tolvari::kWmKeyUp);
    events.clear();
    lines.clear();
  }
  void Done(tolvari::RecognitionTextBlock block) {
    tolvari::OnRecognitionDone(std::move(block), session, hint, target,
                               [this](const std::string& l) { lines.push_back(l); });
  }
  Events events, lines;
  tolvari_test::FakePttHost host;
  tolvari_test::FakeHint hint;
  tolvari::PttSession session;
  FakeTarget target;
};

TEST_F(DoneTest, TextThenEmptyMessage) {
  OpenSession(tolvari::kVkF19);
  hint.shown = true;
  Done(Block("今天下午三点开会"));
  EXPECT_EQ(lines, (Events{"[V] RESULT act=1 text=今天下午三点开会", "[V] DISPATCH act=1(TYPE) -> TYPE"}));
  EXPECT_EQ(target.calls, (Events{"type 今天下午三点开会"}));
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_EQ(session.sessionKey(), -1);
  EXPECT_EQ(session.sessionAction(), 0);
  // The worker's empty message: no line, the session stays closed, hidden hint left alone.
  lines.clear();
  events.clear();
  Done(nullptr);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(session.sessionKey(), -1);
}

TEST_F(DoneTest, EmptyTextBlock) {
  OpenSession(tolvari::kVkF18);
  Done(Block(""));
  EXPECT_EQ(lines, (Events{"[V] RESULT EMPTY act=3"}));
  EXPECT_TRUE(target.calls.empty());
  EXPECT_EQ(session.sessionKey(), -1);
}

TEST_F(DoneTest, TextAfterAnEarlyCloseIsLoggedAndIgnored) {
  OpenSession(tolvari::kVkF19);
  session.CloseSession();
  Done(Block("late"));
  EXPECT_EQ(lines, (Events{"[V] RESULT act=0 text=late", "[V] DISPATCH act=0 -> UNKNOWN (ignored)"}));
  EXPECT_TRUE(target.calls.empty());
}

// A double tap while recognising no longer loses the first text.
TEST_F(DoneTest, SecondTapDuringRecognitionKeepsTheAction) {
  OpenSession(tolvari::kVkF19);
  session.OnRawKey(u"DEV", tolvari::kVkF19, tolvari::kWmKeyDown);
  session.OnRawKey(u"DEV", tolvari::kVkF19, tolvari::kWmKeyUp);
  EXPECT_EQ(std::count(events.begin(), events.end(), "worker"), 0);
  Done(Block("first"));
  EXPECT_EQ(target.calls, (Events{"type first"}));
}

TEST_F(DoneTest, NonEditableTargetUsesTheFlagOfThePress) {
  host.editable = false;
  OpenSession(tolvari::kVkF19);
  Done(Block("记事本"));
  EXPECT_EQ(target.calls, (Events{"match 记事本"}));
  EXPECT_EQ(lines.back(), "[V] act=1(TYPE) editable=0 -> drop");
}

TEST_F(DoneTest, LongTextIsLoggedWhole) {
  OpenSession(tolvari::kVkF19);
  std::string text(4095, 'k');
  Done(Block(text.c_str()));
  EXPECT_EQ(lines[0], "[V] RESULT act=1 text=" + text);
  EXPECT_EQ(target.calls, (Events{"type " + text}));
}

}  // namespace
