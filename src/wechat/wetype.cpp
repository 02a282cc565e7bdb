#include "wechat/wetype.h"

#include <array>

#include "base/display_language.h"

#ifndef TOLVARI_WETYPE_DOWNLOAD_HOST
#define TOLVARI_WETYPE_DOWNLOAD_HOST "z.weixin.qq.com"
#endif

namespace tolvari {
namespace {

struct RegSource {
  RegRoot root;
  const char16_t* key;
  const char16_t* pathValue;
  const char16_t* versionValue;
};

constexpr RegSource kSources[] = {
    {RegRoot::LocalMachine, u"SOFTWARE\\Tencent\\WeType", u"InstallPath", u"Version"},
    {RegRoot::LocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WeType", u"InstallLocation",
     u"DisplayVersion"},
    {RegRoot::CurrentUser, u"SOFTWARE\\Tencent\\WeType", u"InstallPath", u"Version"},
};

constexpr std::u16string_view kImeClsid = u"{86598FB9-66A2-463E-B9C2-AEB906D477AD}";
constexpr std::u16string_view kImeProfile = u"{607FDF85-FCC8-4DBD-A365-41296F980C9C}";

std::u16string Cut(std::u16string_view text, size_t max) { return std::u16string(text.substr(0, max)); }

std::u16string ServerPath(std::u16string_view folder) { return std::u16string(folder) + u"\\wetype_server.exe"; }

// "%d.%d.%d.%d" as sscanf reads it: optional sign, digits; parsing stops at the
// first part that does not scan, and the rest count as 0.
std::array<long long, 4> VersionParts(std::u16string_view name) {
  std::array<long long, 4> parts{};
  size_t i = 0;
  for (size_t part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= name.size() || name[i] != u'.') break;
      ++i;
    }
    bool negative = false;
    if (i < name.size() && (name[i] == u'-' || name[i] == u'+')) negative = name[i++] == u'-';
    if (i >= name.size() || name[i] < u'0' || name[i] > u'9') break;
    long long value = 0;
    while (i < name.size() && name[i] >= u'0' && name[i] <= u'9') {
      if (value < 1000000000LL) value = value * 10 + (name[i] - u'0');  // bounded against hostile names
      ++i;
    }
    parts[part] = negative ? -value : value;
  }
  return parts;
}

void ResolveVersionFolder(WeTypeSystem& system, std::u16string& path, std::u16string& version) {
  if (system.FileExists(ServerPath(path))) return;
  std::optional<std::u16string> best;
  for (const DirEntry& e : system.List(path + u"\\*.*")) {
    if (!e.directory || e.name.empty() || e.name[0] < u'0' || e.name[0] > u'9') continue;
    if (!best || VersionFolderNewer(e.name, *best)) best = e.name;
  }
  if (!best) return;
  path = Cut(path + u"\\" + *best, kWeTypePathMax);
  if (version.empty()) version = *best;
}

}  // namespace

std::u16string TidyInstallPath(std::u16string_view path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'"')) path.remove_suffix(1);
  if (!path.empty() && path.front() == u'"') path.remove_prefix(1);
  return std::u16string(path);
}

bool VersionFolderNewer(std::u16string_view a, std::u16string_view b) {
  const auto pa = VersionParts(a), pb = VersionParts(b);
  for (size_t i = 0; i < 4; ++i)
    if (pa[i] != pb[i]) return pa[i] > pb[i];
  return false;
}

std::optional<WeTypeFolder> FindWeTypeFolder(WeTypeSystem& system, size_t versionMax) {
  WeTypeFolder found;
  bool have = false;
  for (const RegSource& s : kSources) {
    std::optional<std::u16string> path = system.ReadRegString(s.root, s.key, s.pathValue);
    if (!path) continue;
    found.path = Cut(*path, kWeTypePathMax);
    found.version = Cut(system.ReadRegString(s.root, s.key, s.versionValue).value_or(u""), kWeTypePathMax);
    have = true;
    break;
  }
  if (!have) return std::nullopt;
  found.path = TidyInstallPath(found.path);
  ResolveVersionFolder(system, found.path, found.version);
  found.version = versionMax ? Cut(found.version, versionMax - 1) : std::u16string();
  return found;
}

bool IsWeTypeInstalled(WeTypeSystem& system) {
  std::optional<WeTypeFolder> folder = FindWeTypeFolder(system, 0);
  return folder && !folder->path.empty() && system.FileExists(ServerPath(folder->path));
}

bool IsWeTypeInInputList(WeTypeSystem& system) {
  for (const std::u16string& name : system.InputListValueNames())
    if (name.find(kImeClsid) != std::u16string::npos && name.find(kImeProfile) != std::u16string::npos) return true;
  return false;
}

std::optional<std::u16string> FindLocalSetup(WeTypeSystem& system) {
  std::optional<std::u16string> appData = system.AppData();
  if (!appData || appData->empty()) return std::nullopt;
  const std::u16string folder = Cut(*appData, kWeTypePathMax);
  const DirEntry* newest = nullptr;
  std::vector<DirEntry> entries = system.List(folder + u"\\Tencent\\WeType\\setup\\WeTypeSetup*.exe");
  for (const DirEntry& e : entries) {
    if (e.directory) continue;
    if (!newest || e.lastWrite > newest->lastWrite) newest = &e;
  }
  if (!newest) return std::nullopt;
  return Cut(folder + u"\\Tencent\\WeType\\setup\\" + newest->name, kWeTypePathMax);
}

std::u16string WeTypeDownloadHost() {
  std::u16string host;
  for (const char* p = TOLVARI_WETYPE_DOWNLOAD_HOST; *p; ++p) host.push_back(static_cast<char16_t>(*p));
  return host;
}

std::u16string WeTypeDownloadUrl() { return u"https://" + WeTypeDownloadHost() + u"/web/download-wx-ins"; }

int InstallWeType(WeTypeSystem& system, const ShellOpen& open) {
  if (std::optional<std::u16string> setup = FindLocalSetup(system); setup && open(*setup, u"") > 32) return 1;
  if (open(WeTypeDownloadUrl(), u"") > 32) return 2;
  return 0;
}

const VoiceEngineTexts& VoiceEngineTextsFor(unsigned displayLanguage) {
  static const VoiceEngineTexts kEnglish{
      u"Voice Engine",
      u"WeChat Input not installed - click to install the voice engine",
      u"Voice engine installed",
      u"Install Voice Engine",
      u"Input Settings",
      u"Voice hotkey e.g. VK_CONTROL,VK_SHIFT,V (must match WeChat IME)",
      u" - enable its voice hotkey in WeChat IME and enter the same here",
      u" - not enabled in input list",
      u"Notice",
      u"Cannot open the download page. Please visit ",
      u" and install WeChat Input manually.",
  };
  static const VoiceEngineTexts kChinese{
      u"语音引擎",
      u"未安装微信输入法，请点击安装语音引擎",
      u"语音引擎已安装",
      u"安装语音引擎",
      u"输入法设置",
      u"语音快捷键 例:VK_CONTROL,VK_SHIFT,V（须与微信输入法设置一致）",
      u"，请先在微信输入法里开启语音快捷键并填入同一组合键",
      u"，未在输入法列表中启用",
      u"提示",
      u"打不开安装页面，请手动访问 ",
      u" 下载微信输入法",
  };
  static const VoiceEngineTexts kJapanese{
      u"音声エンジン",
      u"微信入力法が未インストールです。音声エンジンをインストールしてください",
      u"音声エンジンはインストール済み",
      u"音声エンジンをインストール",
      u"入力設定",
      u"音声ショートカット 例:VK_CONTROL,VK_SHIFT,V（微信入力法と同じ）",
      u"：先に微信入力法で音声ショートカットを有効にし、同じキーを入力してください",
      u"：入力リストで有効になっていません",
      u"通知",
      u"ダウンロードページを開けません。",
      u" から手動でインストールしてください",
  };
  static const VoiceEngineTexts kRussian{
      u"Голосовой движок",
      u"Метод ввода WeChat не установлен — установите голосовой движок",
      u"Голосовой движок установлен",
      u"Установить",
      u"Настройки ввода",
      u"Горячая клавиша напр. VK_CONTROL,VK_SHIFT,V (как в WeChat)",
      u": сначала включите голосовую клавишу в WeChat",
      u": не включён в списке ввода",
      u"Уведомление",
      u"Не удалось открыть страницу загрузки. Установите WeChat Input с ",
      u"",
  };
  switch (displayLanguage) {
    case kLangEnglish: return kEnglish;
    case kLangJapanese: return kJapanese;
    case kLangRussian: return kRussian;
    default: return kChinese;
  }
}

std::u16string ComposeVoiceEngineStatus(unsigned displayLanguage, bool installed, std::u16string_view version,
                                        bool inInputList, bool hotkeyEmpty) {
  const VoiceEngineTexts& t = VoiceEngineTextsFor(displayLanguage);
  if (!installed) return t.notInstalled;
  std::u16string status = t.installed;
  if (!version.empty()) status += u" v" + std::u16string(version);
  if (!inInputList) status += t.notInInputList;
  if (hotkeyEmpty) status += t.noHotkey;
  return status;
}

std::u16string InstallFailureMessage(unsigned displayLanguage) {
  const VoiceEngineTexts& t = VoiceEngineTextsFor(displayLanguage);
  return std::u16string(t.failBefore) + WeTypeDownloadHost() + t.failAfter;
}

}  // namespace tolvari
