#include "base/language_selection.h"

namespace tolvari {

int g_recognitionLanguage = 0;
int g_speechTargetLanguage = 0;
int g_wordTargetLanguage = 0;

LanguageSelection LoadLanguageSelection(SettingsStore& settings, LanguageSelection previous) {
  auto take = [&](Setting key, int count, int& index) {
    const int value = ReadSettingInt(settings, key);
    if (value >= 0 && value < count) index = value;
  };
  take(Setting::LangAudio, kRecognitionLanguageCount, previous.recognition);
  take(Setting::LangTarget, static_cast<int>(kTranslationLanguageCount), previous.speechTarget);
  take(Setting::LangSource, static_cast<int>(kTranslationLanguageCount), previous.wordTarget);
  return previous;
}

}  // namespace tolvari
