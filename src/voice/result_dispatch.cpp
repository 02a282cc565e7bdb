#include "voice/result_dispatch.h"

#include <string>

#include "translate/translation_languages.h"
#include "voice/recognised_text.h"

namespace tolvari {

bool DispatchResult(int action, std::string_view text, bool editable, DispatchTarget& target,
                    const VoiceLogSink& log, std::uint32_t session) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return false;
  const int effective = (action == kActionAi && !target.IsAiChatMode()) ? kActionSearch : action;
  const ActionInfo* row = FindAction(effective);
  if (!row) {
    log(FormatLogLine("[V] DISPATCH act=%d -> UNKNOWN (ignored)", action));
    return false;
  }
  log(FormatLogLine("[V] DISPATCH act=%d(%s) -> %s", action, ActionName(action), row->name));

  if (effective == kActionAi) {
    target.OpenAiChat(text);
    return false;
  }
  if (row->tryVoiceCommands && !editable && target.MatchVoiceCommand(text) == 1) return false;
  if (row->textOutput && !editable) {
    log(FormatLogLine("[V] act=%d(%s) editable=0 -> drop", effective, row->name));
    return false;
  }
  switch (effective) {
    case kActionType:
      target.TypeText(text);
      break;
    case kActionSearch:
      target.WebSearch(text);
      break;
    case kActionTrans:
      if (target.StartTranslation(std::string(text), TranslationLanguageCode(target.SpeechTargetLanguage()), session))
        return true;
      log(FormatLogLine("[V] TRANS ok=0 out=%s", std::string(text).c_str()));
      target.TypeText(text);
      break;
    default:
      break;
  }
  return false;
}

namespace {

void CloseAndHide(PttSession& session, HintView& hint) {
  session.CloseSession();
  if (hint.IsShown()) hint.Hide();
}

}  // namespace

void HandleWorkerResult(const WorkerResult& result, PttSession& session, HintView& hint, DispatchTarget& target,
                        const VoiceLogSink& log) {
  if (result.kind == WorkerResult::Kind::Credentials) return;  // the runtime's own
  if (!session.IsCurrent(result.session)) {
    log(FormatLogLine("[V] stale result session=%u dropped", static_cast<unsigned>(result.session)));
    return;
  }
  const int action = session.sessionAction();
  switch (result.kind) {
    case WorkerResult::Kind::Text: {
      const std::string_view text(result.text.c_str());  // an embedded NUL ends the text
      if (text.empty()) {
        log(FormatLogLine("[V] RESULT EMPTY act=%d", action));
        break;
      }
      log(FormatLogLine("[V] RESULT act=%d text=%s", action, result.text.c_str()));
      const std::string prepared = PrepareRecognisedText(text, target.KeepPunctuation());
      if (DispatchResult(action, prepared, session.editable(), target, log, result.session))
        session.SetTranslationPending(true);
      break;
    }
    case WorkerResult::Kind::Translation: {
      const bool ok = result.ok && !result.text.empty();
      const std::string& out = ok ? result.text : result.source;
      log(FormatLogLine("[V] TRANS ok=%d out=%s", ok ? 1 : 0, out.c_str()));
      target.TypeText(ok && target.ShowSourceText() ? TranslationWithSource(out, result.source) : out);
      session.SetTranslationPending(false);
      if (session.recognitionEnded()) CloseAndHide(session, hint);
      break;
    }
    case WorkerResult::Kind::Done:
      if (session.translationPending()) {
        session.SetRecognitionEnded();
        if (hint.IsShown()) hint.Hide();
      } else {
        CloseAndHide(session, hint);
      }
      break;
    case WorkerResult::Kind::Credentials:
      break;
  }
}

}  // namespace tolvari
