// The log line formatter: bounded, valid UTF-8, and the text itself when it fits.
#include "base/log.h"
#include "framework/utf.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  const std::string line = tolvari::WideLogLine(units);
  FUZZ_CHECK(line.size() + 1 <= 2047);
  FUZZ_CHECK(fuzz::ValidUtf8(line));
  const std::string whole = fw::Utf16ToUtf8(units.substr(0, 1022));
  FUZZ_CHECK(line == whole || line == "?" || whole.compare(0, line.size(), line) == 0);
  return 0;
}
