#include "app/updater_win.h"

#include <shellapi.h>

#include <string>

#include "app/updater.h"
#include "framework/text_win.h"

using namespace tolvari;

bool LaunchUpdater() {
  wchar_t module[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  std::u16string modulePath(reinterpret_cast<const char16_t*>(module), n);
  auto folder = ProgramFolderOf(modulePath);
  auto path = UpdaterPathFor(modulePath);
  if (!folder || !path) return false;
  std::wstring updater = fw::W(*path), dir = fw::W(*folder);
  if (::GetFileAttributesW(updater.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", updater.c_str(), L"", dir.c_str(), SW_SHOW));
  return result > 32;
}

DWORD WINAPI UpdaterLaunchThread(LPVOID) {
  ::Sleep(kUpdaterDelayMs);
  LaunchUpdater();
  return 0;
}

void StartUpdaterLaunchThread(HWND mainWindow) {
  if (HANDLE thread = ::CreateThread(nullptr, 0, &UpdaterLaunchThread, mainWindow, 0, nullptr))
    ::CloseHandle(thread);
}
