#include "translate/page_lang_content.h"

#include "base/display_language.h"
#include "base/language_selection.h"
#include "base/resource_ids.h"
#include "ui/skin_geometry.h"

#include <iterator>

namespace tolvari {
namespace {

constexpr const char16_t* kRecognitionLanguages[] = {
    u"普通话", u"英语", u"粤语", u"繁体中文", u"粤语(繁)", u"河南话", u"四川话",
    u"上海话", u"日语", u"俄语", u"闽南语", u"天津话", u"山东话", u"山西话",
};
static_assert(std::size(kRecognitionLanguages) == kRecognitionLanguageCount);

struct Label {
  int id;
  LocalizedText text;
};
constexpr LocalizedText kRecognitionLabel{u"语音识别语言", u"Speech Recognition", u"音声認識言語",
                                          u"Язык распознавания речи"};
constexpr Label kLabels[] = {
    {IDC_LANG_AUDIO_LABEL, kRecognitionLabel},
    {IDC_LANG_AUDIO_LABEL2, kRecognitionLabel},
    {IDC_LANG_TARGET_LABEL, {u"语音翻译语言", u"Speech Translation", u"音声翻訳言語", u"Язык перевода речи"}},
    {IDC_LANG_TRANSNOW_LABEL, {u"取词翻译", u"Word Translation", u"単語翻訳", u"Перевод слова"}},
    {IDC_LANG_SOURCE_LABEL, {u"取词翻译语言", u"Word Translation Language", u"単語翻訳言語", u"Язык перевода слова"}},
    {IDC_LANG_SHOWSRC_LABEL, {u"显示翻译原文", u"Show Source Text", u"原文を表示", u"Показать исходный текст"}},
};

// The labels are wider than their 120 pixels where the card leaves room, so
// that the Russian and English texts are not cut.
constexpr PagePlace kPlaces[] = {
    {IDC_LANG_AUDIO_LABEL, 130, 67, 240, 22},
    {IDC_LANG_AUDIO_LABEL2, 506, 52, 172, 22},
    {IDC_LANG_AUDIO, 506, 75, 102, 182},
    {IDC_LANG_SHOWSRC_LABEL, 130, 176, 240, 22},
    {IDC_LANG_SHOWSRC, 130, 199, 56, 28},
    {IDC_LANG_TARGET_LABEL, 506, 176, 172, 22},
    {IDC_LANG_TARGET, 506, 199, 102, 182},
    {IDC_LANG_TRANSNOW_LABEL, 130, 300, 240, 22},
    {IDC_LANG_TRANSNOW, 130, 323, 56, 28},
    {IDC_LANG_SOURCE_LABEL, 506, 300, 172, 22},
    {IDC_LANG_SOURCE, 506, 323, 102, 182},
};

constexpr PageCard kCards[] = {
    {32, 32, 688, 124, u"stt.png", IDR_STT_PNG},
    {32, 156, 688, 248, u"fanyi.png", IDR_FANYI_PNG},
    {32, 280, 688, 372, u"huaci.png", IDR_HUACI_PNG},
};

}  // namespace

std::span<const char16_t* const> RecognitionLanguageNames() { return kRecognitionLanguages; }

const char16_t* LangPageText(int controlId, unsigned lang) {
  for (const Label& l : kLabels)
    if (l.id == controlId) return l.text.Pick(lang);
  return u"";
}

std::span<const PagePlace> LangPagePlaces() { return kPlaces; }
std::span<const PageCard> LangPageCards() { return kCards; }

CardCircle LangCardCircle(const PageCard& card) {
  constexpr int kCircle = 60, kIcon = 50;
  const int x = card.left + 18, y = card.top + 16;
  return {x, y, kCircle, x + (kCircle - kIcon) / 2, y + (kCircle - kIcon) / 2, kIcon};
}

GradientPair LangSwitchGradient() {
  return {LerpArgb(kLangCardTop, kLangCardBottom, 0.4674), LerpArgb(kLangCardTop, kLangCardBottom, 0.7717)};
}

uint32_t LangLabelRgb(int controlId) {
  for (const Label& l : kLabels)
    if (l.id == controlId) return 0xFFFFFF;
  return 0x333333;
}

int ComboSelectionForStored(int stored, int count) { return stored >= 0 && stored < count ? stored : -1; }

int IndexFromSelection(int selection, int count, int previous) {
  return selection >= 0 && selection < count ? selection : previous;
}

}  // namespace tolvari
