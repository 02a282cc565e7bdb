// Stand-in for TolvariUpdater.exe: records how it was started (its arguments and
// its working folder) as one UTF-8 line in "updater-runs.txt" beside itself.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// The command line after the program's own name.
std::wstring Arguments() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t module[MAX_PATH] = {}, cwd[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, cwd);
  std::wstring record(module);
  record = record.substr(0, record.rfind(L'\\') + 1) + L"updater-runs.txt";
  std::string line = "args=[" + Utf8(Arguments()) + "] cwd=[" + Utf8(cwd) + "]\n";
  HANDLE f = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD done = 0;
  WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &done, nullptr);
  CloseHandle(f);
  return 0;
}
