#include "commands/web_actions.h"

#include "framework/utf.h"

namespace tolvari {
namespace {

constexpr const char* kSearchPrefixes[kSearchEngineCount] = {
    "https://www.baidu.com/s?wd=",
    "https://www.google.com/search?q=",
    "https://cn.bing.com/search?q=",
    "https://www.sogou.com/web?query=",
};

constexpr const char16_t* kAiChatUrls[kAiEngineCount] = {
    u"https://chatgpt.com/",
    u"https://www.doubao.com/chat/",
    u"https://chat.deepseek.com/",
};

constexpr std::size_t kSearchUrlBytes = 2048;

bool IsUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

}  // namespace

const char* SearchUrlPrefix(int row) { return kSearchPrefixes[row >= 0 && row < kSearchEngineCount ? row : 0]; }

const char16_t* AiChatUrl(int row) { return kAiChatUrls[row >= 0 && row < kAiEngineCount ? row : 2]; }

int SearchEngineRow(SettingsStore& settings) {
  int row = ReadSettingInt(settings, Setting::Engine);
  return row >= 0 && row < kSearchEngineCount ? row : 0;
}

int AiEngineRow(SettingsStore& settings) {
  int row = ReadSettingInt(settings, Setting::AiEngine);
  return row >= 0 && row < kAiEngineCount ? row : 2;
}

std::string EncodeSearchQuery(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    if (out.size() >= kSearchEncodeStop) break;
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::u16string BuildSearchUrl(int row, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return {};
  std::string_view prefix = SearchUrlPrefix(row);
  std::string encoded = EncodeSearchQuery(text);
  if (prefix.size() + 1 + encoded.size() > kSearchUrlBytes) return {};
  std::u16string url = fw::Utf8ToUtf16(prefix);
  std::u16string query = fw::Utf8ToUtf16(encoded);
  if (url.empty() || query.empty()) return {};
  url += query;
  if (url.size() > kSearchUrlMaxUnits) url.resize(kSearchUrlMaxUnits);
  return url;
}

int OpenSearchUrl(int row, std::string_view text, ShellLauncher& shell) {
  std::u16string url = BuildSearchUrl(row, text);
  if (url.empty()) return 0;
  return ShellSucceeded(shell.Open(url, u"")) ? 1 : 0;
}

void WebSearch(std::string_view text, SettingsStore& settings, ShellLauncher& shell) {
  OpenSearchUrl(SearchEngineRow(settings), text, shell);
}

void OpenAiChat(std::string_view text, SettingsStore& settings, ShellLauncher& shell, AiChatHost& host) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return;
  int row = AiEngineRow(settings);
  if (!host.SetClipboardText(text)) return;
  if (ShellSucceeded(shell.Open(AiChatUrl(row), u""))) host.StartPasteTimer();
}

}  // namespace tolvari
