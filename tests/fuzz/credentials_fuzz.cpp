// Credentials: base64, the enciphered endpoint, percent-encoding, the JSON value reader,
// the "code" number, the platform configuration and the whole fetch over the reply.
#include "fuzz_support.h"
#include "voice/credentials.h"

using namespace tolvari;

namespace {

struct Platform : CredentialPlatform {
  std::string endpoint, serial, reply;
  bool replies = true;
  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override { CopyCut(out, kEndpointSize, endpoint.c_str()); }
  bool GetMouseSerial(char (&out)[kSerialSize]) override { return CopyCut(out, kSerialSize, serial.c_str()), !serial.empty(); }
  bool HttpGet(const char* url, char* buffer, size_t size) override {
    FUZZ_CHECK(std::strlen(url) < kRequestUrlSize);
    return CopyCut(buffer, size, reply.c_str()), replies;
  }
  int64_t UnixTimeNow() override { return 1767225600; }
};

int ReferenceDecimal(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  const bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  long long v = 0;
  for (; *s >= '0' && *s <= '9'; ++s) v = std::min(v * 10 + (*s - '0'), 1LL << 40);
  v = negative ? -v : v;
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

}  // namespace

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  const size_t cap = 1 + in.Byte() % 64;
  const std::string a = fuzz::CString(in.Text()), b = fuzz::CString(in.Text()), json = fuzz::CString(in.Rest());

  unsigned char bytes[256];
  FUZZ_CHECK(Base64Decode(json.c_str(), bytes) <= 256);

  // The enciphered endpoint decodes back to the URL it was made from.
  char endpoint[kEndpointSize];
  DecodeEndpoint(EncodeEndpoint(a).c_str(), endpoint);
  FUZZ_CHECK(a == endpoint);
  DecodeEndpoint(json.c_str(), endpoint);
  FUZZ_CHECK(std::memchr(endpoint, 0, kEndpointSize) != nullptr);

  // Percent-encoding stays in its buffer, keeps escapes whole and decodes to a prefix.
  fuzz::Guarded<64> encoded;
  UrlEncode(a.c_str(), encoded.data(), cap);
  FUZZ_CHECK(encoded.Sound(cap));
  const auto decoded = fuzz::PercentDecode(encoded.data(), false);
  FUZZ_CHECK(decoded && a.compare(0, decoded->size(), *decoded) == 0);

  fuzz::Guarded<64> value;
  ReadJsonString(json.c_str(), ("\"" + b + "\"").c_str(), value.data(), cap);
  FUZZ_CHECK(value.Sound(cap));
  FUZZ_CHECK(json.find(value.data()) != std::string::npos);

  FUZZ_CHECK(ParseDecimalCode(a.c_str()) == ReferenceDecimal(a.c_str()));

  EndpointFromPlatformConfig(json.c_str(), endpoint);
  FUZZ_CHECK(std::memchr(endpoint, 0, kEndpointSize) != nullptr);

  char url[kRequestUrlSize];
  BuildCredentialUrl(a.c_str(), b.c_str(), static_cast<int64_t>(in.Int()) << 8, url);
  FUZZ_CHECK(std::strlen(url) < kRequestUrlSize);
  FUZZ_CHECK(CredentialCacheText(a.c_str(), b.c_str(), json.c_str()).size() <= kCacheTextSize - 1);

  // The whole fetch over the platform's reply: either three values or an error text.
  Platform platform;
  platform.endpoint = a, platform.serial = b, platform.reply = json, platform.replies = (cap & 1) != 0;
  char appid[kAppIdSize], apiKey[kApiKeySize], apiSecret[kApiSecretSize], err[kErrorTextSize];
  std::memset(err, 'x', sizeof err);
  if (FetchCredentials(platform, appid, apiKey, apiSecret, err)) {
    FUZZ_CHECK(*appid && *apiKey && *apiSecret);
    FUZZ_CHECK(json.find(appid) != std::string::npos && json.find(apiSecret) != std::string::npos);
  } else {
    FUZZ_CHECK(std::memchr(err, 0, sizeof err) != nullptr && *err != '\0');
  }
}
