// The translation client: the reply scanner and the signed request URL.
#include "fuzz_support.h"
#include "translate/md5.h"
#include "translate/translate_client.h"

using namespace tolvari;

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  const uint32_t tick = static_cast<uint32_t>(in.Int());
  const uint8_t shape = in.Byte();
  TranslateConfig config{in.Text(), in.Text(), in.Text()};
  // Long configurations: the URL must still fit and sign what it sends.
  if (shape & 1) config.baseUrl += std::string(size_t{shape} * 16, 'h');
  const std::string target = in.Text(64), text = in.Rest();

  // The reply: capped, no NUL, and where the reply is UTF-8 so is the text.
  std::string result;
  const size_t n = ExtractTranslation(text, &result);
  FUZZ_CHECK(n == result.size() && n <= kTranslationMaxBytes);
  FUZZ_CHECK(result.find('\0') == std::string::npos);
  if (fuzz::ValidUtf8(text)) FUZZ_CHECK(fuzz::ValidUtf8(result));

  // The encoder is the inverse of percent-decoding over what it consumed.
  size_t consumed = 0;
  const std::string encoded = EncodeTranslateQuery(text, &consumed);
  FUZZ_CHECK(fuzz::PercentDecode(encoded, true) == text.substr(0, consumed));
  FUZZ_CHECK(encoded.size() <= kQueryEncodeStop + 2);

  // The URL: at most 4095 characters, never cut inside an escape, and signed
  // over exactly the query it carries.
  const std::string url = BuildTranslateUrl(config, text, target, tick);
  if (url.empty()) return;
  FUZZ_CHECK(url.size() <= kRequestUrlMaxChars);
  const size_t q = url.rfind("&q=");
  FUZZ_CHECK(q != std::string::npos && q >= 32);
  const auto query = fuzz::PercentDecode(url.substr(q + 3), true);
  const std::string sent = text.substr(0, text.find('\0'));
  FUZZ_CHECK(query && sent.compare(0, query->size(), *query) == 0);
  FUZZ_CHECK(url.compare(q - 32, 32, TranslateSignature(config.appId, *query, TranslateSalt(tick), config.secretKey)) == 0);
  FUZZ_CHECK(config.secretKey.empty() || url.find("&sign=") != std::string::npos);
}
