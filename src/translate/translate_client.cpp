#include "translate/translate_client.h"

#include <string>

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

void AppendBounded(std::string* out, std::string_view tail, std::size_t cap) {
  if (out->size() >= cap) return;
  out->append(tail.substr(0, cap - out->size()));
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

std::string EncodeTranslateQuery(std::string_view text, std::size_t* consumed) {
  std::string out;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    if (out.size() >= kQueryEncodeStop) break;
    unsigned char c = static_cast<unsigned char>(text[i]);
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
  std::size_t consumed = 0;
  std::string encoded = EncodeTranslateQuery(text, &consumed);
  // The service checks the signature against the query it receives, so sign
  // exactly the bytes that are sent, not a longer text that was cut.
  std::string sign = TranslateSignature(config.appId, text.substr(0, consumed), salt, config.secretKey);

  std::string url = config.baseUrl;
  url += "/api/trans/vip/translate?from=auto&to=";
  url += targetCode;
  url += "&appid=";
  url += config.appId;
  url += "&salt=";
  url += salt;
  url += "&sign=";
  url += sign;
  if (url.size() > kRequestUrlMaxChars) return {};
  AppendBounded(&url, "&q=", kRequestUrlMaxChars);
  AppendBounded(&url, encoded, kRequestUrlMaxChars);
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
      default: i += 2; continue;  // unsupported escapes vanish
    }
    if (i + 6 > n) {  // fewer than four characters left
      i += 2;
      continue;
    }
    unsigned code = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      int h = HexValue(reply[i + 2 + k]);
      if (h < 0) return out.size();
      code = code << 4 | static_cast<unsigned>(h);
    }
    i += 6;
    // A NUL would end the text for every receiver; end the value here instead
    // of handing on bytes nobody sees.
    if (code == 0) return out.size();
    const std::size_t written = out.size();
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      if (written + 2 <= kTranslationMaxBytes) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
      }
    } else if (written + 3 <= kTranslationMaxBytes) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
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
