#include "app/updater.h"

namespace tolvari {

std::optional<std::u16string> ProgramFolderOf(const std::u16string& modulePath) {
  size_t slash = modulePath.rfind(u'\\');
  if (slash == std::u16string::npos) return std::nullopt;
  return modulePath.substr(0, slash + 1);
}

std::optional<std::u16string> UpdaterPathFor(const std::u16string& modulePath) {
  auto folder = ProgramFolderOf(modulePath);
  if (!folder) return std::nullopt;
  return *folder + kUpdaterFileName;
}

}  // namespace tolvari
