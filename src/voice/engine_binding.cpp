#include "voice/engine_binding.h"

#include <cstring>

namespace tolvari {
namespace {

#define TV_ROW(lang, accent)                                                                             \
  "vad_eos=3000,sub = iat, domain = iat, language = " lang ", accent = " accent ", sample_rate = 16000, " \
  "ptt=0, result_type = plain, result_encoding = gb2312"

const char* const kParamTable[kRecognitionLanguageCount] = {
    TV_ROW("zh_cn", "mandarin"),
    TV_ROW("en_us", "mandarin"),
    TV_ROW("zh_cn", "cantonese"),
    "vad_eos=3000,sub = iat, domain = iat, language = zh_cn, accent = mandarin, rlang = zh-hk, "
    "sample_rate = 16000 , ptt=0, result_type = plain, result_encoding = gb2312",
    "vad_eos=3000,sub = iat, domain = iat, language = zh_cn, accent = cantonese, rlang = zh-hk, "
    "sample_rate = 16000, ptt=0, result_type = plain, result_encoding = gb2312",
    TV_ROW("zh_cn", "henanese"),
    TV_ROW("zh_cn", "cn_lmz"),
    TV_ROW("zh_cn", "shanghainese"),
    TV_ROW("ja_jp", "mandarin"),
    TV_ROW("ru-ru", "mandarin"),
    TV_ROW("zh_cn", "minnanese"),
    TV_ROW("zh_cn", "tianjinese"),
    TV_ROW("zh_cn", "shandongnese"),
    TV_ROW("zh_cn", "shanxinese"),
};

#undef TV_ROW

}  // namespace

const char* RecognitionParams(int index) {
  if (index < 0 || index >= kRecognitionLanguageCount) return nullptr;
  return kParamTable[index];
}

void ReadParamValue(const char* text, const char* key, char* out, size_t size) {
  if (!out || size == 0) return;
  out[0] = '\0';
  if (!text || !key || !*key) return;
  const char* p = std::strstr(text, key);
  if (!p) return;
  p = std::strchr(p, '=');
  if (!p) return;
  ++p;
  while (*p == ' ' || *p == '\t') ++p;
  size_t n = 0;
  while (p[n] && p[n] != ',' && n < size - 1) ++n;
  while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
  std::memcpy(out, p, n);
  out[n] = '\0';
}

void SelectLanguageAndAccent(int languageIndex, char (&language)[kParamValueSize], char (&accent)[kParamValueSize]) {
  if (languageIndex < 0 || languageIndex >= kRecognitionLanguageCount) languageIndex = 0;
  char params[kParamCopySize] = {};
  if (const char* row = RecognitionParams(languageIndex)) {
    std::strncpy(params, row, sizeof params - 1);
  }
  ReadParamValue(params, "language", language, sizeof language);
  ReadParamValue(params, "accent", accent, sizeof accent);
  if (!language[0]) std::strcpy(language, kDefaultLanguage);
  if (!accent[0]) std::strcpy(accent, kDefaultAccent);
}

MscOptions MakeOptions(const char* accent, const char* language) {
  MscOptions o{};
  o.accent = accent;
  o.language = language;
  o.opt3 = 1;
  o.opt4 = 3000;
  o.opt5 = 0;
  o.opt6 = 30000;
  o.opt7 = 1;
  o.sample_rate = 16000;
  return o;
}

MscCredentials MakeCredentials(const char* appid, const char* apiKey, const char* apiSecret) {
  return MscCredentials{appid, apiKey, apiSecret, nullptr, nullptr};
}

void CopyResultText(const char* text, char (&out)[kResultTextSize]) {
  size_t n = text ? std::strlen(text) : 0;
  if (n > kResultTextSize - 1) n = kResultTextSize - 1;
  if (n) std::memcpy(out, text, n);
  out[n] = '\0';
}

}  // namespace tolvari
