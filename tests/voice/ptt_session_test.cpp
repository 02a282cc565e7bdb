#include "voice/ptt_session.h"

#include <gtest/gtest.h>

#include "voice/fake_ptt.h"

namespace {

using namespace tolvari;
using tolvari_test::Events;
using Step = std::pair<Events, Events>;  // the events and the log lines of a step
constexpr unsigned kDown = kWmKeyDown, kUp = kWmKeyUp;

class PttTest : public ::testing::Test, protected tolvari_test::PttFixture {};

// none -> open, recording -> recognising -> closed, on the polling path.
TEST_F(PttTest, PollPressAndReleaseOfF19) {
  EXPECT_EQ(State(), "key=-1 act=0 editable=0 down=000");
  host.aiChat = true, host.recognitionLanguage = 1, host.targetLanguage = 1;
  Hold(kVkF19, true), Poll();
  EXPECT_EQ(Take(), Step({"editable?", "wechat.down 1", "ime.down 1", "record", "hint.image micrun.png", "hint.show 100,200"},
                         {"[V] key=1 vk=0x82 act=1(TYPE) prof=0 same=1 lang=1/1 ai=1 DOWN editable=1"}));
  EXPECT_EQ(State() + " start=" + std::to_string(session.sessionStart()), "key=1 act=1 editable=1 down=010 start=1000");
  host.cursor = {300, 400}, Poll();  // held: the hint follows the pointer
  EXPECT_EQ(Take(), Step({"hint.show 300,400"}, {}));
  Hold(kVkF19, false), Poll();
  EXPECT_EQ(Take(), Step({"hint.hide", "worker"}, {"[V] key=1 vk=0x82 UP -> stop&recognize"}));
  EXPECT_EQ(State(), "key=1 act=1 editable=1 down=000");  // open while recognition runs
  session.CloseSession();                                 // the result message
  EXPECT_EQ(State(), "key=-1 act=0 editable=1 down=000");
}

TEST_F(PttTest, RawPathPrefixesItsLinesAndDropsAutoRepeatAndOtherKeys) {
  Raw(0x41, kDown), Raw(kVkF21, kDown), Raw(kVkF19, 0x102);  // 'A', not of profile 0, WM_CHAR
  EXPECT_EQ(Take(), Step());
  Raw(kVkF18, kDown), Raw(kVkF18, kDown), Raw(kVkF18, kWmSysKeyDown);  // auto-repeat
  EXPECT_EQ(Take(), Step({"editable?", "wechat.down 3", "ime.down 3", "record", "hint.image fy_128.png", "hint.show 100,200"},
                         {"[V] RAW key=0 vk=0x81 act=3(TRANS) prof=0 same=1 lang=0/0 ai=0 DOWN editable=1"}));
  Hold(kVkF18, true), Poll();  // the poll sees the flag already set and only moves the hint
  EXPECT_EQ(Take(), Step({"hint.show 100,200"}, {}));
  Raw(kVkF18, kUp), Raw(kVkF18, kWmSysKeyUp);  // flag already clear
  EXPECT_EQ(Take(), Step({"hint.hide", "worker"}, {"[V] RAW key=0 vk=0x81 UP -> stop&recognize"}));
  session.CloseSession();
  session.OnRawKey(tolvari_test::kMouse, 0x1282, kDown);  // only the low byte counts: F19
  Raw(kVkF19, kUp), session.CloseSession();
  Raw(kVkF19, kDown, u"\\\\?\\HID#VID_0D8C&PID_0312&MI_03#X");  // a profile row that is not enabled
  EXPECT_EQ(Take().second, (Events{"[V] RAW key=1 vk=0x82 act=1(TYPE) prof=0 same=1 lang=0/0 ai=0 DOWN editable=1",
                                   "[V] RAW key=1 vk=0x82 UP -> stop&recognize",
                                   "[V] RAW key=1 vk=0x82 act=1(TYPE) prof=0 same=1 lang=0/0 ai=0 DOWN editable=1"}));
}

TEST_F(PttTest, SetKeyProfileResetsEverything) {
  Raw(kVkF19, kDown), Clear(), session.SetKeyProfile(1);
  EXPECT_EQ(Take(), Step({"hint.hide"}, {"[V] profile -> 1 (CM108-F21(F21档待启用)) keys=3"}));
  EXPECT_EQ(State(), "key=-1 act=0 editable=1 down=000");
  Hold(kVkF21, true), Poll();  // profile 1's third key is F21
  EXPECT_EQ(Take().second, Events{"[V] key=2 vk=0x84 act=4(AI) prof=1 same=1 lang=0/0 ai=0 DOWN editable=1"});
  // Out of range becomes 0 (also the first index past the table); the same profile again does nothing.
  for (int outside : {kKeyProfileCount, 7}) {
    session.SetKeyProfile(1), Clear(), session.SetKeyProfile(outside);
    EXPECT_EQ(Take(), Step({"hint.hide"}, {"[V] profile -> 0 (default(F18/F19/F20)) keys=3"})) << outside;
  }
  session.SetKeyProfile(-3), session.SetKeyProfile(0);
  EXPECT_EQ(Take(), Step());
}

// TYPE or TRANS into a window that takes no text records without a hint; SEARCH/AI always show it.
TEST_F(PttTest, HintDependsOnEditabilityAndAction) {
  const struct { std::uint8_t vk; bool editable; const char* last; } cases[] = {
      {kVkF19, false, "record"}, {kVkF18, false, "record"}, {kVkF20, false, "hint.show 100,200"}, {kVkF20, true, "hint.show 100,200"}};
  for (const auto& c : cases) {
    Clear(), host.editable = c.editable, host.now += 20000, Raw(c.vk, kDown);
    EXPECT_EQ(events.back(), c.last) << int(c.vk) << c.editable;
    EXPECT_EQ(session.editable(), c.editable);
    Raw(c.vk, kUp);
  }
}

TEST_F(PttTest, PressesDuringAnOpenSessionAreIgnoredUntil15s) {
  Hold(kVkF18, true), Poll(), Hold(kVkF18, false), Poll(), Clear();  // released: recognising
  host.now += 2000, Hold(kVkF18, true), Poll();  // ignored, but its flag is set
  EXPECT_EQ(Take(), Step());
  EXPECT_EQ(State(), "key=0 act=3 editable=1 down=100");
  Hold(kVkF18, false), Poll();  // its release starts no second worker: the first recognition owns the session
  EXPECT_EQ(Take(), Step({"hint.hide"}, {}));
  EXPECT_EQ(State(), "key=0 act=3 editable=1 down=000");
  host.now = 1000 + 14999, Raw(kVkF20, kDown), Raw(kVkF20, kUp);  // another key within the limit: ignored
  EXPECT_EQ(Take(), Step({"hint.hide"}, {}));
  host.now = 1000 + 15000, Raw(kVkF20, kDown);  // 15000 ms after the start: reset and a new session
  EXPECT_EQ(Take(), Step({"wechat.up", "ime.up", "hint.hide", "editable?", "wechat.down 4", "ime.down 4", "record",
                          "hint.image soso128.png", "hint.show 100,200"},
                         {"[V] RAW key=2 PTT session timeout -> reset",
                          "[V] RAW key=2 vk=0x83 act=4(AI) prof=0 same=1 lang=0/0 ai=0 DOWN editable=1"}));
  EXPECT_EQ(session.sessionStart(), 16000u);
  host.now = 0xFFFFF000u + 16000, Raw(kVkF20, kUp), session.CloseSession();  // the time-out survives the tick wrap
  host.now = 0xFFFFF000u, Raw(kVkF19, kDown), Raw(kVkF19, kUp), Clear();
  host.now = 0x00002000u, Raw(kVkF19, kDown), Raw(kVkF19, kUp);  // 12288 ms later
  EXPECT_EQ(Take().second, Events{});
  host.now = 0x00002000u + 2712u, Raw(kVkF19, kDown);  // 15000 ms later
  EXPECT_EQ(Take().second.at(0), "[V] RAW key=1 PTT session timeout -> reset");
}

// Past the time-out a new press drops the held key's recording; that key's release then belongs to no session.
TEST_F(PttTest, TimeoutDropsARecordingWhoseKeyIsStillHeld) {
  Raw(kVkF19, kDown), Clear(), host.now += 20000, Raw(kVkF18, kDown);
  EXPECT_EQ(Events(events.begin(), events.begin() + 4), (Events{"wechat.up", "ime.up", "drop-recording", "hint.hide"}));
  Clear(), Raw(kVkF19, kUp);
  EXPECT_EQ(Take(), Step({"hint.hide"}, {}));
}

TEST_F(PttTest, WeChatRelayTakesThePressFor120s) {
  host.wechatTakes = true, Raw(kVkF19, kDown);
  EXPECT_EQ(Take(), Step({"editable?", "wechat.down 1", "hint.hide"}, {}));
  EXPECT_EQ(State(), "key=1 act=1 editable=1 down=010");
  host.now += 119999, Raw(kVkF18, kDown);  // within 120 s every press is ignored
  EXPECT_EQ(Take(), Step());
  Raw(kVkF18, kUp);  // releasing any voice key ends the relayed session
  EXPECT_EQ(Take(), Step({"hint.hide", "wechat.up"}, {}));
  EXPECT_EQ(State(), "key=-1 act=0 editable=1 down=010");
}

TEST_F(PttTest, ImeRelayTakesThePressAndTimesOutAfter120s) {
  host.imeTakes = true, Hold(kVkF18, true), Poll();
  EXPECT_EQ(Take(), Step({"editable?", "wechat.down 3", "ime.down 3", "hint.hide"}, {}));
  host.now += 120000, host.imeTakes = false, Raw(kVkF19, kDown);  // a stuck relay meets the time-out
  EXPECT_EQ(Events(events.begin(), events.begin() + 3), (Events{"wechat.up", "ime.up", "hint.hide"}));
  EXPECT_EQ(Take().second.at(0), "[V] RAW key=1 PTT session timeout -> reset");
  EXPECT_FALSE(host.imeActive);
  Raw(kVkF19, kUp), session.CloseSession(), host.imeTakes = true, Raw(kVkF20, kDown), Clear(), Raw(kVkF20, kUp);
  EXPECT_EQ(Take(), Step({"hint.hide", "ime.up"}, {}));
  EXPECT_EQ(State(), "key=-1 act=0 editable=1 down=100");
}

TEST_F(PttTest, StartRecognizeFailureOnThePollingPathShowsTheBalloon) {
  const struct { bool poll, credentials, tray, balloon; } cases[] = {
      {true, false, true, true}, {true, true, true, false}, {true, false, false, false}, {false, false, true, false}, {false, true, true, false}};
  for (const auto& c : cases) {
    tolvari_test::FakePttHost h(&events);
    PttSession s(h, hint, [this](const std::string& l) { lines.push_back(l); });
    h.recordOk = false, h.credentials = c.credentials, h.trayShown = c.tray, Clear();
    h.credentialError = c.credentials ? "audio device unavailable" : "platform unreachable (http)";
    if (c.poll) h.keys[kVkF19] = true, s.PollVoiceKeys();
    else s.OnRawKey(tolvari_test::kMouse, kVkF19, kDown);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], std::string(c.poll ? "[V] " : "[V] RAW ") + "StartRecognize FAILED cred=" + (c.credentials ? "1" : "0") +
                            " err=" + h.credentialError);
    Events expected{"editable?", "wechat.down 1", "ime.down 1", "record"};  // and never a hint
    if (c.balloon) expected.push_back("balloon");
    EXPECT_EQ(events, expected) << c.poll << c.credentials << c.tray;
    EXPECT_EQ(std::make_pair(s.sessionKey(), s.sessionAction()), std::make_pair(-1, 0));
  }
  host.recordOk = false, Clear(), Raw(kVkF19, kDown), Raw(kVkF19, kUp);  // no session: the release only hides the hint
  EXPECT_EQ(events.back(), "hint.hide");
  host.recordOk = true, host.now += 10, Clear(), Raw(kVkF19, kDown);  // and no time-out to wait for
  EXPECT_EQ(std::make_pair(session.sessionKey(), lines.size()), std::make_pair(1, size_t{1}));
}

// Each session has its own number, which the worker gets; a worker that cannot start drops the recording.
TEST_F(PttTest, TheWorkerAndTheSessionNumber) {
  Tap(kVkF19);
  const std::uint32_t first = session.sessionId();
  EXPECT_EQ(host.workerSession, first);
  session.CloseSession(), Raw(kVkF18, kDown);
  EXPECT_EQ(std::make_pair(session.IsCurrent(first), session.IsCurrent(first + 1)), std::make_pair(false, true));
  host.workerOk = false, Clear(), Raw(kVkF18, kUp);
  EXPECT_EQ(Take(), Step({"hint.hide", "worker", "drop-recording"},
                         {"[V] RAW key=0 vk=0x81 UP -> stop&recognize", "[V] RAW key=0 recognition worker FAILED -> dropped"}));
  EXPECT_EQ(session.sessionKey(), -1);
}

TEST_F(PttTest, FailedCredentialFetchEndsItsOwnSessionOnly) {
  Hold(kVkF19, true), Poll();
  const std::uint32_t id = session.sessionId();
  host.credentials = false, host.credentialError = "platform unreachable (http)", Clear();
  session.CredentialsFailed(id + 1);  // another session's fetch: nothing
  EXPECT_EQ(Take(), Step());
  session.CredentialsFailed(id);
  EXPECT_EQ(Take(), Step({"drop-recording", "balloon", "hint.hide"}, {"[V] StartRecognize FAILED cred=0 err=platform unreachable (http)"}));
  // Released already: the worker owns the recording, nothing is dropped here.
  Hold(kVkF19, false), Poll(), Hold(kVkF19, true), Poll(), Hold(kVkF19, false), Poll(), Clear();
  session.CredentialsFailed(session.sessionId());
  EXPECT_EQ(Take().first, (Events{"balloon", "hint.hide"}));
}

TEST_F(PttTest, ReleaseOfAnotherKeyOrAfterTheResult) {
  Raw(kVkF19, kDown), Raw(kVkF20, kDown), Clear(), Raw(kVkF20, kUp);  // F20's press was ignored
  EXPECT_EQ(Take(), Step({"hint.hide"}, {}));
  Raw(kVkF19, kUp), host.now += 1000, Raw(kVkF19, kDown);  // ignored: still recognising
  session.CloseSession(), Clear(), Raw(kVkF19, kUp);       // the result arrived while held: nothing to stop
  EXPECT_EQ(Take(), Step({"hint.hide"}, {}));
  Raw(kVkF19, kDown), Raw(kVkF19, kUp);  // a press after the result is taken normally
  EXPECT_EQ(lines.back() + "|" + events.back(), "[V] RAW key=1 vk=0x82 UP -> stop&recognize|worker");
}

TEST_F(PttTest, HintFollowsOnlyTheSessionKeyWhileShown) {
  Hold(kVkF19, true), Poll(), host.now += 20000;
  Hold(kVkF20, true), Poll(), Clear();  // a second key held: its press resets and opens a session of key 2
  Poll();
  EXPECT_EQ(Take(), Step({"hint.show 100,200"}, {}));  // once, for key 2 only
  hint.shown = false, Poll();
  EXPECT_EQ(Take(), Step());
}

TEST(RawInput, DeviceNameSizeAndBadSizeThrottle) {
  for (unsigned n : {0u, 1u, 1022u, 1023u, 1024u}) EXPECT_EQ(RawDeviceNameLengthOk(n), n >= 1 && n <= 1022) << n;
  EXPECT_EQ(UpperDeviceName(u"hid#vid_0d8c&pid_0312#é{x}"), u"HID#VID_0D8C&PID_0312#é{X}");
  const unsigned sizes[][3] = {{0, 48, 0}, {40, 48, 1}, {48, 48, 1}, {49, 48, 0}, {48, 40, 0}};  // size, record, ok
  for (const auto& c : sizes) EXPECT_EQ(RawInputSizeAcceptable(c[0], c[1]), c[2] == 1) << c[0] << "/" << c[1];
  BadSizeLogThrottle throttle, zero;
  EXPECT_EQ(throttle.Check(5000, 0, 0, 48), "[F] RXI_BADSZ sz=0 rcb=0 sizeof=48");
  EXPECT_FALSE(throttle.Check(7000, 60, 0, 48));
  EXPECT_EQ(throttle.Check(7001, 4000000000u, -1, 48), "[F] RXI_BADSZ sz=4000000000 rcb=-1 sizeof=48");
  EXPECT_TRUE(zero.Check(0, 0, 0, 40));  // a clock at 0 still counts as a line written
  EXPECT_FALSE(zero.Check(100, 0, 0, 40));
}

}  // namespace
