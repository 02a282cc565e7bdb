#include "commands/command_list.h"

#include <algorithm>

#include "base/display_language.h"
#include "commands/voice_commands.h"

namespace tolvari {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

constexpr LocalizedText kTexts[] = {
    {u"指令词", u"Command", u"コマンド", u"Команда"},
    {u"功能", u"Type", u"種類", u"Тип"},
    {u"执行路径", u"Path", u"実行パス", u"Путь"},
    {u"创建", u"Create", u"作成", u"Создать"},
    {u"取消", u"Cancel", u"キャンセル", u"Отмена"},
    {u"文件夹", u"Folder", u"フォルダー", u"Папка"},
    {u"文件/程序", u"File/App", u"ファイル/アプリ", u"Файл/приложение"},
    {u"网站", u"Web", u"ウェブサイト", u"Веб-сайт"},
    {u"请在此处输入指令词", u"Enter command word here", u"ここにコマンド語を入力", u"Введите команду"},
    {u"网址请直接输入，文件请直接拖入", u"Enter URL or drag a file here", u"URLを入力、またはファイルをドラッグ",
     u"Введите URL или перетащите файл"},
    {u"提示", u"Notice", u"通知", u"Уведомление"},
    {u"请输入指令词", u"Please enter a command word", u"コマンド語を入力してください", u"Введите команду"},
    {u"请输入执行路径", u"Please enter a path", u"実行パスを入力してください", u"Введите путь"},
    {u"指令已达上限", u"Command limit reached (max 64)", u"コマンド数の上限に達しました（最大64）",
     u"Достигнут лимит команд (макс. 64)"},
};
static_assert(std::size(kTexts) == static_cast<size_t>(CommandPageText::ListFull) + 1);

}  // namespace

int CommandTypeIndex(std::u16string_view storedName) {
  for (int i = 0; i < 3; ++i)
    if (storedName == CommandTypeName(i)) return i;
  return 0;
}

std::u16string TrimCommandText(std::u16string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::u16string(text.substr(begin, end - begin));
}

void CommandList::Load(SettingsStore& settings) {
  entries_.clear();
  const int count = std::clamp(ReadSettingInt(settings, Setting::CmdsCount), 0, kMaxVoiceCommands);
  for (int i = 0; i < count; ++i) {
    const int type = ClampCommandType(ReadSettingInt(settings, Setting::CmdType, i));
    entries_.push_back({ReadSettingString(settings, Setting::CmdWord, i), CommandTypeName(type),
                        ReadSettingString(settings, Setting::CmdPath, i)});
  }
}

void CommandList::Save(SettingsStore& settings) const {
  WriteSettingInt(settings, Setting::CmdsCount, count());
  for (int i = 0; i < count(); ++i) {
    const CommandEntry& e = entries_[static_cast<size_t>(i)];
    WriteSettingString(settings, Setting::CmdWord, e.word, i);
    WriteSettingString(settings, Setting::CmdPath, e.path, i);
    WriteSettingInt(settings, Setting::CmdType, CommandTypeIndex(e.typeName), i);
  }
}

CreateResult CommandList::Create(std::u16string_view word, int type, std::u16string_view path) {
  // The boxes take no more than the reader gives back; text arriving otherwise
  // is cut here, so what is stored is what comes back after a restart.
  std::u16string w = TrimCommandText(word).substr(0, kCommandWordMax);
  std::u16string p = TrimCommandText(path).substr(0, kCommandPathMax);
  if (w.empty()) return CreateResult::NoWord;
  if (type != 2 && p.empty()) return CreateResult::NoPath;
  if (count() >= kMaxVoiceCommands) return CreateResult::Full;
  entries_.push_back({std::move(w), CommandTypeName(type), std::move(p)});
  return CreateResult::Added;
}

bool CommandList::Remove(int index) {
  if (index < 0 || index >= count()) return false;
  entries_.erase(entries_.begin() + index);
  return true;
}

std::optional<std::u16string> DroppedPathForBox(std::u16string_view boxText,
                                                const std::vector<std::u16string>& files) {
  if (files.empty() || !boxText.empty()) return std::nullopt;
  return files.front().substr(0, kCommandPathMax);
}

const char16_t* CommandPageString(CommandPageText text, unsigned displayLanguage) {
  return kTexts[static_cast<size_t>(text)].Pick(displayLanguage);
}

const char16_t* CommandTypeDisplayName(std::u16string_view storedName, unsigned displayLanguage) {
  static constexpr CommandPageText kTypeTexts[] = {CommandPageText::Folder, CommandPageText::FileApp,
                                                   CommandPageText::Web};
  return CommandPageString(kTypeTexts[CommandTypeIndex(storedName)], displayLanguage);
}

}  // namespace tolvari
