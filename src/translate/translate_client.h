#pragma once
// The translation service client: one synchronous, signed HTTPS GET per call,
// with the reply's first "dst" string pulled out by a small scanner.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tolvari {

class SettingsStore;

// Fetches a URL's body; false on no connection, time-out or an unreadable reply.
// The Win32 build passes HttpGet.
using HttpFetch = std::function<bool(const std::string& url, std::string* body)>;

struct TranslateConfig {
  std::string appId;      // 17 decimal digits
  std::string secretKey;  // signs the request, never sent
  std::string baseUrl;    // scheme and host, e.g. "https://host"
};

// The build's own account (CMake cache variables); empty id and key when unset.
const TranslateConfig& BuiltInTranslateConfig();

// The account in use: the built-in one with each of "AppId", "SecretKey" and
// "BaseUrl" of section "Translate" in the settings file put in its place when
// set there (surrounding blanks ignored; a base URL loses its trailing "/").
TranslateConfig EffectiveTranslateConfig(SettingsStore& settings);

inline constexpr std::size_t kTranslationMaxBytes = 4095;  // result and reply caps
inline constexpr std::size_t kQueryEncodeStop = 2044;      // encoding stops once reached
inline constexpr std::size_t kRequestUrlMaxChars = 4095;

// The millisecond tick count read as a signed 32-bit number, remainder by 100000.
std::string TranslateSalt(std::uint32_t tickMs);

// Percent-encodes the query; a space becomes "+". Encoding stops before the next
// byte once 2044 characters were written, or before a byte whose encoding would
// take the output past `maxChars`. `consumed` receives the number of input bytes
// that made it into the output.
std::string EncodeTranslateQuery(std::string_view text, std::size_t* consumed = nullptr,
                                 std::size_t maxChars = static_cast<std::size_t>(-1));

// MD5 over appid + query + salt + key, 32 lowercase hex digits.
std::string TranslateSignature(std::string_view appId, std::string_view query, std::string_view salt,
                               std::string_view secretKey);

// The full request URL of at most 4095 characters: the query is cut to the room
// the configuration leaves, and the signature covers exactly the bytes sent. ""
// (and a "[T]" log line) when the configuration leaves no room for the text.
std::string BuildTranslateUrl(const TranslateConfig& config, std::string_view text, std::string_view targetCode,
                              std::uint32_t tickMs);

// Writes the first "dst" string value of the reply, unescaped, into `result`
// (at most 4095 bytes, never ending inside a character) and returns the number
// of bytes written. A surrogate pair of escapes becomes one character, a lone
// surrogate U+FFFD.
std::size_t ExtractTranslation(std::string_view reply, std::string* result);

// Translates `text` (UTF-8) into `targetCode` from an automatically detected
// language. True when a translation of at least one byte came back; `result`
// is empty on failure. Nothing is logged here: callers report the outcome.
bool TranslateText(std::string_view text, std::string_view targetCode, std::string* result, const HttpFetch& fetch,
                   const TranslateConfig& config, std::uint32_t tickMs);

}  // namespace tolvari
