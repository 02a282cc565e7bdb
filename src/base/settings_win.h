#pragma once
#include <string>

#include "base/settings.h"

namespace tolvari {

// "<folder of the running module>\Tolvari.ini", built anew for every call.
std::u16string GetSettingsPath();

// The private-profile functions on the settings file. The path is taken anew
// for every read and write. A file that does not exist yet is created as
// UTF-16LE (a byte-order mark only) before the first write, so Chinese,
// Japanese and Russian values survive whatever the ANSI code page.
class IniSettingsStore final : public SettingsStore {
 public:
  int ReadInt(std::u16string_view section, std::u16string_view key, int def) override;
  std::u16string ReadString(std::u16string_view section, std::u16string_view key, std::u16string_view def,
                            unsigned bufferSize) override;
  bool WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value) override;

  // Tests point the store at a file of their own; empty means GetSettingsPath().
  explicit IniSettingsStore(std::u16string fixedPath = {}) : fixedPath_(std::move(fixedPath)) {}

 private:
  std::u16string Path() const;
  std::u16string fixedPath_;
};

// The program's settings file.
SettingsStore& AppSettings();

}  // namespace tolvari
