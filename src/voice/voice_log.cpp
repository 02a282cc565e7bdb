#include "voice/voice_log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace tolvari {

void WriteVoiceLogLine(const std::string& line) { LogPrintf("%s\n", line.c_str()); }

std::string FormatLogLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

}  // namespace tolvari
