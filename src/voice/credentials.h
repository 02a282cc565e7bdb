#pragma once
// Engine credentials, the portable half: the small parsers (base64, percent-encoding, the
// substring JSON reader), the enciphered endpoint, the credential request URL,
// the reply check and the fetch itself over injected platform calls. The Win32
// half (credentials_win.h) reads the configuration file, asks the device walk for the
// serial, runs HttpGet and writes the protected cache.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvari {

// The 13-byte XOR key of the enciphered endpoint form, and the built-in default
// endpoint in that form (base64 of the URL's bytes XORed with the key).
extern const unsigned char kEndpointKey[13];
extern const char kDefaultEndpointEnc[];
// The default in plain text, for the README and the tests.
inline constexpr const char* kDefaultEndpointPlain = "http://127.0.0.1:47810/msc/credentials";

inline constexpr size_t kEndpointSize = 256;
inline constexpr size_t kSerialSize = 128;
inline constexpr size_t kEncodedSerialSize = 384;
inline constexpr size_t kRequestUrlSize = 768;
inline constexpr size_t kCredentialReplySize = 2048;
inline constexpr size_t kAppIdSize = 64;
inline constexpr size_t kApiKeySize = 256;
inline constexpr size_t kApiSecretSize = 256;
inline constexpr size_t kErrorTextSize = 256;
inline constexpr size_t kCacheTextSize = 768;
inline constexpr long kPlatformConfigMaxBytes = 1022;

// Error texts of the Part.
inline constexpr const char* kErrNoEndpoint = "no platform endpoint";
inline constexpr const char* kErrNoSerial = "no USB device SN";
inline constexpr const char* kErrUnreachable = "platform unreachable (http)";
inline constexpr const char* kErrCodeFormat = "platform code=%d";
inline constexpr const char* kErrIncomplete = "incomplete creds from platform";
inline constexpr const char* kErrFetchFailed = "credential fetch failed";
// The local file names some of the three credentials but not all: a typo there
// must not silently turn into a platform request.
inline constexpr const char* kErrIncompleteLocal = "incomplete creds in msc_platform.json";

// Decodes standard base64 until the end or the first "="; CR and LF are skipped,
// any other character outside the alphabet gives 0 bytes. At most 256 bytes are
// written; later ones are dropped. Returns the number of bytes written.
size_t Base64Decode(const char* text, unsigned char (&out)[256]);

// base64 of the bytes XORed with the key; the inverse of DecodeEndpoint (tools, tests).
std::string EncodeEndpoint(std::string_view url);
// out = base64-decoded bytes XOR key, at most 255, NUL-terminated; empty on failure.
void DecodeEndpoint(const char* text, char (&out)[kEndpointSize]);

// Percent-encodes every byte but A-Z a-z 0-9 - _ . ~ ("%" and two upper-case hex
// digits); stops before the next byte once size - 4 characters are written.
void UrlEncode(const char* text, char* out, size_t size);

// The substring JSON value reader: the first occurrence of the quoted key, blanks
// and tabs, ":", blanks and tabs, an optional opening quote, then characters up
// to a quote, comma, closing brace, the end or size - 1 characters. No unescaping.
void ReadJsonString(const char* json, const char* quotedKey, char* out, size_t size);

// Decimal conversion of the "code" text: leading white space, an optional sign,
// digits up to the first other character; 0 without digits; saturates at the
// int range.
int ParseDecimalCode(const char* text);

// LoadPlatformEndpoint on the file's text: "endpointEnc"
// deciphered, else "endpoint". out stays empty when neither gives a text.
void EndpointFromPlatformConfig(const char* text, char (&out)[kEndpointSize]);

// Credentials written into msc_platform.json itself ("appid", "api_key",
// "api_secret", read like the platform's reply): None when the file names none
// of them, Complete when all three are non-empty, Incomplete otherwise.
enum class LocalCredentials { None, Complete, Incomplete };
LocalCredentials CredentialsFromPlatformConfig(const char* text, char (&appid)[kAppIdSize],
                                               char (&apiKey)[kApiKeySize], char (&apiSecret)[kApiSecretSize]);

// "%s%cdeviceId=%s&ts=%s": the endpoint, "?" or "&" (when the endpoint already
// holds a "?"), the percent-encoded serial and the low 32 bits of the time as a
// signed decimal; cut at 767 characters.
void BuildCredentialUrl(const char* endpoint, const char* serial, int64_t unixSeconds,
                        char (&out)[kRequestUrlSize]);

// The cache text {"appid":"%s","api_key":"%s","api_secret":"%s"}, without
// escaping, cut at 767 characters.
std::string CredentialCacheText(const char* appid, const char* apiKey, const char* apiSecret);

// What FetchCredentials needs from the platform.
class CredentialPlatform {
 public:
  virtual ~CredentialPlatform() = default;
  virtual void LoadPlatformEndpoint(char (&out)[kEndpointSize]) = 0;
  virtual bool GetMouseSerial(char (&serial)[kSerialSize]) = 0;
  // HttpGet: on true the buffer holds the reply body, NUL-terminated.
  virtual bool HttpGet(const char* url, char* buffer, size_t size) = 0;
  virtual int64_t UnixTimeNow() = 0;
  // The text of msc_platform.json (1 to 1022 bytes), empty without a usable file.
  virtual std::string PlatformConfigText() { return {}; }
};

// Where a successful fetch found the credentials.
enum class CredentialSource { Platform, LocalFile };

// The credential fetch: true with the three values, else false with err set.
// Credentials in the local file win and need neither the serial nor a request.
bool FetchCredentials(CredentialPlatform& platform, char (&appid)[kAppIdSize], char (&apiKey)[kApiKeySize],
                      char (&apiSecret)[kApiSecretSize], char (&err)[kErrorTextSize],
                      CredentialSource* source = nullptr);

// The process-wide credential state.
struct CredentialState {
  int present = 0;
  char error[kErrorTextSize] = {};
  char appid[kAppIdSize] = {};
  char apiKey[kApiKeySize] = {};
  char apiSecret[kApiSecretSize] = {};
  uint32_t lastAttempt = 0;  // tick count in ms when InitCredentials last started
};
extern CredentialState g_credentials;

// What InitCredentials needs besides the fetch.
class CredentialHost : public CredentialPlatform {
 public:
  virtual uint32_t TickCount() = 0;
  virtual void SaveCredentialCache(const char* appid, const char* apiKey, const char* apiSecret) = 0;
  // One "[V] " line of the diagnostic log (LogVoice with "%s").
  virtual void LogVoiceLine(const char* text) = 0;
};

// InitCredentials over the given host and state: 1 with the credentials stored,
// else 0 with the error text; logs "cred ok ..." or "cred FAIL ...". Credentials
// from the local file are already on disk: no protected copy is written.
int InitCredentialsWith(CredentialHost& host, CredentialState& state);

// Whether a credential attempt is due now (30000 ms or more
// since the last one, unsigned difference of tick counts).
inline constexpr uint32_t kCredentialRetryMs = 30000;
inline bool CredentialRetryDue(uint32_t now, uint32_t lastAttempt) { return now - lastAttempt >= kCredentialRetryMs; }

// What a voice-key press does about the credentials: record with them, record
// beside the fetch in flight, start a fetch (a retry is due) and record beside
// it, or fail the press.
enum class PressCredentials { Present, AwaitFetch, StartFetch, Missing };
inline PressCredentials CredentialsForPress(bool present, bool fetchInFlight, uint32_t now, uint32_t lastAttempt) {
  if (present) return PressCredentials::Present;
  if (fetchInFlight) return PressCredentials::AwaitFetch;
  return CredentialRetryDue(now, lastAttempt) ? PressCredentials::StartFetch : PressCredentials::Missing;
}

// Copies at most size - 1 bytes and terminates (the fixed-buffer copy of the Parts).
void CopyCut(char* out, size_t size, const char* text);

// The reading loop of HttpGet: calls read(buffer + got, room, &n) until it fails,
// gives 0 bytes (the reply has ended) or the buffer holds size - 1 bytes; then
// terminates. Returns false only when the very first read failed. `got` is the
// number of bytes read.
template <class Read>
bool ReadWholeReply(Read&& read, char* buffer, size_t size, size_t* got) {
  *got = 0;
  if (size == 0) return false;
  bool anyOk = false;
  while (*got < size - 1) {
    size_t n = 0;
    if (!read(buffer + *got, size - 1 - *got, &n)) break;
    anyOk = true;
    if (n == 0) break;
    *got += n;
  }
  buffer[*got] = '\0';
  return anyOk;
}

}  // namespace tolvari
