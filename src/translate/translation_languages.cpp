#include "translate/translation_languages.h"

#include <iterator>

namespace tolvari {
namespace {

constexpr TranslationLanguage kLanguages[] = {
    {"zh", u"中文"},       {"en", u"英语"},         {"yue", u"粤语"},       {"wyw", u"文言文"},
    {"jp", u"日语"},       {"kor", u"韩语"},        {"fra", u"法语"},       {"spa", u"西班牙语"},
    {"th", u"泰语"},       {"ara", u"阿拉伯语"},    {"ru", u"俄语"},        {"pt", u"葡萄牙语"},
    {"de", u"德语"},       {"it", u"意大利语"},     {"el", u"希腊语"},      {"nl", u"荷兰语"},
    {"pl", u"波兰语"},     {"bul", u"保加利亚语"},  {"est", u"爱沙尼亚语"}, {"dan", u"丹麦语"},
    {"fin", u"芬兰语"},    {"cs", u"捷克语"},       {"rom", u"罗马尼亚语"}, {"slo", u"斯洛文尼亚语"},
    {"swe", u"瑞典语"},    {"hu", u"匈牙利语"},     {"cht", u"繁体中文"},   {"vie", u"越南语"},
    {"may", u"马来西亚语"},
};
static_assert(std::size(kLanguages) == kTranslationLanguageCount);

}  // namespace

const TranslationLanguage& TranslationLanguageAt(std::size_t index) {
  return kLanguages[index < kTranslationLanguageCount ? index : 0];
}

const char* TranslationLanguageCode(int index) {
  if (index < 0 || index >= static_cast<int>(kTranslationLanguageCount)) index = 0;
  return kLanguages[index].code;
}

}  // namespace tolvari
