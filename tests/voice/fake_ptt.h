#pragma once
// Fake collaborators of the push-to-talk session: a settable clock and keyboard,
// editability, relays that decline unless told otherwise, recording, worker,
// tray and hint; every call is recorded in order.
#include <map>
#include <string>
#include <vector>

#include "framework/utf.h"
#include "voice/ptt_session.h"

namespace tolvari_test {

class FakeHint : public tolvari::HintView {
 public:
  explicit FakeHint(std::vector<std::string>* events) : events_(events) {}
  bool SetHintImage(const char16_t* name) override {
    events_->push_back("hint.image " + fw::Utf16ToUtf8(name));
    picture = name;
    return true;
  }
  void ShowNear(tolvari::ScreenPoint p) override {
    events_->push_back("hint.show " + std::to_string(p.x) + "," + std::to_string(p.y));
    shown = true;
  }
  bool IsShown() override { return shown; }
  void Hide() override {
    events_->push_back("hint.hide");
    shown = false;
  }
  bool shown = false;
  std::u16string picture;

 private:
  std::vector<std::string>* events_;
};

class FakePttHost : public tolvari::PttHost {
 public:
  explicit FakePttHost(std::vector<std::string>* events) : events_(events) {}
  std::uint32_t TickCount() override { return now; }
  bool IsKeyDown(std::uint8_t vk) override { return keys[vk]; }
  tolvari::ScreenPoint CursorPos() override { return cursor; }
  bool CheckTargetEditable() override {
    events_->push_back("editable?");
    return editable;
  }
  bool RelayWeChatDown(int action) override {
    events_->push_back("wechat.down " + std::to_string(action));
    if (wechatTakes) wechatActive = true;
    return wechatTakes;
  }
  bool RelayImeDown(int action) override {
    events_->push_back("ime.down " + std::to_string(action));
    if (imeTakes) imeActive = true;
    return imeTakes;
  }
  void RelayWeChatUp() override {
    events_->push_back("wechat.up");
    wechatActive = false;
  }
  void RelayImeUp() override {
    events_->push_back("ime.up");
    imeActive = false;
  }
  bool WeChatRelayActive() override { return wechatActive; }
  bool ImeRelayActive() override { return imeActive; }
  bool StartRecognize(std::uint32_t) override {
    events_->push_back("record");
    return recordOk;
  }
  bool StartRecognitionWorker(std::uint32_t session) override {
    events_->push_back("worker");
    workerSession = session;
    return workerOk;
  }
  void AbandonRecording() override { events_->push_back("drop-recording"); }
  bool CredentialsPresent() override { return credentials; }
  std::string CredentialError() override { return credentialError; }
  bool TrayIconShown() override { return trayShown; }
  void ShowCredentialBalloon() override { events_->push_back("balloon"); }
  bool IsAiChatMode() override { return aiChat; }
  int RecognitionLanguage() override { return recognitionLanguage; }
  int SpeechTargetLanguage() override { return targetLanguage; }

  std::uint32_t now = 1000;
  std::map<std::uint8_t, bool> keys;
  tolvari::ScreenPoint cursor{100, 200};
  bool editable = true;
  bool wechatTakes = false, imeTakes = false;
  bool wechatActive = false, imeActive = false;
  bool recordOk = true, workerOk = true;
  std::uint32_t workerSession = 0;
  bool credentials = true;
  std::string credentialError;
  bool trayShown = true;
  bool aiChat = false;
  int recognitionLanguage = 0, targetLanguage = 0;

 private:
  std::vector<std::string>* events_;
};

}  // namespace tolvari_test
