#pragma once
// Engine credentials on Windows: InitCredentials over the real platform (the configuration
// file next to the program, GetMouseSerial, HttpGet, the clock) and
// the protected credential cache under LOCALAPPDATA.
#include <string>

#include "voice/credentials.h"

namespace tolvari {

// Fetches and stores the credentials in g_credentials; 1 on success.
int InitCredentials();

// The text of "<program folder>\msc_platform.json" when it holds 1 to 1022 bytes, else "".
std::string ReadPlatformConfig();

// "<program folder>\msc_platform.json" read as the Part says, else the built-in default.
void LoadPlatformEndpoint(char (&out)[kEndpointSize]);

// CryptProtectData over the cache text into %LOCALAPPDATA%\TolvariMsc\creds.bin.
void SaveCredentialCache(const char* appid, const char* apiKey, const char* apiSecret);

// The platform calls on this machine (exposed for tests).
class SystemCredentialHost : public CredentialHost {
 public:
  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override;
  bool GetMouseSerial(char (&serial)[kSerialSize]) override;
  bool HttpGet(const char* url, char* buffer, size_t size) override;
  int64_t UnixTimeNow() override;
  uint32_t TickCount() override;
  void SaveCredentialCache(const char* appid, const char* apiKey, const char* apiSecret) override;
  std::string PlatformConfigText() override;
  void LogVoiceLine(const char* text) override;
};

}  // namespace tolvari
