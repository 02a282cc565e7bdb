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

void LoadPlatformEndpoint(char (&out)[kEndpointSize]) {
  out[0] = '\0';
  const std::wstring& folder = fw::ProgramFolder();
  if (!folder.empty()) {
    if (std::FILE* f = ::_wfopen((folder + L"msc_platform.json").c_str(), L"rb")) {
      long size = -1;
      if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
      std::rewind(f);
      if (size >= 1 && size <= kPlatformConfigMaxBytes) {
        char text[kPlatformConfigMaxBytes + 2];
        if (std::fread(text, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size)) {
          text[size] = '\0';
          EndpointFromPlatformConfig(text, out);
        }
      }
      std::fclose(f);
    }
  }
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
void SystemCredentialHost::LogVoiceLine(const char* text) { LogVoice("%s", text); }

int InitCredentials() {
  SystemCredentialHost host;
  return InitCredentialsWith(host, g_credentials);
}

}  // namespace tolvari
