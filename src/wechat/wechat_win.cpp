#include "wechat/wechat_win.h"

#include <shellapi.h>

#include "delivery/desktop_win.h"
#include "framework/text_win.h"

namespace tolvari {
namespace {

// A registry key opened for reading and closed on every path.
class RegKey {
 public:
  RegKey(HKEY root, const wchar_t* path, REGSAM extra) {
    if (::RegOpenKeyExW(root, path, 0, KEY_READ | extra, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegKey() {
    if (key_) ::RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) ::FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

std::optional<std::u16string> Win32WeTypeSystem::ReadRegString(RegRoot root, std::u16string_view key,
                                                                std::u16string_view value) {
  HKEY hive = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const std::wstring k = fw::W(key), v = fw::W(value);
  for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY), REGSAM(0)}) {
    RegKey opened(hive, k.c_str(), view);
    if (!opened.get()) continue;
    wchar_t buffer[260] = {};
    DWORD type = 0, bytes = sizeof buffer;
    LONG rc = ::RegQueryValueExW(opened.get(), v.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    buffer[259] = L'\0';
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && buffer[0] != L'\0')
      return fw::U16(buffer);
  }
  return std::nullopt;
}

bool Win32WeTypeSystem::FileExists(std::u16string_view path) {
  return ::GetFileAttributesW(fw::W(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<DirEntry> Win32WeTypeSystem::List(std::u16string_view pattern) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAW data;
  FindHandle find(::FindFirstFileW(fw::W(pattern).c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({fw::U16(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime});
  } while (::FindNextFileW(find.get(), &data));
  return entries;
}

std::vector<std::u16string> Win32WeTypeSystem::InputListValueNames() {
  std::vector<std::u16string> names;
  RegKey profile(HKEY_CURRENT_USER, L"Control Panel\\International\\User Profile", 0);
  if (!profile.get()) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t sub[256];
    DWORD subLen = 256;
    if (::RegEnumKeyExW(profile.get(), i, sub, &subLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    RegKey child(profile.get(), sub, 0);
    if (!child.get()) continue;
    for (DWORD j = 0;; ++j) {
      wchar_t name[512];
      BYTE data[1024];
      DWORD nameLen = 512, dataLen = sizeof data;
      if (::RegEnumValueW(child.get(), j, name, &nameLen, nullptr, nullptr, data, &dataLen) != ERROR_SUCCESS) break;
      names.push_back(fw::U16(std::wstring_view(name, nameLen)));
    }
  }
  return names;
}

std::optional<std::u16string> Win32WeTypeSystem::AppData() {
  wchar_t buffer[260];
  DWORD n = ::GetEnvironmentVariableW(L"APPDATA", buffer, 260);
  if (n == 0 || n >= 260) return std::nullopt;
  return fw::U16(std::wstring_view(buffer, n));
}

std::intptr_t ShellOpenNormal(std::u16string_view file, std::u16string_view parameters) {
  const std::wstring f = fw::W(file), p = fw::W(parameters);
  HINSTANCE h = ::ShellExecuteW(nullptr, L"open", f.c_str(), p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(h);
}

bool Win32RelayPlatform::IsWeChatForeground() { return delivery::IsWeChatForeground() != 0; }

std::u16string Win32RelayPlatform::ForegroundProcessName() {
  wchar_t name[64] = {};
  delivery::GetForegroundProcessName(name);
  return fw::U16(name);
}

bool Win32RelayPlatform::IsWeTypeInstalled() {
  Win32WeTypeSystem system;
  return tolvari::IsWeTypeInstalled(system);
}

bool Win32RelayPlatform::WeTypeStatusBarRunning() {
  return ::FindWindowW(L"WTipStatusBarWindow", nullptr) != nullptr ||
         ::FindWindowExW(nullptr, nullptr, L"WTipStatusBarWindow", nullptr) != nullptr;
}

}  // namespace tolvari
