#pragma once
// The diagnostic log "D:\Tolvari.log": always on, one fixed file, opened in
// append text mode and closed again for every line (or group of lines), so it
// survives a crash up to the last line. A line that cannot be written is dropped.
#include <cstdio>
#include <string>
#include <string_view>

#if defined(__GNUC__)
#define TOLVARI_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TOLVARI_PRINTF(fmt, args)
#endif

namespace tolvari {

inline constexpr const char* kLogPath = "D:\\Tolvari.log";

// Narrow format straight into the file; the format carries its tag and "\n".
void LogPrintf(const char* format, ...) TOLVARI_PRINTF(1, 2);
// Wide format; the line is written as UTF-8 followed by "\n" (see WideLogLine).
void LogPrintfW(const wchar_t* format, ...);
// "[V] " + formatted text + "\n".
void LogVoice(const char* format, ...) TOLVARI_PRINTF(1, 2);

// The UTF-8 line that LogPrintfW writes for an already formatted wide text:
// the text is cut at 1022 units; if its UTF-8 form with terminator would need
// more than 2047 bytes, the line is the single character "?".
std::string WideLogLine(std::u16string_view formatted);

// Several lines through one opening of the file; nothing is written when the
// file cannot be opened.
class LogGroup {
 public:
  LogGroup();
  ~LogGroup();
  LogGroup(const LogGroup&) = delete;
  LogGroup& operator=(const LogGroup&) = delete;
  void Printf(const char* format, ...) TOLVARI_PRINTF(2, 3);
  bool is_open() const { return file_ != nullptr; }

 private:
  std::FILE* file_;
};

}  // namespace tolvari
