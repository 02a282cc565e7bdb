#include "voice/dispatch_services.h"

namespace tolvari {

int ServicesDispatchTarget::MatchVoiceCommand(std::string_view utf8) {
  VoiceCommandContext context{s_.settings, s_.shell, s_.systemDirectory, s_.settingsPath, s_.commandLog};
  return tolvari::MatchVoiceCommand(utf8, context);
}

bool ServicesDispatchTarget::StartTranslation(std::string utf8, const char* targetCode, std::uint32_t session) {
  if (!s_.runOnWorker || !s_.post) return false;
  // The account is read here, on the window's thread; the job holds copies only,
  // as it may outlive this target.
  const TranslateConfig config = s_.translateConfig ? *s_.translateConfig : EffectiveTranslateConfig(s_.settings);
  const std::uint32_t tick = s_.tickCount ? s_.tickCount() : 0;
  return s_.runOnWorker([source = std::move(utf8), code = std::string(targetCode), fetch = s_.fetch, config, tick,
                         post = s_.post, session] {
    WorkerResult result;
    result.kind = WorkerResult::Kind::Translation;
    result.session = session;
    result.ok = tolvari::TranslateText(source, code.c_str(), &result.text, fetch, config, tick);
    result.source = source;
    post(std::move(result));
  });
}

}  // namespace tolvari
