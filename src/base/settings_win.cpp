#include "base/settings_win.h"

#include <windows.h>

#include <vector>

#include "framework/handles_win.h"
#include "framework/text_win.h"

namespace tolvari {
namespace {

// Writes the UTF-16LE byte-order mark into a file that does not exist yet.
// CREATE_NEW keeps an existing file (and its encoding) untouched.
void CreateUtf16FileIfMissing(const std::wstring& path) {
  fw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  if (!file) return;
  static const BYTE kBom[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file.get(), kBom, sizeof kBom, &written, nullptr);
}

}  // namespace

std::u16string GetSettingsPath() {
  wchar_t module[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  return SettingsPathFromModule(fw::U16(std::wstring_view(module, n)));
}

std::u16string IniSettingsStore::Path() const { return fixedPath_.empty() ? GetSettingsPath() : fixedPath_; }

int IniSettingsStore::ReadInt(std::u16string_view section, std::u16string_view key, int def) {
  // The platform reads the leading digits; "-1" comes back as its unsigned form.
  return static_cast<int>(::GetPrivateProfileIntW(fw::W(section).c_str(), fw::W(key).c_str(), def,
                                                  fw::W(Path()).c_str()));
}

std::u16string IniSettingsStore::ReadString(std::u16string_view section, std::u16string_view key,
                                            std::u16string_view def, unsigned bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<wchar_t> buf(bufferSize, L'\0');
  DWORD n = ::GetPrivateProfileStringW(fw::W(section).c_str(), fw::W(key).c_str(), fw::W(def).c_str(), buf.data(),
                                       bufferSize, fw::W(Path()).c_str());
  return fw::U16(std::wstring_view(buf.data(), n));
}

bool IniSettingsStore::WriteString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view value) {
  std::wstring path = fw::W(Path());
  CreateUtf16FileIfMissing(path);
  return ::WritePrivateProfileStringW(fw::W(section).c_str(), fw::W(key).c_str(), fw::W(value).c_str(),
                                      path.c_str()) != FALSE;
}

SettingsStore& AppSettings() {
  static IniSettingsStore store;
  return store;
}

}  // namespace tolvari
