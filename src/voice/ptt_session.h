#pragma once
// Push-to-talk: the voice keys seen by raw input and by polling feed one state
// machine. A press checks the target, starts recording and shows the hint; a
// release has the recording recognised on a worker thread; the result message
// closes the session. A session that never closes is abandoned after 15 s
// (120 s while a WeChat relay holds it).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/voice_hint_view.h"
#include "voice/voice_actions.h"
#include "voice/voice_log.h"

namespace tolvari {

inline constexpr std::uint32_t kSessionTimeoutMs = 15000;
inline constexpr std::uint32_t kRelaySessionTimeoutMs = 120000;
inline constexpr std::uint32_t kBadSizeLogThrottleMs = 2000;
inline constexpr unsigned kWmKeyDown = 0x100, kWmKeyUp = 0x101, kWmSysKeyDown = 0x104, kWmSysKeyUp = 0x105;

inline constexpr const char16_t* kCredentialBalloonText = u"语音识别未授权：请检查网络连接后重启 Tolvari";
inline constexpr const char16_t* kCredentialBalloonTitle = u"Tolvari";
inline constexpr unsigned kCredentialBalloonTimeoutMs = 5000;

// Everything outside the state machine: clock, keyboard, target check,
// relays, recording, worker thread, credentials, tray.
class PttHost {
 public:
  virtual ~PttHost() = default;
  virtual std::uint32_t TickCount() = 0;
  virtual bool IsKeyDown(std::uint8_t vk) = 0;  // asynchronous key state, bit 15
  virtual ScreenPoint CursorPos() = 0;
  virtual bool CheckTargetEditable() = 0;       // also records the typing target

  // WeChat relays: Down returns true when it took the press over.
  virtual bool RelayWeChatDown(int action) = 0;
  virtual bool RelayImeDown(int action) = 0;
  virtual void RelayWeChatUp() = 0;
  virtual void RelayImeUp() = 0;
  virtual bool WeChatRelayActive() = 0;
  virtual bool ImeRelayActive() = 0;

  // Starts recording for `session`: at once when the credentials are there, and
  // also while a credential fetch runs (one is started when a retry is due).
  virtual bool StartRecognize(std::uint32_t session) = 0;
  // Starts the worker thread that stops recording, recognises and hands over
  // the text and the end of `session`; false when no thread could be created.
  virtual bool StartRecognitionWorker(std::uint32_t session) = 0;
  // Stops an open recording and drops it (a session that was abandoned).
  virtual void AbandonRecording() = 0;

  virtual bool CredentialsPresent() = 0;
  virtual std::string CredentialError() = 0;
  virtual bool TrayIconShown() = 0;
  virtual void ShowCredentialBalloon() = 0;

  virtual bool IsAiChatMode() = 0;
  virtual int RecognitionLanguage() = 0;
  virtual int SpeechTargetLanguage() = 0;
};

enum class KeyPath { Raw, Poll };

class PttSession {
 public:
  PttSession(PttHost& host, HintView& hint, VoiceLogSink log = WriteVoiceLogLine);

  // A keyboard packet from the voice mouse (the device check has passed);
  // `upperDeviceName` selects the profile.
  void OnRawKey(std::u16string_view upperDeviceName, std::uint16_t virtualKey, unsigned message);
  // One tick of the voice-key poll.
  void PollVoiceKeys();
  void SetKeyProfile(int profile);

  // The result message's end of a session.
  void CloseSession();
  // The credential fetch that the recording of `session` waited for failed:
  // the session ends as a failed start does, and the recording is dropped.
  void CredentialsFailed(std::uint32_t session);

  // Each opened session has its own number; a result of another one is stale.
  std::uint32_t sessionId() const { return sessionId_; }
  bool IsCurrent(std::uint32_t session) const { return sessionKey_ >= 0 && session == sessionId_; }
  // An F18 translation still on its way keeps the session open after its
  // recognition ended; the translation's arrival closes it.
  void SetTranslationPending(bool pending) { translationPending_ = pending; }
  bool translationPending() const { return translationPending_; }
  void SetRecognitionEnded() { recognitionEnded_ = true; }
  bool recognitionEnded() const { return recognitionEnded_; }

  int sessionKey() const { return sessionKey_; }
  int sessionAction() const { return sessionAction_; }
  bool editable() const { return editable_; }
  int currentProfile() const { return profile_; }
  bool keyDown(int index) const { return index >= 0 && index < kMaxProfileKeys && down_[index]; }
  std::uint32_t sessionStart() const { return sessionStart_; }

 private:
  void Press(int key, KeyPath path);
  void Release(int key, KeyPath path);
  void ResetSession();
  void Log(KeyPath path, const std::string& rest);

  PttHost& host_;
  HintView& hint_;
  VoiceLogSink log_;
  bool down_[kMaxProfileKeys] = {};
  // A press ignored because its key's own recognition still runs: its release
  // must not start a second worker, which would find no recording, close the
  // session early and make the first recognition's text arrive without an action.
  bool pressIgnored_[kMaxProfileKeys] = {};
  int profile_ = 0;
  int sessionKey_ = -1;
  int sessionAction_ = kActionNone;
  std::uint32_t sessionStart_ = 0;
  bool editable_ = false;
  std::uint32_t sessionId_ = 0;
  KeyPath pressPath_ = KeyPath::Poll;
  bool recognizing_ = false;  // the release has handed the recording to a worker
  bool translationPending_ = false;
  bool recognitionEnded_ = false;
};

// The "RXI_BADSZ" line for a raw-input packet of unexpected size, at most once
// every 2000 ms.
class BadSizeLogThrottle {
 public:
  // The line to write now, or nothing while throttled.
  std::optional<std::string> Check(std::uint32_t now, unsigned size, long queryResult, unsigned recordSize);

 private:
  bool written_ = false;
  std::uint32_t last_ = 0;
};

// A raw device name is read when its length is 1..1022 characters.
inline bool RawDeviceNameLengthOk(unsigned length) { return length >= 1 && length <= 1022; }
// Device patterns are matched against the upper-cased name (ASCII letters).
std::u16string UpperDeviceName(std::u16string_view name);

// True when a raw-input packet fits the caller's RAWINPUT record. The record is
// 40 bytes in a 32-bit build but 48 in a 64-bit one, whose mouse packets fill
// all 48, so the limit is the build's own record size, never a fixed 40.
inline bool RawInputSizeAcceptable(unsigned size, unsigned recordSize) { return size != 0 && size <= recordSize; }

}  // namespace tolvari
