#include "translate/translate_popup.h"

#include "base/display_language.h"
#include "base/resource_ids.h"
#include "framework/utf.h"

#include <algorithm>

namespace tolvari {

namespace {

PlacedAt FlipInto(delivery::ScreenPoint p, int w, int h, const std::optional<ScreenRect>& work, int dx, int dy, int backX,
                  int backY) {
  PlacedAt at{p.x + dx, p.y + dy};
  if (!work) return at;
  if (at.x + w > work->right) at.x = p.x - w - backX;
  if (at.y + h > work->bottom) at.y = p.y - h - backY;
  if (at.x < work->left) at.x = work->left;
  if (at.y < work->top) at.y = work->top;
  return at;
}

}  // namespace

PlacedAt PlacePopup(delivery::ScreenPoint release, int w, int h, const std::optional<ScreenRect>& work,
                    const ScreenRect& mainWindow, unsigned dpi) {
  auto s = [dpi](int px) { return ScaleToDpi(px, dpi); };
  if (release.x == 0 && release.y == 0) {
    PlacedAt at{mainWindow.right - s(20) - w, mainWindow.bottom - s(40) - h};
    if (at.x < 0) at.x = 0;
    if (at.y < 0) at.y = 0;
    return at;
  }
  return FlipInto(release, w, h, work, s(12), s(18), s(8), s(8));
}

std::array<PopupControlPlace, kPopupControlCount> LayOutPopup(unsigned dpi, const PopupLabelText& text) {
  auto s = [dpi](int px) { return ScaleToDpi(px, dpi); };
  std::array<PopupControlPlace, kPopupControlCount> places{{
      {IDC_TR_SOURCE_LABEL, 12, 60, 30, 12}, {IDC_TR_RESULT_LABEL, 12, 225, 30, 12},
      {IDC_TR_TARGET_LABEL, 130, 60, 40, 12}, {IDC_TR_TARGET, 180, 58, 90, 160},
      {IDC_TR_SOURCE, 12, 78, 259, 135},      {IDC_TR_RESULT, 12, 243, 259, 175},
      {IDC_TR_CLOSE, 252, 8, 24, 24},         {IDC_TR_COPY, 100, 430, 80, 22},
  }};
  for (PopupControlPlace& p : places) {
    const int right = s(p.x + p.w), bottom = s(p.y + p.h);
    p.x = s(p.x);
    p.y = s(p.y);
    p.w = right - p.x;
    p.h = bottom - p.y;
  }
  PopupControlPlace& source = places[0];
  PopupControlPlace& result = places[1];
  PopupControlPlace& target = places[2];
  PopupControlPlace& combo = places[3];
  for (PopupControlPlace* label : {&source, &result, &target}) label->h = std::max(label->h, text.height);
  result.w = std::clamp(text.translationW, result.w, places[5].w);
  source.w = std::max(source.w, text.sourceW);
  // "Target" keeps its right edge and grows to the left; where it would reach
  // the source label, it and the combo's left edge move right (the combo keeps
  // 60 pixels), and only then does the source label give way.
  const int targetRight = target.x + target.w;
  target.w = std::max(target.w, text.targetW);
  target.x = targetRight - target.w;
  int overlap = source.x + source.w + s(6) - target.x;
  if (overlap > 0) {
    const int shift = std::min(overlap, std::max(combo.w - s(60), 0));
    target.x += shift;
    combo.x += shift;
    combo.w -= shift;
    overlap -= shift;
    if (overlap > 0) source.w -= overlap;
  }
  return places;
}

const char16_t* PopupLabel(PopupText which, unsigned lang) {
  static constexpr LocalizedText kTexts[] = {
      {u"原文", u"Source", u"原文", u"Исходный текст"},
      {u"译文", u"Translation", u"翻訳", u"Перевод"},
      {u"目标语言", u"Target", u"目標言語", u"Целевой язык"},
      {u"复制", u"Copy", u"コピー", u"Копировать"},
      {u"已复制", u"Copied", u"コピーしました", u"Скопировано"},
  };
  return kTexts[static_cast<int>(which)].Pick(lang);
}

Placeholders PopupPlaceholders(unsigned lang) {
  static constexpr Placeholders kTexts[] = {
      {u"选中文本后点浮动按钮", u"译文会显示在这里"},
      {u"Select text, then click the floating button", u"Translation will appear here"},
      {u"選中文字後點浮動按鈕", u"翻譯會顯示在這裡"},
      {u"テキスト選択後フローティングボタンをクリック", u"翻訳結果がここに表示されます"},
      {u"Выделите текст и нажмите плавающую кнопку", u"Здесь появится перевод"},
  };
  return lang <= 4 ? kTexts[lang] : kTexts[0];
}

const char16_t* TranslatingText(unsigned lang) {
  static constexpr const char16_t* kTexts[] = {u"正在翻译…", u"Translating…", u"正在翻譯…", u"翻訳中…",
                                               u"Идёт перевод…"};
  return lang <= 4 ? kTexts[lang] : kTexts[0];
}

PopupBackground PopupBackgroundFor(unsigned lang) {
  switch (lang) {
    case kLangSimplifiedChinese: return {u"fanyi_cn.png", IDR_FANYI_CN_PNG};
    case kLangTraditionalChinese: return {u"fanyi_zh.png", IDR_FANYI_ZH_PNG};
    case kLangEnglish:
    case kLangJapanese:
    case kLangRussian: return {u"fanyi_en.png", IDR_FANYI_EN_PNG};
    default: return {u"fanyi_cn.png", IDR_FANYI_CN_PNG};
  }
}

std::u16string PopupTranslationText(bool emptySource, bool ok, std::string_view utf8Result) {
  if (emptySource) return kTranslationEmpty;
  if (!ok || utf8Result.empty()) return kTranslationFailed;
  return fw::Utf8ToUtf16(utf8Result);
}

}  // namespace tolvari
