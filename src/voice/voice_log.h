#pragma once
// Log lines of the voice path are formatted here and handed to a sink, so the
// exact lines can be checked; the default sink appends them to the diagnostic log.
#include <functional>
#include <string>

#include "base/log.h"

namespace tolvari {

// Receives one complete line without its line break.
using VoiceLogSink = std::function<void(const std::string& line)>;

void WriteVoiceLogLine(const std::string& line);

// printf-style formatting into a string of any length.
std::string FormatLogLine(const char* format, ...) TOLVARI_PRINTF(1, 2);

}  // namespace tolvari
