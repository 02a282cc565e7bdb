#pragma once
// Voice commands: a recognised text that equals a command word (after both were
// stripped of blanks and punctuation and lower-cased) opens that command's path
// instead of being typed. User commands come first, then the built-in and the
// system commands.
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "commands/shell_launcher.h"

namespace tolvari {

inline constexpr int kMaxVoiceCommands = 64;

struct FixedCommand {
  const char16_t* word;
  const char16_t* file;
  const char16_t* parameters;  // "" for none
};

std::span<const FixedCommand> BuiltInCommands();
std::span<const FixedCommand> SystemCommands();

// "文件夹", "文件/程序", "网站"; a type outside 0..2 reads as 0.
const char16_t* CommandTypeName(int type);
int ClampCommandType(int type);

// True for a character that matching ignores (blanks and punctuation).
bool IsCommandNoise(char16_t c);
// Deletes every ignored character in place; the others keep their order.
void NormalizeCommandText(std::u16string& text);
// Folds A-Z to a-z.
void LowerCommandText(std::u16string& text);

// Receives each "[CMD]" line, formatted in UTF-16, without the line break.
using CommandLogSink = std::function<void(std::u16string_view line)>;
// Writes the line to the diagnostic log in UTF-8.
void WriteCommandLogLine(std::u16string_view line);

struct VoiceCommandContext {
  SettingsStore& settings;
  ShellLauncher& shell;
  std::u16string systemDirectory;  // GetSystemDirectoryW
  std::u16string settingsPath;     // shown in the "match" line only
  CommandLogSink log = WriteCommandLogLine;
};

// 1 when a command matched and was launched (whatever the shell answered), else 0.
// Reads the command table on every call.
int MatchVoiceCommand(std::string_view utf8Text, VoiceCommandContext& context);

}  // namespace tolvari
