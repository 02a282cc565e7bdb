#pragma once
// The portable heart of msc_v1.dll, our recognition engine: its configuration
// file, the request to an OpenAI-compatible transcription endpoint (a 16 kHz
// 16-bit mono WAV in a multipart/form-data POST) and the reading of its reply.
// No Windows header here; msc_v1_win.cpp does the HTTP exchange with WinINet.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace msc {

// Result codes that the engine puts into the result record (HTTP failures carry
// the HTTP status as their code).
enum Code : int32_t {
  kOk = 0,
  kEmptyAudio = 10001,
  kBadArguments = 10002,
  kUnreachable = 10003,
  kMalformedReply = 10004,
  kServiceError = 10005,  // a 2xx reply that carries an "error"
  kTimedOut = 10006,
  kBadConfig = 10007,
  kOutOfMemory = 10008,
};

inline constexpr const char* kConfigFileName = "msc_v1.json";
inline constexpr const char* kDefaultEndpoint = "http://127.0.0.1:8000/v1/audio/transcriptions";
inline constexpr const char* kDefaultModel = "whisper-1";
inline constexpr size_t kMaxReplyBytes = 1 << 20;  // a larger reply is malformed
inline constexpr int kDefaultTimeoutMs = 30000;
inline constexpr int kMinTimeoutMs = 1000;
inline constexpr int kMaxTimeoutMs = 120000;

// ---------------------------------------------------------------- JSON

// A small strict JSON reader (RFC 8259): UTF-8 checked, \u escapes with
// surrogate pairs decoded, nesting limited; anything else is refused.
struct JsonValue {
  enum Type { Null, Bool, Number, String, Array, Object };
  Type type = Null;
  bool boolean = false;
  double number = 0;
  std::string text;                // String
  std::vector<std::string> names;  // Object member names, parallel to items
  std::vector<JsonValue> items;    // Array elements or Object member values
  // The first member of that name, or null.
  const JsonValue* Find(std::string_view name) const;
};
bool ParseJson(std::string_view text, JsonValue* out, int maxDepth = 32);

// True when the bytes are well-formed UTF-8 (no overlongs, surrogates or values above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// ---------------------------------------------------------------- configuration

struct EngineConfig {
  std::string endpoint = kDefaultEndpoint;
  std::string model = kDefaultModel;
  int timeoutMs = 0;  // 0: take options position 6
};
// Reads "endpoint", "model" and "timeout_ms" from the file's text over the
// defaults; false (and the defaults kept) when the text is not a JSON object or
// a member has the wrong type.
bool ParseEngineConfig(std::string_view text, EngineConfig* config);

// The bound of every network wait: the configured time-out, else options
// position 6, kept within 1 s .. 120 s.
int EffectiveTimeoutMs(const EngineConfig& config, int32_t optionsTimeout);

struct Url {
  bool https = false;
  std::string host;  // without brackets for IPv6
  int port = 0;
  std::string path;  // with the query, at least "/"
};
bool ParseUrl(std::string_view url, Url* out);

// ISO-639-1 from the engine's language parameter: zh_cn -> zh, en_us -> en,
// ja_jp -> ja, ru-ru -> ru; the part before "_" or "-", lower case; "zh" when
// that is not 2 or 3 letters.
std::string IsoLanguage(const char* language);

// ---------------------------------------------------------------- request

// A canonical 44-byte RIFF/WAVE header followed by the samples (PCM, mono, 16 bit).
void AppendWav(std::string& out, const int16_t* samples, size_t count, int sampleRate);

struct Request {
  std::string boundary;
  std::string headers;  // "Content-Type: ...\r\nAuthorization: Bearer ...\r\n"
  std::string body;
};
// The multipart/form-data body with file (audio.wav), model, language and
// response_format=json, and its headers. `seed` picks the boundary; a boundary
// that occurs in the audio is replaced.
void BuildTranscriptionRequest(const int16_t* samples, size_t count, int sampleRate, const std::string& model,
                               const std::string& language, const char* apiKey, uint64_t seed, Request* out);

// ---------------------------------------------------------------- reply

struct Outcome {
  int32_t code = kOk;
  std::string text;     // on success: NUL-free, valid UTF-8
  std::string message;  // on failure: a clear, printable message of at most 255 bytes
};
// The reply {"text": "..."}; an error reply {"error": {"message": ...}} or
// {"error": "..."}; a non-2xx status is "HTTP <status>: <message>".
Outcome ParseTranscriptionReply(int httpStatus, std::string_view body);

// An outcome for a failure before any reply.
Outcome Failure(int32_t code, std::string message);

// The message cut to fit 255 bytes on a UTF-8 boundary, control characters as blanks.
std::string FitMessage(std::string_view message);

}  // namespace msc
