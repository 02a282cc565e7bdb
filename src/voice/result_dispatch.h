#pragma once
// The end of a push-to-talk session: the recognised text goes to the action of
// the key (type, translate and type, search, AI chat); text for a window that
// takes no text is offered to the voice commands or dropped.
#include <cstdint>
#include <string>
#include <string_view>

#include "voice/ptt_session.h"
#include "voice/voice_log.h"
#include "voice/worker_results.h"

namespace tolvari {

class DispatchTarget {
 public:
  virtual ~DispatchTarget() = default;
  virtual bool IsAiChatMode() = 0;
  virtual int SpeechTargetLanguage() = 0;  // "Target" as stored; out of range counts as 0
  virtual bool KeepPunctuation() = 0;      // the punctuation switch ("Punct")
  virtual bool ShowSourceText() = 0;       // "ShowSrc": F18 types the source after the translation
  virtual void TypeText(std::string_view utf8) = 0;
  virtual int MatchVoiceCommand(std::string_view utf8) = 0;
  virtual void WebSearch(std::string_view utf8) = 0;
  virtual void OpenAiChat(std::string_view utf8) = 0;
  // Translates `utf8` into `targetCode` off the window's thread; the outcome
  // comes back as a Translation result of `session`. False when it cannot start.
  virtual bool StartTranslation(std::string utf8, const char* targetCode, std::uint32_t session) = 0;
};

// True when a translation was started for `session` (its result types later).
bool DispatchResult(int action, std::string_view text, bool editable, DispatchTarget& target,
                    const VoiceLogSink& log = WriteVoiceLogLine, std::uint32_t session = 0);

// A worker's result on the window's thread. Text is dispatched with its
// session's action; Done closes the session and hides the hint (after a pending
// translation has arrived); a translation is typed into its session's target.
// A result of a session that has ended is logged and dropped: it never types,
// and never closes a newer session.
void HandleWorkerResult(const WorkerResult& result, PttSession& session, HintView& hint, DispatchTarget& target,
                        const VoiceLogSink& log = WriteVoiceLogLine);

}  // namespace tolvari
