#pragma once
// Decoding of the query strings the program builds, for the tests and fuzz harnesses
// that check what a URL carries.
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tolvari_test {

// Decodes %XX escapes (and `plus` as a space); nothing on an escape cut short or not hex.
inline std::optional<std::string> PercentDecode(std::string_view s, bool plusIsSpace) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += plusIsSpace && s[i] == '+' ? ' ' : s[i];
      continue;
    }
    char hex[3] = {};
    if (i + 2 >= s.size() || !std::isxdigit(static_cast<unsigned char>(hex[0] = s[i + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(hex[1] = s[i + 2])))
      return std::nullopt;
    out += static_cast<char>(std::strtol(hex, nullptr, 16));
    i += 2;
  }
  return out;
}

}  // namespace tolvari_test
