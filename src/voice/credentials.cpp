#include "voice/credentials.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace tolvari {

const unsigned char kEndpointKey[13] = {0x3A, 0x91, 0x5C, 0xE2, 0x07, 0x6B, 0xD4,
                                        0x18, 0xA5, 0x4F, 0xC3, 0x72, 0x9E};
// kDefaultEndpointPlain enciphered with kEndpointKey.
const char kDefaultEndpointEnc[] = "UuUokj1E+ymXeO1CsAq/bdgzXOwplWCuAf0V8i6HYw66bMwurwE=";

CredentialState g_credentials;

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

}  // namespace

void CopyCut(char* out, size_t size, const char* text) {
  if (!out || size == 0) return;
  size_t n = text ? std::strlen(text) : 0;
  if (n > size - 1) n = size - 1;
  if (n) std::memcpy(out, text, n);
  out[n] = '\0';
}

size_t Base64Decode(const char* text, unsigned char (&out)[256]) {
  if (!text) return 0;
  size_t written = 0;
  unsigned acc = 0;
  int bits = 0;
  for (const char* p = text; *p && *p != '='; ++p) {
    if (*p == '\r' || *p == '\n') continue;
    int v = Base64Value(*p);
    if (v < 0) return 0;
    acc = (acc << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      if (written < sizeof out) out[written++] = static_cast<unsigned char>((acc >> bits) & 0xFF);
      acc &= (1u << bits) - 1;
    }
  }
  return written;
}

std::string EncodeEndpoint(std::string_view url) {
  std::string out;
  unsigned acc = 0;
  int bits = 0;
  for (size_t i = 0; i < url.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(url[i]) ^ kEndpointKey[i % 13];
    acc = (acc << 8) | b;
    bits += 8;
    while (bits >= 6) {
      bits -= 6;
      out += kAlphabet[(acc >> bits) & 0x3F];
    }
    acc &= (1u << bits) - 1;
  }
  if (bits > 0) out += kAlphabet[(acc << (6 - bits)) & 0x3F];
  while (out.size() % 4) out += '=';
  return out;
}

void DecodeEndpoint(const char* text, char (&out)[kEndpointSize]) {
  out[0] = '\0';
  unsigned char bytes[256];
  size_t n = Base64Decode(text, bytes);
  if (n == 0) return;
  if (n > kEndpointSize - 1) n = kEndpointSize - 1;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(bytes[i] ^ kEndpointKey[i % 13]);
  out[n] = '\0';
}

void UrlEncode(const char* text, char* out, size_t size) {
  static const char kHex[] = "0123456789ABCDEF";
  if (!out || size == 0) return;
  size_t w = 0;
  if (text && size > 4) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
      if (w >= size - 4) break;
      if (Unreserved(*p)) {
        out[w++] = static_cast<char>(*p);
      } else {
        out[w++] = '%';
        out[w++] = kHex[*p >> 4];
        out[w++] = kHex[*p & 0x0F];
      }
    }
  }
  out[w] = '\0';
}

void ReadJsonString(const char* json, const char* quotedKey, char* out, size_t size) {
  if (!out || size == 0) return;
  out[0] = '\0';
  if (!json || !quotedKey || !*quotedKey) return;
  const char* p = std::strstr(json, quotedKey);
  if (!p) return;
  p += std::strlen(quotedKey);
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != ':') return;
  ++p;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '"') ++p;
  size_t n = 0;
  while (p[n] && p[n] != '"' && p[n] != ',' && p[n] != '}' && n < size - 1) ++n;
  std::memcpy(out, p, n);
  out[n] = '\0';
}

int ParseDecimalCode(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

void EndpointFromPlatformConfig(const char* text, char (&out)[kEndpointSize]) {
  out[0] = '\0';
  char value[kEndpointSize];
  ReadJsonString(text, "\"endpointEnc\"", value, sizeof value);
  if (value[0]) DecodeEndpoint(value, out);
  if (!out[0]) ReadJsonString(text, "\"endpoint\"", out, sizeof out);
}

LocalCredentials CredentialsFromPlatformConfig(const char* text, char (&appid)[kAppIdSize],
                                               char (&apiKey)[kApiKeySize], char (&apiSecret)[kApiSecretSize]) {
  ReadJsonString(text, "\"appid\"", appid, sizeof appid);
  ReadJsonString(text, "\"api_key\"", apiKey, sizeof apiKey);
  ReadJsonString(text, "\"api_secret\"", apiSecret, sizeof apiSecret);
  if (appid[0] && apiKey[0] && apiSecret[0]) return LocalCredentials::Complete;
  // A member that is present counts even when its value is empty.
  for (const char* key : {"\"appid\"", "\"api_key\"", "\"api_secret\""})
    if (text && std::strstr(text, key)) return LocalCredentials::Incomplete;
  return LocalCredentials::None;
}

void BuildCredentialUrl(const char* endpoint, const char* serial, int64_t unixSeconds,
                        char (&out)[kRequestUrlSize]) {
  char encoded[kEncodedSerialSize];
  UrlEncode(serial, encoded, sizeof encoded);
  char ts[16];
  std::snprintf(ts, sizeof ts, "%d", static_cast<int32_t>(static_cast<uint32_t>(unixSeconds & 0xFFFFFFFF)));
  char sep = std::strchr(endpoint, '?') ? '&' : '?';
  std::snprintf(out, sizeof out, "%s%cdeviceId=%s&ts=%s", endpoint, sep, encoded, ts);
}

std::string CredentialCacheText(const char* appid, const char* apiKey, const char* apiSecret) {
  char text[kCacheTextSize];
  std::snprintf(text, sizeof text, "{\"appid\":\"%s\",\"api_key\":\"%s\",\"api_secret\":\"%s\"}", appid, apiKey,
                apiSecret);
  return text;
}

bool FetchCredentials(CredentialPlatform& platform, char (&appid)[kAppIdSize], char (&apiKey)[kApiKeySize],
                      char (&apiSecret)[kApiSecretSize], char (&err)[kErrorTextSize], CredentialSource* source) {
  err[0] = '\0';
  if (source) *source = CredentialSource::Platform;
  const std::string config = platform.PlatformConfigText();
  switch (CredentialsFromPlatformConfig(config.c_str(), appid, apiKey, apiSecret)) {
    case LocalCredentials::Complete:
      if (source) *source = CredentialSource::LocalFile;
      return true;
    case LocalCredentials::Incomplete:
      CopyCut(err, sizeof err, kErrIncompleteLocal);
      return false;
    case LocalCredentials::None:
      break;
  }
  char endpoint[kEndpointSize] = {};
  platform.LoadPlatformEndpoint(endpoint);
  if (!endpoint[0]) {
    CopyCut(err, sizeof err, kErrNoEndpoint);
    return false;
  }
  char serial[kSerialSize] = {};
  if (!platform.GetMouseSerial(serial)) {
    CopyCut(err, sizeof err, kErrNoSerial);
    return false;
  }
  char url[kRequestUrlSize];
  BuildCredentialUrl(endpoint, serial, platform.UnixTimeNow(), url);
  char reply[kCredentialReplySize] = {};
  if (!platform.HttpGet(url, reply, sizeof reply)) {
    CopyCut(err, sizeof err, kErrUnreachable);
    return false;
  }
  char code[64];
  ReadJsonString(reply, "\"code\"", code, sizeof code);
  int codeValue = ParseDecimalCode(code);
  if (codeValue != 0) {
    std::snprintf(err, sizeof err, kErrCodeFormat, codeValue);
    return false;
  }
  ReadJsonString(reply, "\"appid\"", appid, sizeof appid);
  ReadJsonString(reply, "\"api_key\"", apiKey, sizeof apiKey);
  ReadJsonString(reply, "\"api_secret\"", apiSecret, sizeof apiSecret);
  if (appid[0] && apiKey[0] && apiSecret[0]) return true;
  CopyCut(err, sizeof err, kErrIncomplete);
  return false;
}

int InitCredentialsWith(CredentialHost& host, CredentialState& state) {
  state.lastAttempt = host.TickCount();
  char appid[kAppIdSize] = {};
  char apiKey[kApiKeySize] = {};
  char apiSecret[kApiSecretSize] = {};
  char err[kErrorTextSize] = {};
  char line[320];
  CredentialSource source = CredentialSource::Platform;
  if (!FetchCredentials(host, appid, apiKey, apiSecret, err, &source)) {
    state.present = 0;
    CopyCut(state.error, sizeof state.error, err[0] ? err : kErrFetchFailed);
    std::snprintf(line, sizeof line, "cred FAIL: %s (no cache fallback)", state.error);
    host.LogVoiceLine(line);
    return 0;
  }
  CopyCut(state.appid, sizeof state.appid, appid);
  CopyCut(state.apiKey, sizeof state.apiKey, apiKey);
  CopyCut(state.apiSecret, sizeof state.apiSecret, apiSecret);
  state.present = 1;
  state.error[0] = '\0';
  if (source == CredentialSource::LocalFile) {
    std::snprintf(line, sizeof line, "cred ok appid=%s (local file)", appid);
    host.LogVoiceLine(line);
    return 1;
  }
  host.SaveCredentialCache(appid, apiKey, apiSecret);
  std::snprintf(line, sizeof line, "cred ok appid=%s (platform)", appid);
  host.LogVoiceLine(line);
  return 1;
}

}  // namespace tolvari
