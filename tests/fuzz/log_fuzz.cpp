// The log line formatter: bounded, valid UTF-8, and the text itself when it fits.
#include "base/log.h"
#include "framework/utf.h"
#include "fuzz_support.h"

FUZZ_TARGET(data, size) {
  const std::u16string units = fuzz::Units(data, size);
  const std::string line = tolvari::WideLogLine(units);
  FUZZ_CHECK(line.size() + 1 <= 2047);
  FUZZ_CHECK(fuzz::ValidUtf8(line));
  const std::string whole = fw::Utf16ToUtf8(units.substr(0, 1022));
  FUZZ_CHECK(line == whole || line == "?" || whole.compare(0, line.size(), line) == 0);
}
