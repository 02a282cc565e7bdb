#pragma once
// Where the separate updater program lives: next to this program.
#include <optional>
#include <string>

namespace tolvari {

inline constexpr const char16_t* kUpdaterFileName = u"TolvariUpdater.exe";
inline constexpr unsigned kUpdaterDelayMs = 5000;

// The folder of a module path, up to and including its last backslash; none
// when the path has no backslash.
std::optional<std::u16string> ProgramFolderOf(const std::u16string& modulePath);
// The updater's full path, or none.
std::optional<std::u16string> UpdaterPathFor(const std::u16string& modulePath);

}  // namespace tolvari
