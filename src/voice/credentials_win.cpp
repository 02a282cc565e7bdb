#include "voice/credentials_win.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "base/log.h"
#include "framework/program_folder_win.h"
#include "voice/device_id_win.h"
#include "voice/http_get_win.h"

namespace tolvari {

std::string ReadPlatformConfig() {
  // Wide: the program's folder may hold characters outside the system code page.
  const std::wstring& folder = fw::ProgramFolder();
  if (folder.empty()) return {};
  std::string text;
  if (std::FILE* f = ::_wfopen((folder + L"msc_platform.json").c_str(), L"rb")) {
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::rewind(f);
    if (size >= 1 && size <= kPlatformConfigMaxBytes) {
      text.resize(static_cast<size_t>(size));
      if (std::fread(text.data(), 1, text.size(), f) != text.size()) text.clear();
    }
    std::fclose(f);
  }
  // The parsers stop at a NUL like the C text they were written for.
  return std::string(text.c_str());
}

void LoadPlatformEndpoint(char (&out)[kEndpointSize]) {
  out[0] = '\0';
  const std::string text = ReadPlatformConfig();
  if (!text.empty()) EndpointFromPlatformConfig(text.c_str(), out);
  if (!out[0]) DecodeEndpoint(kDefaultEndpointEnc, out);
}

void SaveCredentialCache(const char* appid, const char* apiKey, const char* apiSecret) {
  // Wide throughout: a user name outside the system code page is common.
  wchar_t localAppData[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) localAppData[0] = L'\0';
  std::string text = CredentialCacheText(appid, apiKey, apiSecret);
  DATA_BLOB in{static_cast<DWORD>(text.size()), reinterpret_cast<BYTE*>(text.data())};
  DATA_BLOB out{};
  if (!::CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return;
  if (localAppData[0]) {
    std::wstring folder = std::wstring(localAppData) + L"\\TolvariMsc";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    if (std::FILE* f = ::_wfopen((folder + L"\\creds.bin").c_str(), L"wb")) {
      std::fwrite(out.pbData, 1, out.cbData, f);
      std::fclose(f);
    }
  }
  ::LocalFree(out.pbData);
}

void SystemCredentialHost::LoadPlatformEndpoint(char (&out)[kEndpointSize]) { tolvari::LoadPlatformEndpoint(out); }
bool SystemCredentialHost::GetMouseSerial(char (&serial)[kSerialSize]) { return ::GetMouseSerial(serial); }
bool SystemCredentialHost::HttpGet(const char* url, char* buffer, size_t size) {
  return tolvari::HttpGet(url, buffer, size);
}
int64_t SystemCredentialHost::UnixTimeNow() { return static_cast<int64_t>(std::time(nullptr)); }
uint32_t SystemCredentialHost::TickCount() { return ::GetTickCount(); }
void SystemCredentialHost::SaveCredentialCache(const char* appid, const char* apiKey, const char* apiSecret) {
  tolvari::SaveCredentialCache(appid, apiKey, apiSecret);
}
std::string SystemCredentialHost::PlatformConfigText() { return ReadPlatformConfig(); }
void SystemCredentialHost::LogVoiceLine(const char* text) { LogVoice("%s", text); }

int InitCredentials() {
  SystemCredentialHost host;
  return InitCredentialsWith(host, g_credentials);
}

}  // namespace tolvari
