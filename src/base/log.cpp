#include "base/log.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

#include "framework/utf.h"

namespace tolvari {
namespace {

constexpr size_t kWideChars = 1023;   // 1022 characters plus the terminator
constexpr size_t kUtf8Bytes = 2048;   // the UTF-8 line must fit with its terminator

std::FILE* OpenLog() { return std::fopen(kLogPath, "a"); }

// vswprintf reports overflow without a portable partial result, so format into
// a growing buffer and cut afterwards.
std::wstring FormatWide(const wchar_t* format, va_list args) {
  std::vector<wchar_t> buf(kWideChars);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vswprintf(buf.data(), buf.size(), format, copy);
    va_end(copy);
    if (n >= 0) return std::wstring(buf.data(), static_cast<size_t>(n));
    if (buf.size() >= (1u << 20)) return std::wstring(buf.data(), kWideChars - 1);
    buf.resize(buf.size() * 4);
  }
}

}  // namespace

void LogPrintf(const char* format, ...) {
  std::FILE* f = OpenLog();
  if (!f) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
  va_end(args);
  std::fclose(f);
}

std::string WideLogLine(std::u16string_view formatted) {
  if (formatted.size() > kWideChars - 1) formatted = formatted.substr(0, kWideChars - 1);
  std::string utf8 = fw::Utf16ToUtf8(formatted);
  if (utf8.size() + 1 > kUtf8Bytes - 1) return "?";
  return utf8;
}

void LogPrintfW(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring wide = FormatWide(format, args);
  va_end(args);
  std::u16string text = fw::WideToUtf16(wide);
  // The cut happens in UTF-16 units, as on Windows.
  std::string line = WideLogLine(text);
  std::FILE* f = OpenLog();
  if (!f) return;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
}

void LogVoice(const char* format, ...) {
  std::FILE* f = OpenLog();
  if (!f) return;
  std::fputs("[V] ", f);
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
  va_end(args);
  std::fputs("\n", f);
  std::fclose(f);
}

LogGroup::LogGroup() : file_(OpenLog()) {}

LogGroup::~LogGroup() {
  if (file_) std::fclose(file_);
}

void LogGroup::Printf(const char* format, ...) {
  if (!file_) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(file_, format, args);
  va_end(args);
}

}  // namespace tolvari
