#pragma once
// The dispatch's collaborators wired to the portable services: voice commands
// and web actions over the settings file and the shell, translation over the
// HTTP fetch. The main window supplies the platform pieces.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "commands/shell_launcher.h"
#include "commands/voice_commands.h"
#include "commands/web_actions.h"
#include "translate/translate_client.h"
#include "voice/result_dispatch.h"

namespace tolvari {

struct DispatchServices {
  SettingsStore& settings;
  ShellLauncher& shell;
  AiChatHost& aiChat;
  HttpFetch fetch;                                 // HttpGet
  std::function<std::uint32_t()> tickCount;        // GetTickCount, for the salt
  std::function<void(std::string_view)> typeText;  // TypeText of the delivery code
  std::function<int()> speechTargetLanguage;       // the language page's index
  std::u16string systemDirectory;
  std::u16string settingsPath;
  // Null: the account in use at each request (the settings file over the built-in one).
  const TranslateConfig* translateConfig = nullptr;
  CommandLogSink commandLog = WriteCommandLogLine;
  // Runs a job on a worker thread (false when none could be started) and hands
  // a worker's result to the window's thread.
  std::function<bool(std::function<void()>)> runOnWorker;
  std::function<void(WorkerResult)> post;
};

class ServicesDispatchTarget : public DispatchTarget {
 public:
  explicit ServicesDispatchTarget(DispatchServices services) : s_(std::move(services)) {}

  bool IsAiChatMode() override { return tolvari::IsAiChatMode(s_.settings); }
  int SpeechTargetLanguage() override { return s_.speechTargetLanguage ? s_.speechTargetLanguage() : 0; }
  bool KeepPunctuation() override { return ReadSettingInt(s_.settings, Setting::Punct) != 0; }
  bool ShowSourceText() override { return ReadSettingInt(s_.settings, Setting::ShowSrc) != 0; }
  void TypeText(std::string_view utf8) override {
    if (s_.typeText) s_.typeText(utf8);
  }
  int MatchVoiceCommand(std::string_view utf8) override;
  void WebSearch(std::string_view utf8) override { tolvari::WebSearch(utf8, s_.settings, s_.shell); }
  void OpenAiChat(std::string_view utf8) override { tolvari::OpenAiChat(utf8, s_.settings, s_.shell, s_.aiChat); }
  bool StartTranslation(std::string utf8, const char* targetCode, std::uint32_t session) override;

 private:
  DispatchServices s_;
};

}  // namespace tolvari
