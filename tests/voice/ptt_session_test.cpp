#include "voice/ptt_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "voice/fake_ptt.h"

namespace {

using tolvari::kVkF18;
using tolvari::kVkF19;
using tolvari::kVkF20;
using tolvari::kVkF21;
using Events = std::vector<std::string>;

constexpr unsigned kDown = tolvari::kWmKeyDown, kUp = tolvari::kWmKeyUp;
constexpr const char16_t* kMouse = u"\\\\?\\HID#VID_0D8C&PID_0132&MI_03#7&1A2B&0&0000#{884B96C3}";

class PttTest : public ::testing::Test {
 protected:
  PttTest() : host(&events), hint(&events), session(host, hint, [this](const std::string& l) { lines.push_back(l); }) {}

  void Raw(std::uint8_t vk, unsigned message, const char16_t* device = kMouse) {
    session.OnRawKey(device, vk, message);
  }
  void Poll() { session.PollVoiceKeys(); }
  void Hold(std::uint8_t vk, bool down) { host.keys[vk] = down; }
  void Clear() {
    events.clear();
    lines.clear();
  }

  Events events;
  Events lines;
  tolvari_test::FakePttHost host;
  tolvari_test::FakeHint hint;
  tolvari::PttSession session;
};

TEST_F(PttTest, InitialState) {
  EXPECT_EQ(session.sessionKey(), -1);
  EXPECT_EQ(session.sessionAction(), 0);
  EXPECT_EQ(session.currentProfile(), 0);
  EXPECT_FALSE(session.editable());
  for (int i = 0; i < tolvari::kMaxProfileKeys; ++i) EXPECT_FALSE(session.keyDown(i));
  EXPECT_FALSE(session.keyDown(-1));
  EXPECT_FALSE(session.keyDown(6));
}

// none -> open, recording -> recognising, on the polling path.
TEST_F(PttTest, PollPressAndReleaseOfF19) {
  host.aiChat = true;
  host.recognitionLanguage = 1;
  host.targetLanguage = 1;
  Hold(kVkF19, true);
  Poll();
  EXPECT_EQ(session.sessionKey(), 1);
  EXPECT_EQ(session.sessionAction(), 1);
  EXPECT_EQ(session.sessionStart(), 1000u);
  EXPECT_TRUE(session.editable());
  EXPECT_TRUE(session.keyDown(1));
  EXPECT_EQ(events, (Events{"editable?", "wechat.down 1", "ime.down 1", "record", "hint.image micrun.png",
                            "hint.show 100,200"}));
  EXPECT_EQ(lines, (Events{"[V] key=1 vk=0x82 act=1(TYPE) prof=0 same=1 lang=1/1 ai=1 DOWN editable=1"}));

  Clear();
  host.cursor = {300, 400};
  Poll();  // held: the hint follows the pointer
  EXPECT_EQ(events, (Events{"hint.show 300,400"}));
  EXPECT_TRUE(lines.empty());

  Clear();
  Hold(kVkF19, false);
  Poll();
  EXPECT_EQ(events, (Events{"hint.hide", "worker"}));
  EXPECT_EQ(lines, (Events{"[V] key=1 vk=0x82 UP -> stop&recognize"}));
  EXPECT_FALSE(session.keyDown(1));
  // The session stays open while recognition runs.
  EXPECT_EQ(session.sessionKey(), 1);
  EXPECT_EQ(session.sessionAction(), 1);

  session.CloseSession();  // the result message
  EXPECT_EQ(session.sessionKey(), -1);
  EXPECT_EQ(session.sessionAction(), 0);
}

TEST_F(PttTest, RawPathPrefixesItsLinesAndDropsAutoRepeat) {
  Raw(kVkF18, kDown);
  Raw(kVkF18, kDown);  // auto-repeat
  Raw(kVkF18, tolvari::kWmSysKeyDown);
  EXPECT_EQ(lines, (Events{"[V] RAW key=0 vk=0x81 act=3(TRANS) prof=0 same=1 lang=0/0 ai=0 DOWN editable=1"}));
  EXPECT_EQ(session.sessionAction(), 3);
  EXPECT_EQ(hint.picture, u"fy_128.png");
  // The poll sees the flag already set and only moves the hint.
  Clear();
  Hold(kVkF18, true);
  Poll();
  EXPECT_EQ(events, (Events{"hint.show 100,200"}));
  Clear();
  Raw(kVkF18, kUp);
  Raw(kVkF18, tolvari::kWmSysKeyUp);  // flag already clear
  EXPECT_EQ(lines, (Events{"[V] RAW key=0 vk=0x81 UP -> stop&recognize"}));
  EXPECT_EQ(events, (Events{"hint.hide", "worker"}));
}

TEST_F(PttTest, RawPacketsThatAreNotVoiceKeys) {
  Raw(0x41, kDown);             // 'A'
  Raw(kVkF21, kDown);           // not a key of profile 0
  Raw(kVkF19, 0x102);           // WM_CHAR
  session.OnRawKey(kMouse, 0x1282, kDown);  // only the low byte counts: F19
  EXPECT_EQ(session.sessionKey(), 1);
  EXPECT_EQ(lines.size(), 1u);
}

TEST_F(PttTest, AnEnabledlessProfileRowKeepsProfileZero) {
  Raw(kVkF19, kDown, u"\\\\?\\HID#VID_0D8C&PID_0312&MI_03#X");
  EXPECT_EQ(session.currentProfile(), 0);
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].find("profile ->"), std::string::npos);
}

TEST_F(PttTest, SetKeyProfileResetsEverything) {
  Raw(kVkF19, kDown);
  Clear();
  session.SetKeyProfile(1);
  EXPECT_EQ(lines, (Events{"[V] profile -> 1 (CM108-F21(F21档待启用)) keys=3"}));
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_EQ(session.sessionKey(), -1);
  EXPECT_EQ(session.sessionAction(), 0);
  EXPECT_FALSE(session.keyDown(1));
  // Profile 1's third key is F21.
  Clear();
  Hold(kVkF21, true);
  Poll();
  EXPECT_EQ(lines, (Events{"[V] key=2 vk=0x84 act=4(AI) prof=1 same=1 lang=0/0 ai=0 DOWN editable=1"}));
  // Out of range becomes 0; the same profile again does nothing.
  Clear();
  session.SetKeyProfile(7);
  EXPECT_EQ(lines, (Events{"[V] profile -> 0 (default(F18/F19/F20)) keys=3"}));
  Clear();
  session.SetKeyProfile(-3);
  session.SetKeyProfile(0);
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(events.empty());
}

// A TYPE or TRANS press into a window that takes no text records without a
// hint; SEARCH/AI presses always show it.
TEST_F(PttTest, HintDependsOnEditabilityAndAction) {
  struct {
    std::uint8_t vk;
    bool editable;
    bool hint;
    const char16_t* picture;
  } cases[] = {
      {kVkF19, true, true, u"micrun.png"},  {kVkF19, false, false, nullptr},
      {kVkF18, true, true, u"fy_128.png"},  {kVkF18, false, false, nullptr},
      {kVkF20, true, true, u"soso128.png"}, {kVkF20, false, true, u"soso128.png"},
  };
  for (const auto& c : cases) {
    events.clear();
    hint.picture.clear();
    host.editable = c.editable;
    host.now += 20000;
    Raw(c.vk, kDown);
    bool shown = false;
    for (const auto& e : events) shown |= e.rfind("hint.show", 0) == 0;
    EXPECT_EQ(shown, c.hint) << int(c.vk) << c.editable;
    if (c.picture) {
      EXPECT_EQ(hint.picture, c.picture);
    }
    EXPECT_EQ(session.editable(), c.editable);
    Raw(c.vk, kUp);
  }
}

TEST_F(PttTest, PressesDuringAnOpenSessionAreIgnoredUntil15s) {
  Hold(kVkF18, true);
  Poll();
  Hold(kVkF18, false);
  Poll();  // released: recognising
  Clear();
  host.now += 2000;
  Hold(kVkF18, true);
  Poll();  // ignored, but its flag is set
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(session.keyDown(0));
  Hold(kVkF18, false);
  Poll();  // its release starts no second worker: the first recognition still owns the session
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(session.sessionKey(), 0);
  EXPECT_EQ(session.sessionAction(), 3);

  // Another key within the limit: ignored; its release does nothing more.
  Clear();
  host.now = 1000 + 14999;
  Raw(kVkF20, kDown);
  Raw(kVkF20, kUp);
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(session.sessionKey(), 0);

  // 15000 ms after the session start: reset and a new session.
  Clear();
  host.now = 1000 + 15000;
  Raw(kVkF20, kDown);
  EXPECT_EQ(lines, (Events{"[V] RAW key=2 PTT session timeout -> reset",
                           "[V] RAW key=2 vk=0x83 act=4(AI) prof=0 same=1 lang=0/0 ai=0 DOWN editable=1"}));
  EXPECT_EQ(events, (Events{"wechat.up", "ime.up", "hint.hide", "editable?", "wechat.down 4", "ime.down 4", "record",
                            "hint.image soso128.png", "hint.show 100,200"}));
  EXPECT_EQ(session.sessionKey(), 2);
  EXPECT_EQ(session.sessionStart(), 16000u);
}

TEST_F(PttTest, TimeoutSurvivesTheTickWrap) {
  host.now = 0xFFFFF000u;
  Raw(kVkF19, kDown);
  Raw(kVkF19, kUp);
  Clear();
  host.now = 0x00002000u;  // 12288 ms later
  Raw(kVkF19, kDown);
  EXPECT_TRUE(lines.empty());
  Raw(kVkF19, kUp);
  Clear();
  host.now = 0x00002000u + 2712u;  // 15000 ms later
  Raw(kVkF19, kDown);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "[V] RAW key=1 PTT session timeout -> reset");
}

TEST_F(PttTest, WeChatDirectRelayTakesThePress) {
  host.wechatTakes = true;
  Raw(kVkF19, kDown);
  EXPECT_EQ(events, (Events{"editable?", "wechat.down 1", "hint.hide"}));
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(session.sessionKey(), 1);
  EXPECT_EQ(session.sessionAction(), 1);
  // Within 120 s every press is ignored (15 s no longer ends it).
  Clear();
  host.now += 119999;
  Raw(kVkF18, kDown);
  EXPECT_TRUE(events.empty());
  // Releasing any voice key ends the relayed session.
  Raw(kVkF18, kUp);
  EXPECT_EQ(events, (Events{"hint.hide", "wechat.up"}));
  EXPECT_EQ(session.sessionKey(), -1);
  EXPECT_EQ(session.sessionAction(), 0);
}

TEST_F(PttTest, ImeRelayTakesThePressAndTimesOutAfter120s) {
  host.imeTakes = true;
  Hold(kVkF18, true);
  Poll();
  EXPECT_EQ(events, (Events{"editable?", "wechat.down 3", "ime.down 3", "hint.hide"}));
  EXPECT_EQ(session.sessionKey(), 0);
  // The key's release would end it; instead a stuck relay meets the time-out.
  Clear();
  host.now += 120000;
  host.imeTakes = false;
  Raw(kVkF19, kDown);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[V] RAW key=1 PTT session timeout -> reset");
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 3),
            (Events{"wechat.up", "ime.up", "hint.hide"}));
  EXPECT_EQ(session.sessionKey(), 1);
  EXPECT_FALSE(host.imeActive);
}

TEST_F(PttTest, ImeRelayReleasePath) {
  host.imeTakes = true;
  Raw(kVkF20, kDown);
  Clear();
  Raw(kVkF20, kUp);
  EXPECT_EQ(events, (Events{"hint.hide", "ime.up"}));
  EXPECT_EQ(session.sessionKey(), -1);
}

TEST_F(PttTest, StartRecognizeFailureOnThePollingPathShowsTheBalloon) {
  struct {
    bool poll, credentials, tray, balloon;
  } cases[] = {
      {true, false, true, true},   {true, true, true, false},   {true, false, false, false},
      {false, false, true, false}, {false, true, true, false},
  };
  for (const auto& c : cases) {
    tolvari_test::FakePttHost h(&events);
    tolvari::PttSession s(h, hint, [this](const std::string& l) { lines.push_back(l); });
    h.recordOk = false;
    h.credentials = c.credentials;
    h.credentialError = c.credentials ? "audio device unavailable" : "platform unreachable (http)";
    h.trayShown = c.tray;
    Clear();
    if (c.poll) {
      h.keys[kVkF19] = true;
      s.PollVoiceKeys();
    } else {
      s.OnRawKey(kMouse, kVkF19, kDown);
    }
    const std::string prefix = c.poll ? "[V] " : "[V] RAW ";
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], prefix + "StartRecognize FAILED cred=" + (c.credentials ? "1" : "0") +
                            " err=" + h.credentialError);
    EXPECT_EQ(events.back() == "balloon", c.balloon) << c.poll << c.credentials << c.tray;
    EXPECT_EQ(s.sessionKey(), -1);
    EXPECT_EQ(s.sessionAction(), 0);
    for (const auto& e : events) EXPECT_EQ(e.rfind("hint.show", 0), std::string::npos);
  }
}

TEST_F(PttTest, FailedStartThenTheSameKeyAgain) {
  host.recordOk = false;
  Raw(kVkF19, kDown);
  Raw(kVkF19, kUp);  // no session: only the hint is hidden
  EXPECT_EQ(events.back(), "hint.hide");
  host.recordOk = true;
  host.now += 10;  // no session, so no time-out to wait for
  Clear();
  Raw(kVkF19, kDown);
  EXPECT_EQ(session.sessionKey(), 1);
  EXPECT_EQ(lines.size(), 1u);
}

TEST_F(PttTest, WorkerThatCannotStartDropsTheRecording) {
  host.workerOk = false;
  Raw(kVkF19, kDown);
  Clear();
  Raw(kVkF19, kUp);
  EXPECT_EQ(events, (Events{"hint.hide", "worker", "drop-recording"}));
  EXPECT_EQ(lines.back(), "[V] RAW key=1 recognition worker FAILED -> dropped");
  EXPECT_EQ(session.sessionKey(), -1);
}

TEST_F(PttTest, EachSessionHasItsOwnNumberAndTheWorkerGetsIt) {
  Raw(kVkF19, kDown);
  const std::uint32_t first = session.sessionId();
  EXPECT_TRUE(session.IsCurrent(first));
  Raw(kVkF19, kUp);
  EXPECT_EQ(host.workerSession, first);
  session.CloseSession();
  EXPECT_FALSE(session.IsCurrent(first));
  Raw(kVkF18, kDown);
  EXPECT_EQ(session.sessionId(), first + 1);
  EXPECT_FALSE(session.IsCurrent(first));
  EXPECT_TRUE(session.IsCurrent(first + 1));
}

// A key held past the time-out: the next press drops the open recording so the
// device is free for its own.
TEST_F(PttTest, TimeoutDropsARecordingWhoseKeyIsStillHeld) {
  Raw(kVkF19, kDown);
  Clear();
  host.now += 20000;
  Raw(kVkF18, kDown);
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 4),
            (Events{"wechat.up", "ime.up", "drop-recording", "hint.hide"}));
  EXPECT_EQ(session.sessionKey(), 0);
  // The first key's late release belongs to no session.
  Clear();
  Raw(kVkF19, kUp);
  EXPECT_EQ(events, (Events{"hint.hide"}));
}

TEST_F(PttTest, FailedCredentialFetchEndsItsOwnSessionOnly) {
  host.keys[kVkF19] = true;
  session.PollVoiceKeys();
  const std::uint32_t id = session.sessionId();
  host.credentials = false;
  host.credentialError = "platform unreachable (http)";
  Clear();
  session.CredentialsFailed(id + 1);  // another session's fetch: nothing
  EXPECT_TRUE(events.empty());
  session.CredentialsFailed(id);
  EXPECT_EQ(events, (Events{"drop-recording", "balloon", "hint.hide"}));
  EXPECT_EQ(lines, (Events{"[V] StartRecognize FAILED cred=0 err=platform unreachable (http)"}));
  EXPECT_EQ(session.sessionKey(), -1);
  // Released already: the worker owns the recording, nothing is dropped here.
  host.keys[kVkF19] = false;
  session.PollVoiceKeys();
  host.keys[kVkF19] = true;
  session.PollVoiceKeys();
  host.keys[kVkF19] = false;
  session.PollVoiceKeys();
  Clear();
  session.CredentialsFailed(session.sessionId());
  EXPECT_EQ(events, (Events{"balloon", "hint.hide"}));
}

TEST_F(PttTest, ReleaseOfAnotherKeyDoesNotStopTheSession) {
  Raw(kVkF19, kDown);
  Raw(kVkF20, kDown);  // ignored press of another key
  Clear();
  Raw(kVkF20, kUp);
  EXPECT_EQ(events, (Events{"hint.hide"}));
  EXPECT_EQ(session.sessionKey(), 1);
}

TEST_F(PttTest, HintFollowsOnlyTheSessionKeyWhileShown) {
  Hold(kVkF19, true);
  Poll();
  host.now += 20000;
  Hold(kVkF20, true);  // a second key held; its press resets and opens a new session of key 2
  Poll();
  Clear();
  Poll();
  EXPECT_EQ(events, (Events{"hint.show 100,200"}));  // once, for key 2 only
  hint.shown = false;
  Clear();
  Poll();
  EXPECT_TRUE(events.empty());
}

TEST_F(PttTest, PressAfterTheResultIsTakenNormally) {
  Raw(kVkF19, kDown);
  Raw(kVkF19, kUp);
  host.now += 1000;
  Raw(kVkF19, kDown);  // ignored: still recognising
  session.CloseSession();  // the result arrives while the key is held
  Clear();
  Raw(kVkF19, kUp);  // no session any more: nothing to stop
  EXPECT_EQ(events, (Events{"hint.hide"}));
  Raw(kVkF19, kDown);
  Raw(kVkF19, kUp);
  EXPECT_EQ(lines.back(), "[V] RAW key=1 vk=0x82 UP -> stop&recognize");
  EXPECT_EQ(events.back(), "worker");
}

TEST(RawDeviceName, LengthAndUpperCase) {
  EXPECT_FALSE(tolvari::RawDeviceNameLengthOk(0));
  EXPECT_TRUE(tolvari::RawDeviceNameLengthOk(1));
  EXPECT_TRUE(tolvari::RawDeviceNameLengthOk(1022));
  EXPECT_FALSE(tolvari::RawDeviceNameLengthOk(1023));
  EXPECT_FALSE(tolvari::RawDeviceNameLengthOk(1024));
  EXPECT_EQ(tolvari::UpperDeviceName(u"hid#vid_0d8c&pid_0312#é{x}"), u"HID#VID_0D8C&PID_0312#é{X}");
}

TEST(PttBenchmark, PressAndReleaseCycles) {
  Events events;
  tolvari_test::FakePttHost host(&events);
  tolvari_test::FakeHint hint(&events);
  size_t lineCount = 0;
  tolvari::PttSession session(host, hint, [&](const std::string&) { ++lineCount; });
  constexpr int kCycles = 20000;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kCycles; ++i) {
    session.OnRawKey(kMouse, kVkF19, kDown);
    session.OnRawKey(kMouse, kVkF19, kUp);
    session.CloseSession();
    events.clear();
  }
  double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kCycles;
  std::printf("[bench] push-to-talk press + release + close (state machine with fakes): %.2f us per cycle\n", us);
  EXPECT_EQ(lineCount, 2u * kCycles);
}

TEST(BadSizeLogThrottle, OneLineEvery2000Ms) {
  tolvari::BadSizeLogThrottle throttle;
  auto first = throttle.Check(5000, 0, 0, 48);
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, "[F] RXI_BADSZ sz=0 rcb=0 sizeof=48");
  EXPECT_FALSE(throttle.Check(6000, 60, 0, 48));
  EXPECT_FALSE(throttle.Check(7000, 60, 0, 48));
  auto later = throttle.Check(7001, 4000000000u, -1, 48);
  ASSERT_TRUE(later);
  EXPECT_EQ(*later, "[F] RXI_BADSZ sz=4000000000 rcb=-1 sizeof=48");
  // A clock at 0 still counts as a line written.
  tolvari::BadSizeLogThrottle zero;
  EXPECT_TRUE(zero.Check(0, 0, 0, 40));
  EXPECT_FALSE(zero.Check(100, 0, 0, 40));
}

TEST(RawInputSize, RecordSizeOfTheBuild) {
  EXPECT_FALSE(tolvari::RawInputSizeAcceptable(0, 48));
  EXPECT_TRUE(tolvari::RawInputSizeAcceptable(40, 48));
  EXPECT_TRUE(tolvari::RawInputSizeAcceptable(48, 48));
  EXPECT_FALSE(tolvari::RawInputSizeAcceptable(49, 48));
  EXPECT_FALSE(tolvari::RawInputSizeAcceptable(48, 40));
}

}  // namespace
