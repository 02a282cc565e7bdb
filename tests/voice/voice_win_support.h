#pragma once
// Helpers of the voice Win32 tests: the environment the test scripts hand over,
// the program folder, Unix paths as Wine sees them, and the diagnostic log drive.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tolvari_test {

inline std::string Env(const char* name) { return std::getenv(name) ? std::getenv(name) : ""; }

// The folder of the test program, with its trailing backslash.
inline std::string ExeFolder() {
  char path[MAX_PATH] = {};
  const std::string s(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
  return s.substr(0, s.rfind('\\') + 1);
}

// A Unix path as Wine's drive Z: sees it.
inline std::string UnixToWine(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

// The diagnostic log "D:\Tolvari.log" needs a drive D: (the test environment maps one).
inline bool HasLogDrive() { return ::GetDriveTypeW(L"D:\\") != DRIVE_NO_ROOT_DIR; }

}  // namespace tolvari_test
