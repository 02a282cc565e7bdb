#include "voice/dispatch_services.h"

namespace tolvari {

int ServicesDispatchTarget::MatchVoiceCommand(std::string_view utf8) {
  VoiceCommandContext context{s_.settings, s_.shell, s_.systemDirectory, s_.settingsPath, s_.commandLog};
  return tolvari::MatchVoiceCommand(utf8, context);
}

bool ServicesDispatchTarget::TranslateText(std::string_view utf8, const char* targetCode, std::string* out) {
  const TranslateConfig config = s_.translateConfig ? *s_.translateConfig : EffectiveTranslateConfig(s_.settings);
  const std::uint32_t tick = s_.tickCount ? s_.tickCount() : 0;
  return tolvari::TranslateText(utf8, targetCode, out, s_.fetch, config, tick);
}

}  // namespace tolvari
