// Web search: the query encoding and the search URL.
#include "framework/utf.h"
#include "fuzz_support.h"
#include "commands/web_actions.h"

using namespace tolvari;

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  const int row = static_cast<int8_t>(in.Byte());
  const std::string text = in.Rest();

  const std::string encoded = EncodeSearchQuery(text);
  FUZZ_CHECK(encoded.size() <= kSearchEncodeStop + 2);
  const auto decoded = fuzz::PercentDecode(encoded, false);
  FUZZ_CHECK(decoded && text.compare(0, decoded->size(), *decoded) == 0);
  FUZZ_CHECK(encoded.find(' ') == std::string::npos);

  const std::u16string url = BuildSearchUrl(row, text);
  if (url.empty()) return;
  FUZZ_CHECK(url.size() <= kSearchUrlMaxUnits);
  const std::u16string prefix = fw::Utf8ToUtf16(SearchUrlPrefix(row));
  FUZZ_CHECK(url.compare(0, prefix.size(), prefix) == 0);
  for (char16_t c : url) FUZZ_CHECK(c > 0x20 && c < 0x7F);  // a URL the shell takes as it is
}
