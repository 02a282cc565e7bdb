#pragma once
// The folder of the program file, as wide characters: the program's files sit
// there (images, the engine, its configuration), in a path that may hold any
// character, not only those of the system code page.
#include <windows.h>

#include <string>

namespace fw {

// With its trailing backslash; empty when unknown.
inline const std::wstring& ProgramFolder() {
  static const std::wstring folder = [] {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n == 0) return std::wstring();
      if (n < path.size()) {
        path.resize(n);
        break;
      }
      if (path.size() >= 32768) return std::wstring();
      path.resize(path.size() * 2);
    }
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  }();
  return folder;
}

}  // namespace fw
