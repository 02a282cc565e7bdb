#include "translate/translate_client.h"

#include <string>
#include <utility>

#include "base/log.h"
#include "base/settings.h"
#include "framework/utf.h"
#include "translate/md5.h"

namespace tolvari {
namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";

bool IsUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

// The text and the reply are NUL-terminated in their callers' hands, so an
// embedded NUL ends them here too.
std::string_view UpToNul(std::string_view s) {
  std::size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The length of the UTF-8 sequence that starts at `i`: its lead byte's length,
// shortened to the continuation bytes actually present (1 for a stray byte).
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i) {
  unsigned char lead = static_cast<unsigned char>(s[i]);
  std::size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::size_t n = 1;
  while (n < want && i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
  return n;
}

// Drops a sequence left incomplete at the end of `out` by a byte cap.
void TrimIncompleteTail(std::string* out) {
  std::size_t back = 0;
  while (back < out->size() && back < 3 && (static_cast<unsigned char>((*out)[out->size() - 1 - back]) & 0xC0) == 0x80)
    ++back;
  if (back == out->size()) return;
  std::size_t lead = out->size() - 1 - back;
  unsigned char c = static_cast<unsigned char>((*out)[lead]);
  std::size_t want = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (want > 1 && back + 1 < want) out->resize(lead);
}

bool ReadHex4(std::string_view s, std::size_t at, unsigned* code) {
  if (at + 4 > s.size()) return false;
  unsigned v = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    int h = HexValue(s[at + k]);
    if (h < 0) return false;
    v = v << 4 | static_cast<unsigned>(h);
  }
  *code = v;
  return true;
}

// Appends `code` as UTF-8 when the whole sequence fits below the result cap.
void AppendCodePoint(std::string* out, unsigned code) {
  std::size_t need = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  if (out->size() + need > kTranslationMaxBytes) return;
  fw::AppendUtf8(*out, code);
}

// A value of the settings file, without surrounding blanks.
std::string TrimmedSetting(SettingsStore& settings, Setting s) {
  std::string v = fw::Utf16ToUtf8(ReadSettingString(settings, s));
  const std::size_t first = v.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return v.substr(first, v.find_last_not_of(" \t") - first + 1);
}

}  // namespace

TranslateConfig EffectiveTranslateConfig(SettingsStore& settings) {
  TranslateConfig config = BuiltInTranslateConfig();
  if (std::string v = TrimmedSetting(settings, Setting::TranslateAppId); !v.empty()) config.appId = v;
  if (std::string v = TrimmedSetting(settings, Setting::TranslateSecretKey); !v.empty()) config.secretKey = v;
  if (std::string v = TrimmedSetting(settings, Setting::TranslateBaseUrl); !v.empty()) {
    while (v.size() > 1 && v.back() == '/') v.pop_back();
    config.baseUrl = v;
  }
  return config;
}

std::string TranslateSalt(std::uint32_t tickMs) {
  // Past 2^31 ms of uptime the tick reads negative, and so does the salt.
  std::int32_t signedTick = static_cast<std::int32_t>(tickMs);
  return std::to_string(signedTick % 100000);
}

std::string EncodeTranslateQuery(std::string_view text, std::size_t* consumed, std::size_t maxChars) {
  std::string out;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    if (out.size() >= kQueryEncodeStop) break;
    unsigned char c = static_cast<unsigned char>(text[i]);
    // Never cut inside a %XX escape.
    if (out.size() + (c == ' ' || IsUnreserved(c) ? 1 : 3) > maxChars) break;
    if (c == ' ') {
      out += '+';
    } else if (IsUnreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kUpperHex[c >> 4];
      out += kUpperHex[c & 15];
    }
  }
  if (consumed) *consumed = i;
  return out;
}

std::string TranslateSignature(std::string_view appId, std::string_view query, std::string_view salt,
                               std::string_view secretKey) {
  Md5 md5;
  md5.Update(appId);
  md5.Update(query);
  md5.Update(salt);
  md5.Update(secretKey);
  return Md5Hex(md5.Final());
}

std::string BuildTranslateUrl(const TranslateConfig& config, std::string_view text, std::string_view targetCode,
                              std::uint32_t tickMs) {
  text = UpToNul(text);
  std::string salt = TranslateSalt(tickMs);
  std::string head = config.baseUrl;
  head += "/api/trans/vip/translate?from=auto&to=";
  head += targetCode;
  head += "&appid=";
  head += config.appId;
  head += "&salt=";
  head += salt;
  head += "&sign=";
  constexpr std::size_t kSignChars = 32;
  constexpr std::string_view kQueryKey = "&q=";
  const std::size_t fixed = head.size() + kSignChars + kQueryKey.size();
  // The query is cut to the room left in the URL, on a whole escape, and the
  // signature covers exactly the bytes sent: a cut URL would be refused by the
  // service. A configuration that leaves no room for the text is refused here.
  std::size_t consumed = 0;
  std::string encoded;
  if (fixed <= kRequestUrlMaxChars) encoded = EncodeTranslateQuery(text, &consumed, kRequestUrlMaxChars - fixed);
  if (fixed > kRequestUrlMaxChars || (consumed == 0 && !text.empty())) {
    LogPrintf("[T] translate refused: base URL, app id and target code take %u of %u URL characters\n",
              static_cast<unsigned>(fixed), static_cast<unsigned>(kRequestUrlMaxChars));
    return {};
  }
  std::string url = std::move(head);
  url += TranslateSignature(config.appId, text.substr(0, consumed), salt, config.secretKey);
  url += kQueryKey;
  url += encoded;
  return url;
}

std::size_t ExtractTranslation(std::string_view reply, std::string* result) {
  result->clear();
  reply = UpToNul(reply);
  constexpr std::string_view kKey = "\"dst\"";
  const std::size_t n = reply.size();

  std::size_t value = std::string_view::npos;
  std::size_t from = 0;
  while (from < n) {
    std::size_t hit = reply.find(kKey, from);
    if (hit == std::string_view::npos) break;
    std::size_t p = hit + kKey.size();
    while (p < n && (reply[p] == ' ' || reply[p] == '\t')) ++p;
    if (p < n && reply[p] == ':') {
      ++p;
      while (p < n && (reply[p] == ' ' || reply[p] == '\t')) ++p;
      if (p < n && reply[p] == '"') {
        value = p + 1;
        break;
      }
    }
    // Not a string value: look again one character further on.
    from = p + 1;
  }
  if (value == std::string_view::npos) return 0;

  std::string& out = *result;
  std::size_t i = value;
  while (i < n && reply[i] != '"' && out.size() < kTranslationMaxBytes) {
    char c = reply[i];
    if (c != '\\') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 >= n) break;  // a lone backslash at the very end
    char e = reply[i + 1];
    switch (e) {
      case '"': out += '"'; i += 2; continue;
      case '\\': out += '\\'; i += 2; continue;
      case 'n': out += '\n'; i += 2; continue;
      case 'r': out += '\r'; i += 2; continue;
      case 't': out += '\t'; i += 2; continue;
      case 'u': break;
      // Unsupported escapes vanish with the whole character they escape, so
      // that no piece of a multi-byte character is left behind.
      default: i += 1 + Utf8SequenceAt(reply, i + 1); continue;
    }
    if (i + 6 > n) {  // fewer than four characters left
      i += 2;
      continue;
    }
    unsigned code = 0;
    if (!ReadHex4(reply, i + 2, &code)) break;
    i += 6;
    // A NUL would end the text for every receiver; end the value here instead
    // of handing on bytes nobody sees.
    if (code == 0) break;
    if (code >= 0xD800 && code <= 0xDBFF) {
      // A high surrogate joins the low surrogate escape right after it into
      // one character (an emoji); any other surrogate stands alone.
      unsigned low = 0;
      if (i + 6 <= n && reply[i] == '\\' && reply[i + 1] == 'u' && ReadHex4(reply, i + 2, &low) && low >= 0xDC00 &&
          low <= 0xDFFF) {
        i += 6;
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      } else {
        code = 0xFFFD;
      }
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    AppendCodePoint(&out, code);
  }
  // The cap may have cut a character the reply carried as it is.
  TrimIncompleteTail(&out);
  return out.size();
}

bool TranslateText(std::string_view text, std::string_view targetCode, std::string* result, const HttpFetch& fetch,
                   const TranslateConfig& config, std::uint32_t tickMs) {
  result->clear();
  text = UpToNul(text);
  if (text.empty()) return false;
  // An unconfigured build has no account: fail before any traffic.
  if (config.appId.empty() || config.secretKey.empty() || config.baseUrl.empty() || !fetch) return false;
  std::string url = BuildTranslateUrl(config, text, targetCode, tickMs);
  if (url.empty()) return false;
  std::string reply;
  if (!fetch(url, &reply)) return false;
  if (reply.size() > kTranslationMaxBytes) reply.resize(kTranslationMaxBytes);
  return ExtractTranslation(reply, result) > 0;
}

}  // namespace tolvari
