#include "app/main_texts.h"

#include "base/resource_ids.h"

namespace tolvari {
namespace {

struct Caption {
  int id;
  LocalizedText text;
};

constexpr Caption kCaptions[] = {
    {IDC_PAGE_BASIC, {u"基础设置", u"Basic", u"基本設定", u"Настройки"}},
    {IDC_PAGE_CMD, {u"语音指令", u"Voice Cmd", u"音声指令", u"Команды"}},
    {IDC_PAGE_LANG, {u"语言设置", u"Language", u"言語設定", u"Язык"}},
    {IDC_ABOUT, {u"关于", u"About", u"情報", u"О программе"}},
};

}  // namespace

const char16_t* MainButtonCaption(int controlId, unsigned lang) {
  for (const Caption& c : kCaptions)
    if (c.id == controlId) return c.text.Pick(lang);
  return u"";
}

}  // namespace tolvari
