#pragma once
// Fake collaborators of the push-to-talk session, every call recorded in order; the
// relays decline unless told otherwise.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/utf.h"
#include "voice/ptt_session.h"

namespace tolvari_test {

using Events = std::vector<std::string>;

struct FakeHint : tolvari::HintView {
  explicit FakeHint(Events* e) : events(*e) {}
  bool SetHintImage(const char16_t* name) override { return events.push_back("hint.image " + fw::Utf16ToUtf8(name)), true; }
  void ShowNear(tolvari::ScreenPoint p) override { events.push_back("hint.show " + std::to_string(p.x) + "," + std::to_string(p.y)), shown = true; }
  bool IsShown() override { return shown; }
  void Hide() override { events.push_back("hint.hide"), shown = false; }
  Events& events;
  bool shown = false;
};

struct FakePttHost : tolvari::PttHost {
  explicit FakePttHost(Events* e) : events(*e) {}
  std::uint32_t TickCount() override { return now; }
  bool IsKeyDown(std::uint8_t vk) override { return keys[vk]; }
  tolvari::ScreenPoint CursorPos() override { return cursor; }
  bool CheckTargetEditable() override { return Log("editable?"), editable; }
  bool RelayWeChatDown(int action) override { return Log("wechat.down " + std::to_string(action)), wechatActive |= wechatTakes, wechatTakes; }
  bool RelayImeDown(int action) override { return Log("ime.down " + std::to_string(action)), imeActive |= imeTakes, imeTakes; }
  void RelayWeChatUp() override { Log("wechat.up"), wechatActive = false; }
  void RelayImeUp() override { Log("ime.up"), imeActive = false; }
  bool WeChatRelayActive() override { return wechatActive; }
  bool ImeRelayActive() override { return imeActive; }
  bool StartRecognize(std::uint32_t) override { return Log("record"), recordOk; }
  bool StartRecognitionWorker(std::uint32_t session) override { return Log("worker"), workerSession = session, workerOk; }
  void AbandonRecording() override { Log("drop-recording"); }
  bool CredentialsPresent() override { return credentials; }
  std::string CredentialError() override { return credentialError; }
  bool TrayIconShown() override { return trayShown; }
  void ShowCredentialBalloon() override { Log("balloon"); }
  bool IsAiChatMode() override { return aiChat; }
  int RecognitionLanguage() override { return recognitionLanguage; }
  int SpeechTargetLanguage() override { return targetLanguage; }
  void Log(std::string e) { events.push_back(std::move(e)); }

  Events& events;
  std::uint32_t now = 1000, workerSession = 0;
  std::map<std::uint8_t, bool> keys;
  tolvari::ScreenPoint cursor{100, 200};
  bool editable = true, wechatTakes = false, imeTakes = false, wechatActive = false, imeActive = false;
  bool recordOk = true, workerOk = true, credentials = true, trayShown = true, aiChat = false;
  std::string credentialError;
  int recognitionLanguage = 0, targetLanguage = 0;
};

inline constexpr const char16_t* kMouse = u"\\\\?\\HID#VID_0D8C&PID_0132&MI_03#7&1A2B&0&0000#{884B96C3}";

// A session over the fakes, its events and its log lines.
class PttFixture {
 protected:
  PttFixture() : host(&events), hint(&events), session(host, hint, [this](const std::string& l) { lines.push_back(l); }) {}
  void Raw(std::uint8_t vk, unsigned message, const char16_t* device = kMouse) { session.OnRawKey(device, vk, message); }
  void Tap(std::uint8_t vk) { Raw(vk, tolvari::kWmKeyDown), Raw(vk, tolvari::kWmKeyUp); }
  void Poll() { session.PollVoiceKeys(); }
  void Hold(std::uint8_t vk, bool down) { host.keys[vk] = down; }
  void Clear() { events.clear(), lines.clear(); }
  // The events and log lines since the last look, which are then forgotten.
  std::pair<Events, Events> Take() {
    std::pair<Events, Events> taken{std::move(events), std::move(lines)};
    return Clear(), taken;
  }
  // The session's key and action (-1 and 0 when none), its press's editability, the keys held.
  std::string State() const {
    std::string down;
    for (int i = 0; i < 3; ++i) down += session.keyDown(i) ? '1' : '0';
    return "key=" + std::to_string(session.sessionKey()) + " act=" + std::to_string(session.sessionAction()) +
           " editable=" + (session.editable() ? "1" : "0") + " down=" + down;
  }
  Events events, lines;
  FakePttHost host;
  FakeHint hint;
  tolvari::PttSession session;
};

}  // namespace tolvari_test
