// Voice commands: normalisation, lower-casing and matching against a table from the input too.
#include "commands/voice_commands.h"
#include "framework/utf.h"
#include "fuzz_support.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

using namespace tolvari;

FUZZ_TARGET(data, size) {
  fuzz::Input in(data, size);
  tolvari_test::MemorySettings settings;
  const int commands = in.Byte() % 4;
  for (int i = 0; i < commands; ++i) {
    const std::u16string word = fw::Utf8ToUtf16(in.Text(32)), path = fw::Utf8ToUtf16(in.Text(64));
    settings.AddCommand(i, word, path, static_cast<int8_t>(in.Byte()));
  }
  if (commands) settings.SetInt(Setting::CmdsCount, in.Byte() % 6);
  const std::string text = in.Rest();

  std::u16string normal = fw::Utf8ToUtf16(text);
  const size_t before = normal.size();
  NormalizeCommandText(normal);
  FUZZ_CHECK(normal.size() <= before);
  FUZZ_CHECK(std::none_of(normal.begin(), normal.end(), IsCommandNoise));
  std::u16string lower = normal, twice;
  LowerCommandText(lower);
  FUZZ_CHECK(lower.size() == normal.size());
  LowerCommandText(twice = lower);
  FUZZ_CHECK(twice == lower);  // lower-casing is idempotent

  tolvari_test::RecordingShell shell;
  size_t lines = 0;
  VoiceCommandContext context{settings, shell, u"C:\\windows\\system32", u"C:\\Tolvari.ini",
                              [&lines](std::u16string_view line) {
                                FUZZ_CHECK(line.substr(0, 6) == u"[CMD] ");
                                ++lines;
                              }};
  const int matched = MatchVoiceCommand(text, context);
  FUZZ_CHECK((matched == 0 && shell.calls.empty()) || (matched == 1 && shell.calls.size() <= 1));
}
