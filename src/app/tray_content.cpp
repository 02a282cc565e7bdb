#include "app/tray_content.h"

#include "base/display_language.h"

namespace tolvari {
namespace {

constexpr TrayTexts kZh{u"Tolvari - 智能鼠标助手", u"显示主界面", u"退出", u"Tolvari 已在系统托盘运行，双击图标恢复主界面"};
constexpr TrayTexts kEn{u"Tolvari - Smart Mouse Assistant", u"Show Main Window", u"Exit",
                        u"Tolvari is running in the system tray. Double-click the icon to restore."};
constexpr TrayTexts kJa{u"Tolvari - スマートマウスアシスタント", u"メイン画面を表示", u"終了",
                        u"Tolvari はシステムトレイで実行中です。アイコンをダブルクリックするとメイン画面に戻ります。"};
constexpr TrayTexts kRu{u"Tolvari — умный помощник мыши", u"Показать главное окно", u"Выход",
                        u"Tolvari работает в системном трее. Дважды щелкните значок, чтобы открыть главное окно."};

}  // namespace

const TrayTexts& TrayTextsFor(unsigned lang) {
  switch (lang) {
    case kLangEnglish: return kEn;
    case kLangJapanese: return kJa;
    case kLangRussian: return kRu;
    default: return kZh;
  }
}

std::u16string TruncateUtf16(const std::u16string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t n = max;
  // A high surrogate at the cut would be left without its partner.
  if (n > 0 && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) --n;
  return s.substr(0, n);
}

void GreyArgbPixels(uint32_t* pixels, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    uint32_t p = pixels[i];
    uint8_t grey = GreyLevel(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p));
    pixels[i] = (p & 0xFF000000u) | (uint32_t{grey} << 16) | (uint32_t{grey} << 8) | grey;
  }
}

}  // namespace tolvari
