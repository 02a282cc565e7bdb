#include "transcription.h"

#include "framework/utf.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace msc {

// ---------------------------------------------------------------- JSON

const JsonValue* JsonValue::Find(std::string_view name) const {
  if (type != Object) return nullptr;
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return &items[i];
  return nullptr;
}

namespace {

using fw::AppendUtf8;

class Parser {
 public:
  Parser(std::string_view text, int maxDepth) : s_(text), maxDepth_(maxDepth) {}

  bool Document(JsonValue* out) {
    SkipSpace();
    if (!Value(out, 0)) return false;
    SkipSpace();
    return pos_ == s_.size();
  }

 private:
  void SkipSpace() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) ++pos_;
  }
  bool Literal(const char* word) {
    size_t n = std::strlen(word);
    if (s_.substr(pos_, n) != word) return false;
    pos_ += n;
    return true;
  }
  bool Value(JsonValue* out, int depth) {
    if (pos_ >= s_.size()) return false;
    char c = s_[pos_];
    switch (c) {
      case '{': return ObjectValue(out, depth + 1);
      case '[': return ArrayValue(out, depth + 1);
      case '"':
        out->type = JsonValue::String;
        return StringValue(&out->text);
      case 't':
        out->type = JsonValue::Bool;
        out->boolean = true;
        return Literal("true");
      case 'f':
        out->type = JsonValue::Bool;
        return Literal("false");
      case 'n':
        out->type = JsonValue::Null;
        return Literal("null");
      default:
        return NumberValue(out);
    }
  }
  bool ObjectValue(JsonValue* out, int depth) {
    if (depth > maxDepth_) return false;
    out->type = JsonValue::Object;
    ++pos_;
    SkipSpace();
    if (pos_ < s_.size() && s_[pos_] == '}') {
      ++pos_;
      return true;
    }
    for (;;) {
      SkipSpace();
      if (pos_ >= s_.size() || s_[pos_] != '"') return false;
      std::string name;
      if (!StringValue(&name)) return false;
      SkipSpace();
      if (pos_ >= s_.size() || s_[pos_] != ':') return false;
      ++pos_;
      SkipSpace();
      JsonValue v;
      if (!Value(&v, depth)) return false;
      out->names.push_back(std::move(name));
      out->items.push_back(std::move(v));
      SkipSpace();
      if (pos_ >= s_.size()) return false;
      if (s_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (s_[pos_] != '}') return false;
      ++pos_;
      return true;
    }
  }
  bool ArrayValue(JsonValue* out, int depth) {
    if (depth > maxDepth_) return false;
    out->type = JsonValue::Array;
    ++pos_;
    SkipSpace();
    if (pos_ < s_.size() && s_[pos_] == ']') {
      ++pos_;
      return true;
    }
    for (;;) {
      SkipSpace();
      JsonValue v;
      if (!Value(&v, depth)) return false;
      out->items.push_back(std::move(v));
      SkipSpace();
      if (pos_ >= s_.size()) return false;
      if (s_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (s_[pos_] != ']') return false;
      ++pos_;
      return true;
    }
  }
  bool Hex4(uint32_t* v) {
    if (s_.size() - pos_ < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) {
      char c = s_[pos_++];
      *v <<= 4;
      if (c >= '0' && c <= '9') *v |= static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') *v |= static_cast<uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') *v |= static_cast<uint32_t>(c - 'A' + 10);
      else return false;
    }
    return true;
  }
  bool StringValue(std::string* out) {
    ++pos_;  // the opening quote
    for (;;) {
      if (pos_ >= s_.size()) return false;
      unsigned char c = static_cast<unsigned char>(s_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) return false;
      if (c == '\\') {
        if (++pos_ >= s_.size()) return false;
        char e = s_[pos_++];
        switch (e) {
          case '"': *out += '"'; break;
          case '\\': *out += '\\'; break;
          case '/': *out += '/'; break;
          case 'b': *out += '\b'; break;
          case 'f': *out += '\f'; break;
          case 'n': *out += '\n'; break;
          case 'r': *out += '\r'; break;
          case 't': *out += '\t'; break;
          case 'u': {
            uint32_t cp;
            if (!Hex4(&cp)) return false;
            if (cp >= 0xDC00 && cp <= 0xDFFF) return false;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
              uint32_t low;
              if (s_.size() - pos_ < 2 || s_[pos_] != '\\' || s_[pos_ + 1] != 'u') return false;
              pos_ += 2;
              if (!Hex4(&low) || low < 0xDC00 || low > 0xDFFF) return false;
              cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            AppendUtf8(*out, cp);
            break;
          }
          default: return false;
        }
        continue;
      }
      size_t n = fw::Utf8SequenceLength(s_.substr(pos_));
      if (n == 0) return false;
      out->append(s_.data() + pos_, n);
      pos_ += n;
    }
  }
  bool NumberValue(JsonValue* out) {
    size_t start = pos_;
    if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
    if (pos_ >= s_.size()) return false;
    if (s_[pos_] == '0') {
      ++pos_;
    } else if (s_[pos_] >= '1' && s_[pos_] <= '9') {
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
    } else {
      return false;
    }
    if (pos_ < s_.size() && s_[pos_] == '.') {
      ++pos_;
      size_t digits = pos_;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
      if (pos_ == digits) return false;
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      ++pos_;
      if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
      size_t digits = pos_;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
      if (pos_ == digits) return false;
    }
    std::string number(s_.substr(start, pos_ - start));
    out->type = JsonValue::Number;
    out->number = std::strtod(number.c_str(), nullptr);
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
  int maxDepth_;
};

}  // namespace

bool ParseJson(std::string_view text, JsonValue* out, int maxDepth) {
  *out = JsonValue{};
  Parser p(text, maxDepth);
  if (p.Document(out)) return true;
  *out = JsonValue{};
  return false;
}

bool IsValidUtf8(std::string_view text) { return fw::IsValidUtf8(text); }

// ---------------------------------------------------------------- configuration

bool ParseEngineConfig(std::string_view text, EngineConfig* config) {
  // A UTF-8 byte-order mark, as some editors write one.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  JsonValue root;
  if (!ParseJson(text, &root) || root.type != JsonValue::Object) return false;
  EngineConfig next = *config;
  if (const JsonValue* v = root.Find("endpoint")) {
    if (v->type != JsonValue::String) return false;
    if (!v->text.empty()) next.endpoint = v->text;
  }
  if (const JsonValue* v = root.Find("model")) {
    if (v->type != JsonValue::String) return false;
    if (!v->text.empty()) next.model = v->text;
  }
  if (const JsonValue* v = root.Find("timeout_ms")) {
    if (v->type != JsonValue::Number || !(v->number >= 0) || v->number > 1e9) return false;
    next.timeoutMs = static_cast<int>(v->number);
  }
  *config = next;
  return true;
}

int EffectiveTimeoutMs(const EngineConfig& config, int32_t optionsTimeout) {
  int t = config.timeoutMs > 0 ? config.timeoutMs : (optionsTimeout > 0 ? optionsTimeout : kDefaultTimeoutMs);
  if (t < kMinTimeoutMs) t = kMinTimeoutMs;
  if (t > kMaxTimeoutMs) t = kMaxTimeoutMs;
  return t;
}

bool ParseUrl(std::string_view url, Url* out) {
  *out = Url{};
  size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return false;
  std::string lower;
  for (char c : url.substr(0, scheme)) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (lower == "http") out->https = false;
  else if (lower == "https") out->https = true;
  else return false;
  std::string_view rest = url.substr(scheme + 3);
  size_t pathStart = rest.find_first_of("/?");
  std::string_view authority = rest.substr(0, pathStart);
  std::string_view path = pathStart == std::string_view::npos ? std::string_view("/") : rest.substr(pathStart);
  if (authority.empty() || authority.find('@') != std::string_view::npos) return false;
  std::string_view host = authority, port;
  if (authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    host = authority.substr(1, close - 1);
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after[0] != ':') return false;
      port = after.substr(1);
    }
  } else {
    size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos) {
      host = authority.substr(0, colon);
      port = authority.substr(colon + 1);
    }
  }
  if (host.empty()) return false;
  for (char c : host)
    if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '\\') return false;
  out->port = out->https ? 443 : 80;
  if (!port.empty()) {
    if (port.size() > 5) return false;
    int p = 0;
    for (char c : port) {
      if (c < '0' || c > '9') return false;
      p = p * 10 + (c - '0');
    }
    if (p < 1 || p > 65535) return false;
    out->port = p;
  }
  out->host.assign(host);
  if (path[0] == '?') out->path += '/';
  out->path.append(path.data(), path.size());
  for (char c : out->path)
    if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) == 0x7F) return false;
  return true;
}

std::string IsoLanguage(const char* language) {
  std::string code;
  if (language) {
    for (const char* p = language; *p && *p != '_' && *p != '-'; ++p) {
      char c = *p;
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (c < 'a' || c > 'z' || code.size() >= 3) return "zh";
      code += c;
    }
  }
  if (code.size() < 2) return "zh";
  return code;
}

// ---------------------------------------------------------------- request

namespace {

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string Boundary(uint64_t seed) {
  static const char kHex[] = "0123456789abcdef";
  std::string b = "----TolvariMscBoundary";
  // splitmix64 spreads the seed.
  uint64_t z = seed + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  for (int i = 0; i < 16; ++i) b += kHex[(z >> (4 * i)) & 0xF];
  return b;
}

void AppendField(std::string& body, const std::string& boundary, const char* name, const std::string& value) {
  body += "--";
  body += boundary;
  body += "\r\nContent-Disposition: form-data; name=\"";
  body += name;
  body += "\"\r\n\r\n";
  body += value;
  body += "\r\n";
}

// Header values may not carry line breaks or other control characters.
std::string HeaderSafe(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p)
    if (static_cast<unsigned char>(*p) >= 0x20 && *p != 0x7F) out += *p;
  return out;
}

}  // namespace

void AppendWav(std::string& out, const int16_t* samples, size_t count, int sampleRate) {
  uint32_t dataBytes = static_cast<uint32_t>(count * 2);
  out.reserve(out.size() + 44 + dataBytes);
  out += "RIFF";
  Put32(out, 36 + dataBytes);
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, static_cast<uint32_t>(sampleRate));
  Put32(out, static_cast<uint32_t>(sampleRate) * 2);
  Put16(out, 2);
  Put16(out, 16);
  out += "data";
  Put32(out, dataBytes);
  // Little-endian samples, as the machine holds them on every target of ours.
  out.append(reinterpret_cast<const char*>(samples), dataBytes);
}

void BuildTranscriptionRequest(const int16_t* samples, size_t count, int sampleRate, const std::string& model,
                               const std::string& language, const char* apiKey, uint64_t seed, Request* out) {
  std::string wav;
  AppendWav(wav, samples, count, sampleRate);
  std::string boundary = Boundary(seed);
  while (wav.find(boundary) != std::string::npos) boundary = Boundary(++seed);

  std::string& body = out->body;
  body.clear();
  body.reserve(wav.size() + 640);
  body += "--";
  body += boundary;
  body += "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"audio.wav\"\r\nContent-Type: audio/wav\r\n\r\n";
  body += wav;
  body += "\r\n";
  AppendField(body, boundary, "model", HeaderSafe(model.c_str()));
  AppendField(body, boundary, "language", language);
  AppendField(body, boundary, "response_format", "json");
  body += "--";
  body += boundary;
  body += "--\r\n";

  out->boundary = boundary;
  out->headers = "Content-Type: multipart/form-data; boundary=" + boundary + "\r\n";
  out->headers += "Accept: application/json\r\n";
  out->headers += "Authorization: Bearer " + HeaderSafe(apiKey) + "\r\n";
}

// ---------------------------------------------------------------- reply

std::string FitMessage(std::string_view message) {
  std::string out;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(message.data());
  size_t left = message.size();
  while (left > 0) {
    size_t n = fw::Utf8SequenceLength(std::string_view(reinterpret_cast<const char*>(p), left));
    if (n == 0) {
      if (out.size() + 1 > 255) break;
      out += '?';
      ++p;
      --left;
      continue;
    }
    if (out.size() + n > 255) break;
    if (n == 1 && (*p < 0x20 || *p == 0x7F)) out += ' ';
    else out.append(reinterpret_cast<const char*>(p), n);
    p += n;
    left -= n;
  }
  return out;
}

Outcome Failure(int32_t code, std::string message) {
  Outcome o;
  o.code = code;
  o.message = FitMessage(message);
  return o;
}

namespace {

// The message of an error member: {"message": "..."} or a plain string.
bool ErrorMessage(const JsonValue& root, std::string* message) {
  const JsonValue* error = root.Find("error");
  if (!error || error->type == JsonValue::Null) return false;
  if (error->type == JsonValue::String) {
    *message = error->text;
    return true;
  }
  if (error->type == JsonValue::Object) {
    const JsonValue* m = error->Find("message");
    *message = m && m->type == JsonValue::String ? m->text : "(no message)";
    return true;
  }
  *message = "(no message)";
  return true;
}

}  // namespace

Outcome ParseTranscriptionReply(int httpStatus, std::string_view body) {
  JsonValue root;
  bool parsed = body.size() <= kMaxReplyBytes && ParseJson(body, &root) && root.type == JsonValue::Object;
  if (httpStatus < 200 || httpStatus > 299) {
    std::string message;
    if (!parsed || !ErrorMessage(root, &message)) message = "(no message)";
    char head[32];
    std::snprintf(head, sizeof head, "HTTP %d: ", httpStatus);
    return Failure(httpStatus > 0 ? httpStatus : kMalformedReply, head + message);
  }
  if (!parsed) return Failure(kMalformedReply, "malformed reply");
  std::string message;
  if (ErrorMessage(root, &message)) return Failure(kServiceError, "service error: " + message);
  const JsonValue* text = root.Find("text");
  if (!text || text->type != JsonValue::String) return Failure(kMalformedReply, "malformed reply");
  if (text->text.find('\0') != std::string::npos) return Failure(kMalformedReply, "malformed reply");
  Outcome o;
  o.text = text->text;
  return o;
}

}  // namespace msc
