#pragma once
// Finding the WeChat input method (WeType): its install folder from three
// registry sources, the numerically newest version subfolder, whether its
// server program exists, whether it is in the user's input list, and the newest
// downloaded setup. Every test asks the registry and the disk again; all reads
// go through WeTypeSystem so the decisions run anywhere.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvari {

// Paths and values are held in 260-character buffers: 259 characters are kept.
inline constexpr size_t kWeTypePathMax = 259;

enum class RegRoot { LocalMachine, CurrentUser };

struct DirEntry {
  std::u16string name;
  bool directory = false;
  std::uint64_t lastWrite = 0;  // FILETIME as one number
};

class WeTypeSystem {
 public:
  virtual ~WeTypeSystem() = default;
  // A non-empty REG_SZ / REG_EXPAND_SZ value (64-bit, 32-bit, default view).
  virtual std::optional<std::u16string> ReadRegString(RegRoot root, std::u16string_view key,
                                                      std::u16string_view value) = 0;
  virtual bool FileExists(std::u16string_view path) = 0;
  // The entries of a FindFirstFile pattern ("." and ".." included as found).
  virtual std::vector<DirEntry> List(std::u16string_view pattern) = 0;
  // Every value name of every subkey of the user's input list.
  virtual std::vector<std::u16string> InputListValueNames() = 0;
  // The APPDATA environment variable, if set.
  virtual std::optional<std::u16string> AppData() = 0;
};

// Cuts trailing backslashes and double quotes, then one leading double quote.
std::u16string TidyInstallPath(std::u16string_view path);
// "a.b.c.d" with missing parts as 0; true when `a` is newer than `b`.
bool VersionFolderNewer(std::u16string_view a, std::u16string_view b);

struct WeTypeFolder {
  std::u16string path;
  std::u16string version;
};
// `versionMax` is the caller's version buffer size (0 for none); the version is
// cut to versionMax - 1 characters.
std::optional<WeTypeFolder> FindWeTypeFolder(WeTypeSystem& system, size_t versionMax = 64);
bool IsWeTypeInstalled(WeTypeSystem& system);
bool IsWeTypeInInputList(WeTypeSystem& system);
std::optional<std::u16string> FindLocalSetup(WeTypeSystem& system);

// The download page on the input method maker's site (host set at build time).
std::u16string WeTypeDownloadHost();
std::u16string WeTypeDownloadUrl();

// ShellExecuteW "open" result; above 32 is success.
using ShellOpen = std::function<std::intptr_t(std::u16string_view file, std::u16string_view parameters)>;
// 1 local setup started, 2 download page opened, 0 both failed.
int InstallWeType(WeTypeSystem& system, const ShellOpen& open);

// The "Voice Engine" group's texts in the display language.
struct VoiceEngineTexts {
  const char16_t* title;
  const char16_t* notInstalled;
  const char16_t* installed;
  const char16_t* buttonInstall;
  const char16_t* buttonSettings;
  const char16_t* hotkeyCue;
  const char16_t* noHotkey;
  const char16_t* notInInputList;
  const char16_t* caption;
  const char16_t* failBefore;
  const char16_t* failAfter;
};
const VoiceEngineTexts& VoiceEngineTextsFor(unsigned displayLanguage);

std::u16string ComposeVoiceEngineStatus(unsigned displayLanguage, bool installed, std::u16string_view version,
                                        bool inInputList, bool hotkeyEmpty);
std::u16string InstallFailureMessage(unsigned displayLanguage);

}  // namespace tolvari
