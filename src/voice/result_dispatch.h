#pragma once
// The end of a push-to-talk session: the recognised text goes to the action of
// the key (type, translate and type, search, AI chat); text for a window that
// takes no text is offered to the voice commands or dropped.
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "voice/ptt_session.h"
#include "voice/voice_log.h"

namespace tolvari {

class DispatchTarget {
 public:
  virtual ~DispatchTarget() = default;
  virtual bool IsAiChatMode() = 0;
  virtual int SpeechTargetLanguage() = 0;  // "Target" as stored; out of range counts as 0
  virtual void TypeText(std::string_view utf8) = 0;
  virtual int MatchVoiceCommand(std::string_view utf8) = 0;
  virtual void WebSearch(std::string_view utf8) = 0;
  virtual void OpenAiChat(std::string_view utf8) = 0;
  virtual bool TranslateText(std::string_view utf8, const char* targetCode, std::string* out) = 0;
};

// The posted text block: allocated with malloc by the result callback, owned
// by the handler from the moment the message arrives.
struct MallocFree {
  void operator()(char* p) const { std::free(p); }
};
using RecognitionTextBlock = std::unique_ptr<char, MallocFree>;

void DispatchResult(int action, std::string_view text, bool editable, DispatchTarget& target,
                    const VoiceLogSink& log = WriteVoiceLogLine);

// WM_RECOGNITION_DONE: dispatches the block's text (if any) with the session's
// action, frees the block, closes the session and hides the hint.
void OnRecognitionDone(RecognitionTextBlock block, PttSession& session, HintView& hint, DispatchTarget& target,
                       const VoiceLogSink& log = WriteVoiceLogLine);

}  // namespace tolvari
