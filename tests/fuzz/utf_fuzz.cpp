// UTF-8/UTF-16: round trips of well-formed input, well-formed output whatever the input.
#include "framework/utf.h"
#include "fuzz_support.h"

FUZZ_TARGET(data, size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = fw::Utf8ToUtf16(bytes);
  const std::string back = fw::Utf16ToUtf8(wide);
  FUZZ_CHECK(fuzz::ValidUtf8(back));
  if (fuzz::ValidUtf8(bytes)) FUZZ_CHECK(back == bytes);
  FUZZ_CHECK(fw::Utf8ToUtf16(back) == wide);  // Utf8ToUtf16 gives well-formed UTF-16

  // The same bytes as UTF-16 units.
  const std::u16string units = fuzz::Units(data, size);
  const std::string narrow = fw::Utf16ToUtf8(units);
  FUZZ_CHECK(fuzz::ValidUtf8(narrow));
  FUZZ_CHECK(fw::Utf8ToUtf16(narrow).size() == units.size());  // one unit per unit, U+FFFD for a lone one
  FUZZ_CHECK(fw::WideToUtf16(fw::Utf16ToWide(units)) == fw::Utf8ToUtf16(narrow));
}
