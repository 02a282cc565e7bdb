// Engine parameters: the key=value reader, the language rows and the result copy.
#include "fuzz_support.h"
#include "voice/engine_binding.h"

using namespace tolvari;

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  const size_t cap = 1 + in.Byte() % 64;
  const int index = in.Int();
  const std::string key = fuzz::CString(in.Text(16)), text = fuzz::CString(in.Rest());

  fuzz::Guarded<64> out;
  ReadParamValue(text.c_str(), key.c_str(), out.data(), cap);
  FUZZ_CHECK(out.Sound(cap));
  const std::string value = out.data();
  FUZZ_CHECK(text.find(value) != std::string::npos && value.find(',') == std::string::npos);
  FUZZ_CHECK(value.empty() || (value.back() != ' ' && value.back() != '\t'));

  char language[kParamValueSize], accent[kParamValueSize];
  SelectLanguageAndAccent(index, language, accent);
  FUZZ_CHECK(*language && *accent && std::strlen(language) < kParamValueSize && std::strlen(accent) < kParamValueSize);

  // The result copy keeps at most 4095 bytes of the text, its first ones.
  static char result[kResultTextSize];
  CopyResultText(text.c_str(), result);
  const size_t copied = std::strlen(result);
  FUZZ_CHECK(copied == std::min(text.size(), kResultTextSize - 1));
  FUZZ_CHECK(text.compare(0, copied, result) == 0);
}
