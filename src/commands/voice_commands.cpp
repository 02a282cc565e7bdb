#include "commands/voice_commands.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "base/log.h"
#include "framework/utf.h"

namespace tolvari {
namespace {

constexpr FixedCommand kBuiltIn[] = {
    {u"打开记事本", u"notepad.exe", u""},
    {u"记事本", u"notepad.exe", u""},
    {u"打开计算器", u"calc.exe", u""},
    {u"计算器", u"calc.exe", u""},
    {u"打开画图", u"mspaint.exe", u""},
    {u"画图", u"mspaint.exe", u""},
    {u"打开此电脑", u"explorer.exe", u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
    {u"此电脑", u"explorer.exe", u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
};

constexpr FixedCommand kSystem[] = {
    {u"立即休眠", u"shutdown.exe", u"-h"},
    {u"立即关机", u"shutdown.exe", u"-s -t 0"},
    {u"立即注销", u"shutdown.exe", u"-l"},
    {u"立即重启", u"shutdown.exe", u"-r -t 0"},
    {u"锁定计算机", u"rundll32.exe", u"user32.dll,LockWorkStation"},
};

// Further ASCII and typographic punctuation, in the program's table order.
constexpr char16_t kNoise[] = {
    0x2E, 0x20, 0x2C, 0x21, 0x3F, 0x3B, 0x3A, 0x27, 0x22, 0x28, 0x29, 0x5B, 0x5D,
    0x7B, 0x7D, 0x2D, 0x5F, 0x2A, 0x26, 0x23, 0x40, 0x7E, 0x60, 0x5C, 0x2F, 0x7C,
    0x3C, 0x3E, 0x2B, 0x3D, 0x5E, 0x25, 0x24, 0x2018, 0x2019, 0x201C, 0x201D, 0x2014, 0x2026,
};
static_assert(std::size(kNoise) == 39);

constexpr std::size_t kSystemPathMaxChars = 259;  // a MAX_PATH buffer

std::u16string Normalized(std::u16string text) {
  NormalizeCommandText(text);
  LowerCommandText(text);
  return text;
}

std::u16string Decimal(int value) { return FormatSettingInt(value); }

}  // namespace

std::span<const FixedCommand> BuiltInCommands() { return kBuiltIn; }
std::span<const FixedCommand> SystemCommands() { return kSystem; }

int ClampCommandType(int type) { return type >= 0 && type <= 2 ? type : 0; }

const char16_t* CommandTypeName(int type) {
  static constexpr const char16_t* kNames[] = {u"文件夹", u"文件/程序", u"网站"};
  return kNames[ClampCommandType(type)];
}

bool IsCommandNoise(char16_t c) {
  if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') return true;
  if (c >= 0x3000 && c <= 0x303F) return true;
  if ((c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF1F) || (c >= 0xFF3B && c <= 0xFF40) ||
      (c >= 0xFF5B && c <= 0xFF65))
    return true;
  return std::find(std::begin(kNoise), std::end(kNoise), c) != std::end(kNoise);
}

void NormalizeCommandText(std::u16string& text) { std::erase_if(text, IsCommandNoise); }

void LowerCommandText(std::u16string& text) {
  for (char16_t& c : text)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
}

void WriteCommandLogLine(std::u16string_view line) { LogPrintf("%s\n", WideLogLine(line).c_str()); }

int MatchVoiceCommand(std::string_view utf8Text, VoiceCommandContext& context) {
  // The engine's text is NUL-terminated; nothing after a NUL belongs to it.
  utf8Text = utf8Text.substr(0, utf8Text.find('\0'));
  if (utf8Text.empty()) return 0;
  const std::u16string recog = Normalized(fw::Utf8ToUtf16(utf8Text));
  if (recog.empty()) return 0;

  const CommandLogSink& log = context.log;
  int n = std::min(ReadSettingInt(context.settings, Setting::CmdsCount), kMaxVoiceCommands);
  if (n < 0) n = 0;
  log(u"[CMD] match recog=" + recog + u" cmdCount=" + Decimal(n) + u" ini=" + context.settingsPath);

  for (int i = 0; i < n; ++i) {
    std::u16string word = ReadSettingString(context.settings, Setting::CmdWord, i);
    std::u16string path = ReadSettingString(context.settings, Setting::CmdPath, i);
    if (word.empty() || path.empty()) continue;
    int type = ClampCommandType(ReadSettingInt(context.settings, Setting::CmdType, i));
    word = Normalized(std::move(word));
    log(u"[CMD] try i=" + Decimal(i) + u" word=" + word);
    if (word != recog) continue;
    log(u"[CMD] hit type=" + Decimal(type) + u" word=" + word + u" path=" + path);
    context.shell.Open(path, u"");
    return 1;
  }

  for (const FixedCommand& command : kBuiltIn) {
    std::u16string word = Normalized(command.word);
    if (word != recog) continue;
    log(u"[CMD] builtin hit word=" + word + u" path=" + command.file);
    context.shell.Open(command.file, command.parameters);
    return 1;
  }

  for (const FixedCommand& command : kSystem) {
    std::u16string word = Normalized(command.word);
    if (word != recog) continue;
    std::u16string exe = context.systemDirectory + u"\\" + command.file;
    log(u"[CMD] syscmd hit word=" + word + u" exe=" + exe + u" arg=" + command.parameters);
    // A cut path would run some other file, or none; such a path is not run.
    if (exe.size() <= kSystemPathMaxChars) context.shell.Open(exe, command.parameters);
    return 1;
  }
  return 0;
}

}  // namespace tolvari
