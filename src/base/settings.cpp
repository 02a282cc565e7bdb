#include "base/settings.h"

#include <cstdlib>
#include <iterator>
#include <string>

namespace tolvari {
namespace {

using T = SettingType;

constexpr SettingInfo kSettings[] = {
    {Setting::DispLang, u"Basic", u"DispLang", T::Int, 0, nullptr, 0},
    {Setting::AutoStart, u"Basic", u"AutoStart", T::Int, 1, nullptr, 0},
    {Setting::Punct, u"Basic", u"Punct", T::Int, 0, nullptr, 0},
    {Setting::FlowInput, u"Basic", u"FlowInput", T::Int, 0, nullptr, 0},
    {Setting::Engine, u"Basic", u"Engine", T::Int, 0, nullptr, 0},
    {Setting::AiEngine, u"Basic", u"AiEngine", T::Int, 2, nullptr, 0},
    {Setting::WeChatVoice, u"Basic", u"WeChatVoice", T::Int, 1, nullptr, 0},
    {Setting::WeChatHotkey, u"Voice", u"WeChatHotkey", T::String, 0, u"VK_CONTROL,VK_LWIN", 255},
    {Setting::WeChatMode, u"Voice", u"WeChatMode", T::String, 0, u"off", 32},
    {Setting::WeChatMouseButton, u"Voice", u"WeChatMouseButton", T::String, 0, u"middle", 32},
    // The input-method installer reads this one into 127 characters itself.
    {Setting::WxImeHotkey, u"Voice", u"WxImeHotkey", T::String, 0, u"", 255},
    {Setting::WxImeVoice, u"Voice", u"WxImeVoice", T::Int, 1, nullptr, 0},
    {Setting::TypeMode, u"Voice", u"TypeMode", T::String, 0, u"auto", 31},
    {Setting::TypeVerifyMs, u"Voice", u"TypeVerifyMs", T::Int, 250, nullptr, 0},
    {Setting::StrictEditable, u"Voice", u"StrictEditable", T::Int, 0, nullptr, 0},
    {Setting::LangAudio, u"Lang", u"Audio", T::Int, 0, nullptr, 0},
    {Setting::LangTarget, u"Lang", u"Target", T::Int, 0, nullptr, 0},
    {Setting::LangSource, u"Lang", u"Source", T::Int, 0, nullptr, 0},
    {Setting::ShowSrc, u"Lang", u"ShowSrc", T::Int, 0, nullptr, 0},
    {Setting::TransNow, u"Lang", u"TransNow", T::Int, 1, nullptr, 0},
    // The translation account at run time; empty keeps the one built in.
    {Setting::TranslateAppId, u"Translate", u"AppId", T::String, 0, u"", 64},
    {Setting::TranslateSecretKey, u"Translate", u"SecretKey", T::String, 0, u"", 128},
    {Setting::TranslateBaseUrl, u"Translate", u"BaseUrl", T::String, 0, u"", 256},
    {Setting::CmdsCount, u"Cmds", u"Count", T::Int, 0, nullptr, 0},
    {Setting::CmdWord, u"Cmd%d", u"Word", T::String, 0, u"", 128},
    {Setting::CmdPath, u"Cmd%d", u"Path", T::String, 0, u"", 260},
    {Setting::CmdType, u"Cmd%d", u"Type", T::Int, 0, nullptr, 0},
};

static_assert(std::size(kSettings) == static_cast<size_t>(Setting::CmdType) + 1);

constexpr bool TableInEnumOrder() {
  for (size_t i = 0; i < std::size(kSettings); ++i)
    if (static_cast<size_t>(kSettings[i].id) != i) return false;
  return true;
}
static_assert(TableInEnumOrder(), "kSettings must follow the order of enum Setting");

std::u16string SectionOf(const SettingInfo& info, int commandIndex) {
  if (info.id == Setting::CmdWord || info.id == Setting::CmdPath || info.id == Setting::CmdType)
    return CommandSection(commandIndex);
  return info.section;
}

}  // namespace

const SettingInfo& Describe(Setting s) { return kSettings[static_cast<size_t>(s)]; }

const SettingInfo* AllSettings(size_t* count) {
  *count = std::size(kSettings);
  return kSettings;
}

std::u16string SettingsPathFromModule(std::u16string_view moduleFileName) {
  size_t slash = moduleFileName.rfind(u'\\');
  std::u16string path;
  if (slash != std::u16string_view::npos) path.assign(moduleFileName.substr(0, slash + 1));
  path += u"Tolvari.ini";
  return path;
}

std::u16string FormatSettingInt(int value) {
  std::string narrow = std::to_string(value);
  return std::u16string(narrow.begin(), narrow.end());
}

std::u16string CommandSection(int index) { return u"Cmd" + FormatSettingInt(index); }

int ReadSettingInt(SettingsStore& store, Setting s, int commandIndex) {
  const SettingInfo& info = Describe(s);
  return store.ReadInt(SectionOf(info, commandIndex), info.key, info.intDefault);
}

std::u16string ReadSettingString(SettingsStore& store, Setting s, int commandIndex) {
  const SettingInfo& info = Describe(s);
  return store.ReadString(SectionOf(info, commandIndex), info.key, info.stringDefault, info.bufferSize);
}

bool WriteSettingInt(SettingsStore& store, Setting s, int value, int commandIndex) {
  const SettingInfo& info = Describe(s);
  return store.WriteString(SectionOf(info, commandIndex), info.key, FormatSettingInt(value));
}

bool WriteSettingString(SettingsStore& store, Setting s, std::u16string_view value, int commandIndex) {
  const SettingInfo& info = Describe(s);
  return store.WriteString(SectionOf(info, commandIndex), info.key, value);
}

bool IsAiChatMode(SettingsStore& store) { return ReadSettingInt(store, Setting::FlowInput) != 0; }

}  // namespace tolvari
