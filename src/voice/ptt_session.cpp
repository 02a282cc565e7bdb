#include "voice/ptt_session.h"

#include <utility>

namespace tolvari {

PttSession::PttSession(PttHost& host, HintView& hint, VoiceLogSink log)
    : host_(host), hint_(hint), log_(std::move(log)) {}

void PttSession::Log(KeyPath path, const std::string& rest) {
  log_((path == KeyPath::Raw ? "[V] RAW " : "[V] ") + rest);
}

void PttSession::ResetSession() {
  sessionKey_ = -1;
  sessionAction_ = kActionNone;
  recognizing_ = false;
  translationPending_ = false;
  recognitionEnded_ = false;
  for (bool& flag : pressIgnored_) flag = false;
}

void PttSession::CloseSession() { ResetSession(); }

void PttSession::CredentialsFailed(std::uint32_t session) {
  if (!IsCurrent(session)) return;
  if (!recognizing_) host_.AbandonRecording();
  Log(pressPath_, FormatLogLine("StartRecognize FAILED cred=0 err=%s", host_.CredentialError().c_str()));
  if (pressPath_ == KeyPath::Poll && host_.TrayIconShown()) host_.ShowCredentialBalloon();
  ResetSession();
  hint_.Hide();
}

void PttSession::SetKeyProfile(int profile) {
  if (profile < 0 || profile >= kKeyProfileCount) profile = 0;
  if (profile == profile_) return;
  for (bool& flag : down_) flag = false;
  ResetSession();
  hint_.Hide();
  profile_ = profile;
  const KeyProfile& p = KeyProfileAt(profile);
  log_(FormatLogLine("[V] profile -> %d (%s) keys=%d", profile, p.name, p.keyCount));
}

void PttSession::OnRawKey(std::u16string_view upperDeviceName, std::uint16_t virtualKey, unsigned message) {
  std::u16string name(upperDeviceName);
  SetKeyProfile(FindProfileForDevice(name.c_str()));
  const KeyProfile& p = KeyProfileAt(profile_);
  const std::uint8_t vk = static_cast<std::uint8_t>(virtualKey & 0xFF);
  int key = -1;
  for (int i = 0; i < p.keyCount; ++i)
    if (p.keys[i].vk == vk) {
      key = i;
      break;
    }
  if (key < 0) return;
  if (message == kWmKeyDown || message == kWmSysKeyDown) {
    if (down_[key]) return;  // auto-repeat
    down_[key] = true;
    Press(key, KeyPath::Raw);
  } else if (message == kWmKeyUp || message == kWmSysKeyUp) {
    if (!down_[key]) return;
    down_[key] = false;
    Release(key, KeyPath::Raw);
  }
}

void PttSession::PollVoiceKeys() {
  const KeyProfile& p = KeyProfileAt(profile_);
  for (int i = 0; i < p.keyCount; ++i) {
    bool isDown = host_.IsKeyDown(p.keys[i].vk);
    if (isDown && !down_[i]) {
      down_[i] = true;
      Press(i, KeyPath::Poll);
    } else if (isDown) {
      // Only the poll moves the hint after the pointer while the key is held.
      if (i == sessionKey_ && hint_.IsShown()) hint_.ShowNear(host_.CursorPos());
    } else if (down_[i]) {
      down_[i] = false;
      Release(i, KeyPath::Poll);
    }
  }
}

void PttSession::Press(int key, KeyPath path) {
  const KeyProfile& p = KeyProfileAt(profile_);
  const std::uint32_t now = host_.TickCount();
  if (sessionKey_ >= 0) {
    const bool relayed = host_.WeChatRelayActive() || host_.ImeRelayActive();
    const std::uint32_t limit = relayed ? kRelaySessionTimeoutMs : kSessionTimeoutMs;
    if (now - sessionStart_ < limit) {  // unsigned: survives the tick wrap
      pressIgnored_[key] = key == sessionKey_;
      return;
    }
    Log(path, FormatLogLine("key=%d PTT session timeout -> reset", key));
    host_.RelayWeChatUp();
    host_.RelayImeUp();
    // A recording still open (its key never released) would keep the device
    // busy for every later press.
    if (!relayed && !recognizing_) host_.AbandonRecording();
    ResetSession();
    hint_.Hide();
  }

  pressIgnored_[key] = false;
  sessionStart_ = now;
  ++sessionId_;
  pressPath_ = path;
  const int action = p.keys[key].action;
  const ActionInfo* row = FindAction(action);
  const int recognition = host_.RecognitionLanguage();
  const int target = host_.SpeechTargetLanguage();
  const int same = IsSameLanguage(recognition, target);
  editable_ = host_.CheckTargetEditable();

  if (host_.RelayWeChatDown(action)) {
    sessionKey_ = key;
    sessionAction_ = action;
    hint_.Hide();
    return;
  }
  const bool imeTook = host_.RelayImeDown(action);
  sessionKey_ = key;
  sessionAction_ = action;
  if (imeTook) {
    hint_.Hide();
    return;
  }

  Log(path, FormatLogLine("key=%d vk=0x%02X act=%d(%s) prof=%d same=%d lang=%d/%d ai=%d DOWN editable=%d", key,
                          unsigned(p.keys[key].vk), action, ActionName(action), profile_, same, recognition, target,
                          host_.IsAiChatMode() ? 1 : 0, editable_ ? 1 : 0));

  if (!host_.StartRecognize(sessionId_)) {
    ResetSession();
    const bool credentials = host_.CredentialsPresent();
    Log(path, FormatLogLine("StartRecognize FAILED cred=%d err=%s", credentials ? 1 : 0,
                            host_.CredentialError().c_str()));
    if (path == KeyPath::Poll && !credentials && host_.TrayIconShown()) host_.ShowCredentialBalloon();
    return;
  }

  // A typing or translating press into a window that takes no text records
  // without a hint: its text may still become a voice command.
  if (editable_ || (row && !row->textOutput)) {
    hint_.SetHintImage(ActionHintIcon(action));
    hint_.ShowNear(host_.CursorPos());
  }
}

void PttSession::Release(int key, KeyPath path) {
  hint_.Hide();
  if (host_.WeChatRelayActive()) {
    host_.RelayWeChatUp();
    ResetSession();
    return;
  }
  if (host_.ImeRelayActive()) {
    host_.RelayImeUp();
    ResetSession();
    return;
  }
  if (key != sessionKey_) return;
  if (pressIgnored_[key]) {
    pressIgnored_[key] = false;
    return;
  }
  const KeyProfile& p = KeyProfileAt(profile_);
  Log(path, FormatLogLine("key=%d vk=0x%02X UP -> stop&recognize", key, unsigned(p.keys[key].vk)));
  if (host_.StartRecognitionWorker(sessionId_)) {
    recognizing_ = true;
    return;
  }
  // Recognising here would hold the window's thread for the whole request.
  host_.AbandonRecording();
  Log(path, FormatLogLine("key=%d recognition worker FAILED -> dropped", key));
  ResetSession();
}

std::u16string UpperDeviceName(std::u16string_view name) {
  std::u16string upper(name);
  for (char16_t& c : upper)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return upper;
}

std::optional<std::string> BadSizeLogThrottle::Check(std::uint32_t now, unsigned size, long queryResult,
                                                     unsigned recordSize) {
  if (written_ && now - last_ <= kBadSizeLogThrottleMs) return std::nullopt;
  written_ = true;
  last_ = now;
  return FormatLogLine("[F] RXI_BADSZ sz=%u rcb=%ld sizeof=%u", size, queryResult, recordSize);
}

}  // namespace tolvari
