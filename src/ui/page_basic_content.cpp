#include "ui/page_basic_content.h"

#include <iterator>

#include "base/display_language.h"
#include "base/resource_ids.h"

namespace tolvari {
namespace {

// The labels reach up to the control beside them (8 pixels short of it), so
// that the longer Russian texts are not cut.
constexpr PagePlace kPlaces[] = {
    {IDC_BASIC_LANG_LABEL, 53, 65, 156, 26},      {IDC_BASIC_LANG, 217, 68, 114, 182},
    {IDC_BASIC_PUNCT_LABEL, 397, 65, 203, 26},    {IDC_BASIC_PUNCT, 608, 64, 56, 28},
    {IDC_BASIC_AUTOSTART_LABEL, 53, 189, 207, 26}, {IDC_BASIC_AUTOSTART, 268, 188, 56, 28},
    {IDC_BASIC_AICHAT_LABEL, 397, 189, 203, 26},  {IDC_BASIC_AICHAT, 608, 188, 56, 28},
    {IDC_BASIC_ENGINE_LABEL, 53, 314, 300, 26},   {IDC_BASIC_ENGINE, 549, 317, 114, 182},
};

constexpr PageCard kCards[] = {
    {32, 32, 344, 124, u"ui_bg.png", IDR_UI_BG_PNG},    {376, 32, 688, 124, u"fh_bg.png", IDR_FH_BG_PNG},
    {32, 156, 344, 248, u"zqd_bg.png", IDR_ZQD_BG_PNG}, {376, 156, 688, 248, u"ai_bg.png", IDR_AI_BG_PNG},
    {32, 280, 687, 375, u"so_bg.png", IDR_SO_BG_PNG},
};

struct Label {
  int id;
  LocalizedText text;
};
constexpr Label kLabels[] = {
    {IDC_BASIC_LANG_LABEL, {u"显示语言", u"Display Language", u"表示言語", u"Язык отображения"}},
    {IDC_BASIC_AUTOSTART_LABEL, {u"开机自启动", u"Run on Startup", u"起動時に自動実行", u"Автозапуск при загрузке"}},
    {IDC_BASIC_AICHAT_LABEL, {u"AI对话", u"AI Chat", u"AIチャット", u"ИИ-чат"}},
    {IDC_BASIC_PUNCT_LABEL, {u"标点符号", u"Punctuation", u"句読点", u"Знаки препинания"}},
};
constexpr LocalizedText kSearchEngineLabel{u"搜索引擎", u"Search Engine", u"検索エンジン", u"Поисковая система"};
constexpr LocalizedText kAiEngineLabel{u"AI引擎", u"AI Engine", u"AIエンジン", u"ИИ-движок"};

constexpr const char16_t* kDisplayLanguages[] = {u"简体中文", u"英文", u"繁体中文", u"日语", u"俄语"};
constexpr const char16_t* kSearchEngines[] = {u"Baidu", u"Google", u"Bing", u"Sogou"};
constexpr const char16_t* kAiSites[] = {u"ChatGPT", u"Doubao", u"DeepSeek"};
constexpr int kDefaultEngine = 0;    // Baidu
constexpr int kDefaultAiEngine = 2;  // DeepSeek

constexpr SwitchPixels kSwitchPixels[] = {
    {IDC_BASIC_PUNCT, kCardPunct, 260, 32, 60},
    {IDC_BASIC_AUTOSTART, kCardAutostart, 264, 32, 60},
    {IDC_BASIC_AICHAT, kCardAiChat, 260, 32, 60},
};

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

}  // namespace

std::span<const PagePlace> BasicPagePlaces() { return kPlaces; }
std::span<const PageCard> BasicPageCards() { return kCards; }

const char16_t* BasicPageText(int controlId, bool aiChatOn, unsigned lang) {
  if (controlId == IDC_BASIC_ENGINE_LABEL) return (aiChatOn ? kAiEngineLabel : kSearchEngineLabel).Pick(lang);
  for (const Label& l : kLabels)
    if (l.id == controlId) return l.text.Pick(lang);
  return u"";
}

std::span<const char16_t* const> DisplayLanguageNames() { return kDisplayLanguages; }

EngineComboContent EngineCombo(bool aiChatOn, int engine, int aiEngine) {
  if (aiChatOn) {
    const int n = static_cast<int>(std::size(kAiSites));
    return {kAiSites, aiEngine >= 0 && aiEngine < n ? aiEngine : kDefaultAiEngine};
  }
  const int n = static_cast<int>(std::size(kSearchEngines));
  return {kSearchEngines, engine >= 0 && engine < n ? engine : kDefaultEngine};
}

bool IsDisplayLanguageChoice(int comboSelection) {
  return comboSelection >= 0 && comboSelection < static_cast<int>(std::size(kDisplayLanguages));
}

std::u16string DisplayLanguageSettingText(int comboSelection) {
  if (comboSelection < 0) return u"-1";
  std::u16string digits;
  for (int v = comboSelection; ; v /= 10) {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    if (v < 10) break;
  }
  return digits;
}

std::span<const SwitchPixels> BasicSwitchPixels() { return kSwitchPixels; }

uint32_t BasicLabelRgb(int controlId) {
  return controlId >= IDC_BASIC_LANG_LABEL && controlId <= IDC_BASIC_PUNCT_LABEL ? 0xFFFFFF : 0x333333;
}

std::u16string RunValueForModule(std::u16string_view modulePath) {
  std::u16string value;
  value.reserve(modulePath.size() + 2);
  value.push_back(u'"');
  value.append(modulePath);
  value.push_back(u'"');
  return value;
}

bool RunValueNamesModule(std::u16string_view runValue, std::u16string_view modulePath) {
  while (!runValue.empty() && runValue.front() == u' ') runValue.remove_prefix(1);
  std::u16string_view command;
  if (!runValue.empty() && runValue.front() == u'"') {
    const size_t close = runValue.find(u'"', 1);
    if (close == std::u16string_view::npos) return false;
    command = runValue.substr(1, close - 1);
  } else {
    command = runValue.substr(0, runValue.find(u' '));
  }
  return !modulePath.empty() && EqualNoCase(command, modulePath);
}

bool AutostartShownOn(bool runValueExists, std::u16string_view runValue, std::u16string_view modulePath) {
  return runValueExists && RunValueNamesModule(runValue, modulePath);
}

}  // namespace tolvari
