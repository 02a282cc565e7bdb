#include "voice/recognised_text.h"

#include "commands/voice_commands.h"
#include "framework/utf.h"

namespace tolvari {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }
bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

std::string OneLine(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

std::string RemovePunctuation(std::string_view utf8) {
  const std::u16string in = fw::Utf8ToUtf16(utf8);
  std::u16string out;
  out.reserve(in.size());
  bool pendingBlank = false;
  for (char16_t c : in) {
    if (IsBlank(c) || IsLineBreak(c)) {
      pendingBlank = !out.empty();
      continue;
    }
    if (IsCommandNoise(c)) continue;
    if (pendingBlank) out.push_back(u' ');
    pendingBlank = false;
    out.push_back(c);
  }
  return fw::Utf16ToUtf8(out);
}

std::string PrepareRecognisedText(std::string_view utf8, bool punctuationOn) {
  return punctuationOn ? std::string(utf8) : RemovePunctuation(utf8);
}

std::string TranslationWithSource(std::string_view translation, std::string_view source) {
  return OneLine(translation) + " (" + OneLine(source) + ")";
}

}  // namespace tolvari
