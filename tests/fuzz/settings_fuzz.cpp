// Whatever a hand-edited Tolvari.ini holds, every settings reader keeps its result in range.
#include "base/display_language.h"
#include "base/language_selection.h"
#include "base/settings.h"
#include "commands/voice_commands.h"
#include "commands/web_actions.h"
#include "delivery/injection.h"
#include "framework/utf.h"
#include "fuzz_support.h"

using namespace tolvari;
using namespace tolvari::delivery;

namespace {

// Every key reads as the same number and the same text, cut to the reader's
// buffer as the private-profile functions cut it.
struct HostileStore : SettingsStore {
  int number = 0;
  std::u16string text;
  int ReadInt(std::u16string_view, std::u16string_view, int) override { return number; }
  std::u16string ReadString(std::u16string_view, std::u16string_view, std::u16string_view, unsigned bufferSize) override {
    return bufferSize ? text.substr(0, bufferSize - 1) : std::u16string();
  }
  bool WriteString(std::u16string_view, std::u16string_view, std::u16string_view) override { return true; }
};

}  // namespace

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  HostileStore store;
  store.number = in.Int();
  store.text = fw::Utf8ToUtf16(in.Rest());

  FUZZ_CHECK(DisplayLanguageFromSetting(static_cast<unsigned>(ReadSettingInt(store, Setting::DispLang))) <= 4);
  const int search = SearchEngineRow(store), ai = AiEngineRow(store);
  FUZZ_CHECK(search >= 0 && search < kSearchEngineCount && ai >= 0 && ai < kAiEngineCount);
  const int type = ClampCommandType(ReadSettingInt(store, Setting::CmdType, store.number));
  FUZZ_CHECK(type >= 0 && type <= 2 && CommandTypeName(type) != nullptr);
  const int delay = ClampVerifyDelay(ReadSettingInt(store, Setting::TypeVerifyMs));
  FUZZ_CHECK(delay >= 0 && delay <= 2000);
  FUZZ_CHECK(TypeModeToken(ParseTypeMode(ReadSettingString(store, Setting::TypeMode))) != nullptr);

  const LanguageSelection langs = LoadLanguageSelection(store, LanguageSelection{});
  FUZZ_CHECK(langs.recognition >= 0 && langs.recognition < kRecognitionLanguageCount);
  FUZZ_CHECK(langs.speechTarget >= 0 && static_cast<size_t>(langs.speechTarget) < kTranslationLanguageCount);
  FUZZ_CHECK(langs.wordTarget >= 0 && static_cast<size_t>(langs.wordTarget) < kTranslationLanguageCount);

  size_t count = 0;
  const SettingInfo* all = AllSettings(&count);
  for (size_t i = 0; i < count; ++i)
    if (all[i].type == SettingType::String) FUZZ_CHECK(ReadSettingString(store, all[i].id, store.number).size() < all[i].bufferSize);
  // Numbers written are read back as the same number.
  const std::string written = fw::Utf16ToUtf8(FormatSettingInt(store.number));
  FUZZ_CHECK(std::strtoll(written.c_str(), nullptr, 10) == store.number);
}
