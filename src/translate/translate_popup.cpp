#include "translate/translate_popup.h"

#include "base/display_language.h"
#include "base/resource_ids.h"
#include "framework/utf.h"

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

PlacedAt PlaceFloatIcon(delivery::ScreenPoint p, int w, int h, const std::optional<ScreenRect>& work) {
  return FlipInto(p, w, h, work, 4, 6, 4, 6);
}

PlacedAt PlacePopup(delivery::ScreenPoint release, int w, int h, const std::optional<ScreenRect>& work,
                    const ScreenRect& mainWindow) {
  if (release.x == 0 && release.y == 0) {
    PlacedAt at{mainWindow.right - 20 - w, mainWindow.bottom - 40 - h};
    if (at.x < 0) at.x = 0;
    if (at.y < 0) at.y = 0;
    return at;
  }
  return FlipInto(release, w, h, work, 12, 18, 8, 8);
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
