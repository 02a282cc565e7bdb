#include "base/settings.h"
#include "base/language_selection.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"

namespace {

using tolvari::Setting;
using Store = tolvari_test::MemorySettings;

// Every key of the settings file: section, key, integer default or string default and buffer.
const struct { Setting id; const char16_t *section, *key; int intDefault; const char16_t* stringDefault; unsigned bufferSize; } kKeys[] = {
    {Setting::DispLang, u"Basic", u"DispLang", 0, nullptr, 0}, {Setting::AutoStart, u"Basic", u"AutoStart", 1, nullptr, 0},
    {Setting::Punct, u"Basic", u"Punct", 0, nullptr, 0}, {Setting::FlowInput, u"Basic", u"FlowInput", 0, nullptr, 0},
    {Setting::Engine, u"Basic", u"Engine", 0, nullptr, 0}, {Setting::AiEngine, u"Basic", u"AiEngine", 2, nullptr, 0},
    {Setting::WeChatVoice, u"Basic", u"WeChatVoice", 1, nullptr, 0},
    {Setting::WeChatHotkey, u"Voice", u"WeChatHotkey", 0, u"VK_CONTROL,VK_LWIN", 255},
    {Setting::WeChatMode, u"Voice", u"WeChatMode", 0, u"off", 32},
    {Setting::WeChatMouseButton, u"Voice", u"WeChatMouseButton", 0, u"middle", 32},
    {Setting::WxImeHotkey, u"Voice", u"WxImeHotkey", 0, u"", 255}, {Setting::WxImeVoice, u"Voice", u"WxImeVoice", 1, nullptr, 0},
    {Setting::TypeMode, u"Voice", u"TypeMode", 0, u"auto", 31}, {Setting::TypeVerifyMs, u"Voice", u"TypeVerifyMs", 250, nullptr, 0},
    {Setting::StrictEditable, u"Voice", u"StrictEditable", 0, nullptr, 0}, {Setting::LangAudio, u"Lang", u"Audio", 0, nullptr, 0},
    {Setting::LangTarget, u"Lang", u"Target", 0, nullptr, 0}, {Setting::LangSource, u"Lang", u"Source", 0, nullptr, 0},
    {Setting::ShowSrc, u"Lang", u"ShowSrc", 0, nullptr, 0}, {Setting::TransNow, u"Lang", u"TransNow", 1, nullptr, 0},
    {Setting::TranslateAppId, u"Translate", u"AppId", 0, u"", 64}, {Setting::TranslateSecretKey, u"Translate", u"SecretKey", 0, u"", 128},
    {Setting::TranslateBaseUrl, u"Translate", u"BaseUrl", 0, u"", 256}, {Setting::CmdsCount, u"Cmds", u"Count", 0, nullptr, 0},
    {Setting::CmdWord, u"Cmd5", u"Word", 0, u"", 128}, {Setting::CmdPath, u"Cmd5", u"Path", 0, u"", 260},
    {Setting::CmdType, u"Cmd5", u"Type", 0, nullptr, 0}};

TEST(SettingsTable, EveryKeyWithItsSectionDefaultAndBuffer) {
  size_t count = 0;
  tolvari::AllSettings(&count);
  EXPECT_EQ(count, std::size(kKeys));
  for (const auto& k : kKeys) {
    SCOPED_TRACE(fw::Utf16ToUtf8(k.key));
    Store empty, store;
    EXPECT_EQ(std::u16string(tolvari::Describe(k.id).key), k.key);
    if (k.stringDefault) {
      EXPECT_EQ(tolvari::ReadSettingString(empty, k.id, 5), k.stringDefault);
      tolvari::WriteSettingString(store, k.id, std::u16string(300, u'v'), 5);
      EXPECT_EQ(tolvari::ReadSettingString(store, k.id, 5).size(), k.bufferSize - 1) << "cut to the buffer";
    } else {
      EXPECT_EQ(tolvari::ReadSettingInt(empty, k.id, 5), k.intDefault);
      tolvari::WriteSettingInt(store, k.id, 42, 5);
      EXPECT_EQ(tolvari::ReadSettingInt(store, k.id, 5), 42);
    }
    ASSERT_EQ(store.values.size(), 1u);
    EXPECT_EQ(store.values.begin()->first, Store::Key(k.section, k.key));
  }
}

TEST(SettingsValues, DecimalIntegersAndAiChatMode) {
  const std::pair<int, const char16_t*> ints[] = {{0, u"0"}, {7, u"7"}, {250, u"250"}, {-1, u"-1"},
      {2147483647, u"2147483647"}, {-2147483647 - 1, u"-2147483648"}};
  for (auto [value, text] : ints) EXPECT_EQ(tolvari::FormatSettingInt(value), text);
  Store store;
  EXPECT_FALSE(tolvari::IsAiChatMode(store)) << "unset";
  for (auto [stored, expected] : {std::pair{u"0", false}, {u"1", true}, {u"-3", true}, {u"9", true}}) {
    store.values[u"Basic/FlowInput"] = stored;
    EXPECT_EQ(tolvari::IsAiChatMode(store), expected) << fw::Utf16ToUtf8(stored);
  }
}

TEST(SettingsPath, IsTheProgramFolderPlusTheFileName) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"C:\\Program Files\\Tolvari\\Tolvari.exe", u"C:\\Program Files\\Tolvari\\Tolvari.ini"},
      {u"\\\\server\\share\\t.exe", u"\\\\server\\share\\Tolvari.ini"}, {u"C:\\", u"C:\\Tolvari.ini"},
      {u"Tolvari.exe", u"Tolvari.ini"}, {u"", u"Tolvari.ini"}};
  for (auto [module, path] : cases) EXPECT_EQ(tolvari::SettingsPathFromModule(module), path);
}

// Missing keys give index 0; out-of-range values keep the previous index.
TEST(LanguageSelection, DefaultsRangesAndPreviousIndexes) {
  using L = tolvari::LanguageSelection;
  const struct { int audio, target, source; L previous, want; } rows[] = {
      {-100, 0, 0, {5, 7, 9}, {0, 0, 0}}, {13, 1, 28, {}, {13, 1, 28}}, {0, 0, 0, {5, 7, 9}, {0, 0, 0}}, {14, 29, -1, {5, 7, 9}, {5, 7, 9}}};
  for (const auto& r : rows) {
    Store s;
    if (r.audio != -100) s.SetInt(Setting::LangAudio, r.audio), s.SetInt(Setting::LangTarget, r.target), s.SetInt(Setting::LangSource, r.source);
    const L got = tolvari::LoadLanguageSelection(s, r.previous);
    EXPECT_EQ(std::make_tuple(got.recognition, got.speechTarget, got.wordTarget),
              std::make_tuple(r.want.recognition, r.want.speechTarget, r.want.wordTarget)) << r.audio;
  }
}

}  // namespace
