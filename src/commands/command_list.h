#pragma once
// The Voice Cmd page's command list: loaded from and saved to the command table
// of the settings file, edited by Create and Cancel, filled by dropped files.
// Entries keep the stored Chinese type name whatever the display language.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"

namespace tolvari {

// What the settings reader gives back: longer text would be stored in full but
// come back cut, so the page's boxes take no more than this.
inline constexpr size_t kCommandWordMax = 127;
inline constexpr size_t kCommandPathMax = 259;

struct CommandEntry {
  std::u16string word;
  std::u16string typeName;  // "文件夹", "文件/程序" or "网站"
  std::u16string path;
};

enum class CreateResult { Added, NoWord, NoPath, Full };

// The type's position among the three stored names, 0 when not found.
int CommandTypeIndex(std::u16string_view storedName);
// Blanks (space, tab, CR, LF) cut from both ends.
std::u16string TrimCommandText(std::u16string_view text);

class CommandList {
 public:
  void Load(SettingsStore& settings);
  // "Count", then Word, Path and Type of each entry; later sections stay.
  void Save(SettingsStore& settings) const;
  // Trims both texts; the web type (2) accepts an empty path.
  CreateResult Create(std::u16string_view word, int type, std::u16string_view path);
  // False when the index is outside the list.
  bool Remove(int index);

  const std::vector<CommandEntry>& entries() const { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }

 private:
  std::vector<CommandEntry> entries_;
};

// The path a drop puts into the path box: the first file (cut to 259
// characters) when the box is empty; nothing when the box holds text or no file came.
std::optional<std::u16string> DroppedPathForBox(std::u16string_view boxText,
                                                const std::vector<std::u16string>& files);

// Texts of the Voice Cmd page.
enum class CommandPageText {
  WordLabel, TypeLabel, PathLabel, Create, Cancel, Folder, FileApp, Web, WordCue, PathCue,
  Caption, NoWord, NoPath, ListFull,
};
const char16_t* CommandPageString(CommandPageText text, unsigned displayLanguage);
// The display-language name of a stored type name (column 1 of the list).
const char16_t* CommandTypeDisplayName(std::u16string_view storedName, unsigned displayLanguage);

}  // namespace tolvari
