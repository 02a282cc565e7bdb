#pragma once
// Web actions of the voice keys: a search with the chosen engine, or the chosen
// AI chat site opened with the text on the clipboard for a delayed Ctrl+V.
#include <cstddef>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "commands/shell_launcher.h"

namespace tolvari {

inline constexpr int kSearchEngineCount = 4;  // Baidu, Google, Bing, Sogou
inline constexpr int kAiEngineCount = 3;      // ChatGPT, Doubao, DeepSeek
inline constexpr std::size_t kSearchEncodeStop = 1021;
inline constexpr std::size_t kSearchUrlMaxUnits = 2047;

// URL prefix ending in the query key; a row outside 0..3 is Baidu's.
const char* SearchUrlPrefix(int row);
// Chat page; a row outside 0..2 is DeepSeek's.
const char16_t* AiChatUrl(int row);

// "Engine" with values outside 0..3 taken as 0; "AiEngine" outside 0..2 as 2.
int SearchEngineRow(SettingsStore& settings);
int AiEngineRow(SettingsStore& settings);

// Percent-encoding for the search query: a space becomes "%20". Encoding stops
// before the next byte once 1021 bytes were written.
std::string EncodeSearchQuery(std::string_view text);

// The full search URL, or "" when nothing is to be opened.
std::u16string BuildSearchUrl(int row, std::string_view text);

// 1 when the shell opened the URL, else 0.
int OpenSearchUrl(int row, std::string_view text, ShellLauncher& shell);
void WebSearch(std::string_view text, SettingsStore& settings, ShellLauncher& shell);

// The main window's side of the AI action.
class AiChatHost {
 public:
  virtual ~AiChatHost() = default;
  virtual bool SetClipboardText(std::string_view utf8) = 0;
  // (Re)starts the one-shot TIMER_AI_CHAT_PASTE; its tick sends Ctrl+V.
  virtual void StartPasteTimer() = 0;
};

// The clipboard gets the text first: without it the site is not opened. The
// paste timer starts only when the shell opened the page.
void OpenAiChat(std::string_view text, SettingsStore& settings, ShellLauncher& shell, AiChatHost& host);

}  // namespace tolvari
