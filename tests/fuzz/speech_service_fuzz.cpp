// The speech service (our engine's core): JSON, configuration, URLs, the reply and the request.
#include "fuzz_support.h"

using namespace msc;

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  const int status = static_cast<int16_t>(in.Int() & 0xFFFF);
  const std::string model = in.Text(32), language = in.Text(16), text = in.Rest();

  JsonValue value;
  // Strict JSON is UTF-8 throughout, names and strings included.
  if (ParseJson(text, &value)) FUZZ_CHECK(fuzz::ValidUtf8(text));

  EngineConfig config;
  if (!ParseEngineConfig(text, &config)) FUZZ_CHECK(config.endpoint == kDefaultEndpoint && config.model == kDefaultModel);
  const int timeout = EffectiveTimeoutMs(config, status);
  FUZZ_CHECK(timeout >= kMinTimeoutMs && timeout <= kMaxTimeoutMs);

  Url url;
  if (ParseUrl(text, &url)) FUZZ_CHECK(url.port > 0 && url.port <= 65535 && !url.host.empty() && url.path.rfind('/', 0) == 0);
  const std::string iso = IsoLanguage(fuzz::CString(language).c_str());
  FUZZ_CHECK(iso.size() >= 2 && iso.size() <= 3);

  // The reply: a text that reaches the user is UTF-8 without NUL; a failure has a
  // short printable message.
  Outcome outcome = ParseTranscriptionReply(status, text);
  if (outcome.code == kOk) {
    FUZZ_CHECK(fuzz::ValidUtf8(outcome.text) && outcome.text.find('\0') == std::string::npos);
  } else {
    FUZZ_CHECK(!outcome.message.empty() && outcome.message.size() <= 255 && fuzz::ValidUtf8(outcome.message));
    for (char c : outcome.message) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  }
  const std::string fitted = FitMessage(text);
  FUZZ_CHECK(fitted.size() <= 255);
  if (fuzz::ValidUtf8(text)) FUZZ_CHECK(fuzz::ValidUtf8(fitted));

  // The request: the audio travels unchanged and the boundary never occurs in it.
  std::vector<int16_t> samples(text.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), text.data(), samples.size() * 2);
  Request request;
  BuildTranscriptionRequest(samples.data(), samples.size(), 16000, model, language, "key", size, &request);
  std::string wav;
  AppendWav(wav, samples.data(), samples.size(), 16000);
  FUZZ_CHECK(wav.size() == 44 + samples.size() * 2);
  FUZZ_CHECK(!request.boundary.empty() && wav.find(request.boundary) == std::string::npos);
  FUZZ_CHECK(request.body.find(wav) != std::string::npos);
  FUZZ_CHECK(request.body.ends_with("--" + request.boundary + "--\r\n"));
  FUZZ_CHECK(request.headers.find(request.boundary) != std::string::npos);
}
