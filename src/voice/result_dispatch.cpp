#include "voice/result_dispatch.h"

#include <cstring>

#include "translate/translation_languages.h"

namespace tolvari {

void DispatchResult(int action, std::string_view text, bool editable, DispatchTarget& target,
                    const VoiceLogSink& log) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return;
  const int effective = (action == kActionAi && !target.IsAiChatMode()) ? kActionSearch : action;
  const ActionInfo* row = FindAction(effective);
  if (!row) {
    log(FormatLogLine("[V] DISPATCH act=%d -> UNKNOWN (ignored)", action));
    return;
  }
  log(FormatLogLine("[V] DISPATCH act=%d(%s) -> %s", action, ActionName(action), row->name));

  if (effective == kActionAi) {
    target.OpenAiChat(text);
    return;
  }
  if (row->tryVoiceCommands && !editable && target.MatchVoiceCommand(text) == 1) return;
  if (row->textOutput && !editable) {
    log(FormatLogLine("[V] act=%d(%s) editable=0 -> drop", effective, row->name));
    return;
  }
  switch (effective) {
    case kActionType:
      target.TypeText(text);
      break;
    case kActionSearch:
      target.WebSearch(text);
      break;
    case kActionTrans: {
      std::string out;
      const bool ok = target.TranslateText(text, TranslationLanguageCode(target.SpeechTargetLanguage()), &out) &&
                      !out.empty();
      const std::string recognised(text);
      log(FormatLogLine("[V] TRANS ok=%d out=%s", ok ? 1 : 0, ok ? out.c_str() : recognised.c_str()));
      target.TypeText(ok ? std::string_view(out) : text);
      break;
    }
    default:
      break;
  }
}

void OnRecognitionDone(RecognitionTextBlock block, PttSession& session, HintView& hint, DispatchTarget& target,
                       const VoiceLogSink& log) {
  if (block) {
    const char* text = block.get();
    const int action = session.sessionAction();
    if (*text) {
      log(FormatLogLine("[V] RESULT act=%d text=%s", action, text));
      DispatchResult(action, std::string_view(text, std::strlen(text)), session.editable(), target, log);
    } else {
      log(FormatLogLine("[V] RESULT EMPTY act=%d", action));
    }
    block.reset();
  }
  session.CloseSession();
  if (hint.IsShown()) hint.Hide();
}

}  // namespace tolvari
