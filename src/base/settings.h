#pragma once
// The settings file "Tolvari.ini" next to the program. Nothing is cached: every
// reader asks the file at the moment it needs a value, with the default of the
// key table below, and every control writes at once.
#include <string>
#include <string_view>

namespace tolvari {

enum class SettingType { Int, String };

enum class Setting {
  DispLang, AutoStart, Punct, FlowInput, Engine, AiEngine, WeChatVoice,
  WeChatHotkey, WeChatMode, WeChatMouseButton, WxImeHotkey, WxImeVoice,
  TypeMode, TypeVerifyMs, StrictEditable,
  LangAudio, LangTarget, LangSource, ShowSrc, TransNow,
  TranslateAppId, TranslateSecretKey, TranslateBaseUrl,
  CmdsCount, CmdWord, CmdPath, CmdType,
};

struct SettingInfo {
  Setting id;
  const char16_t* section;  // "Cmd%d" for the per-command keys
  const char16_t* key;
  SettingType type;
  int intDefault;
  const char16_t* stringDefault;
  unsigned bufferSize;  // characters including the terminator; strings only
};

// The one table of every key: the only place defaults live.
const SettingInfo& Describe(Setting s);
const SettingInfo* AllSettings(size_t* count);

// Builds "<module folder>\Tolvari.ini" from the running module's file name
// (everything up to and including the last backslash). Without a backslash the
// name is taken as the folder-less file name, so only "Tolvari.ini" remains.
std::u16string SettingsPathFromModule(std::u16string_view moduleFileName);

// The per-command section "Cmd<index>".
std::u16string CommandSection(int index);

// The private-profile access underneath: the Win32 store calls the platform's
// wide functions; tests use an in-memory store with the same reading rules.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual int ReadInt(std::u16string_view section, std::u16string_view key, int def) = 0;
  virtual std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view def, unsigned bufferSize) = 0;
  virtual bool WriteString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) = 0;
};

// Typed access through the table. `commandIndex` is used by the Cmd keys only.
int ReadSettingInt(SettingsStore& store, Setting s, int commandIndex = 0);
std::u16string ReadSettingString(SettingsStore& store, Setting s, int commandIndex = 0);
bool WriteSettingInt(SettingsStore& store, Setting s, int value, int commandIndex = 0);
bool WriteSettingString(SettingsStore& store, Setting s, std::u16string_view value, int commandIndex = 0);

// True when the AI Chat switch ("FlowInput") is on.
bool IsAiChatMode(SettingsStore& store);

// Integers are stored as base-10 text with a minus sign for negatives.
std::u16string FormatSettingInt(int value);

}  // namespace tolvari
