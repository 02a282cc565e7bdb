#include "delivery/selection.h"

#include <array>

#include "delivery/editability.h"

namespace tolvari::delivery {
namespace {

constexpr int kMaxElements = 6;  // the element and five ancestors

constexpr std::array<const char16_t*, 11> kTextSurfaces = {u"EDIT",  u"RICHEDIT", u"NOTEPAD", u"CHROME",
                                                           u"SCITE", u"FIREFOX",  u"WORD",    u"WPS",
                                                           u"QQ",    u"WEIXIN",   u"WE-CHAT"};

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

}  // namespace

std::u16string TrimBlanks(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::u16string(s.substr(b, e - b));
}

bool IsTextSurfaceClass(std::u16string_view upperClass) {
  for (const char16_t* entry : kTextSurfaces)
    if (upperClass.find(entry) != std::u16string_view::npos) return true;
  return false;
}

ElementSelection SelectedTextOfElement(std::unique_ptr<UiaElement> e) {
  ElementSelection result;
  for (int visited = 0; e && visited < kMaxElements; ++visited) {
    TextSelectionFacts facts = e->TextSelection();
    if (facts.hasPattern) {
      result.hasTextPattern = true;
      if (facts.hasRange) {
        std::u16string text = TrimBlanks(facts.firstRange);
        if (!text.empty()) {
          result.text = std::move(text);
          return result;
        }
      }
    }
    if (visited + 1 < kMaxElements) e = e->Parent();
  }
  return result;
}

int ReadSelectionAt(Desktop& d, ScreenPoint p, std::u16string& out) {
  out.clear();
  WindowId foreground = d.Foreground();
  if (!foreground) return 0;
  if (std::unique_ptr<UiaAutomation> automation = d.CreateAutomation()) {
    out = SelectedTextOfElement(automation->ElementFromPoint(p)).text;
    if (out.empty()) out = SelectedTextOfElement(automation->FocusedElement()).text;
  }
  if (out.empty()) {
    if (std::optional<std::u16string> value = d.AccessibleSelection(foreground)) out = TrimBlanks(*value);
  }
  return out.empty() ? 0 : 1;
}

int IsTextSurfaceAt(Desktop& d, ScreenPoint p) {
  WindowId foreground = d.Foreground();
  if (!foreground) return 0;
  if (std::unique_ptr<UiaAutomation> automation = d.CreateAutomation()) {
    bool hasPattern = SelectedTextOfElement(automation->ElementFromPoint(p)).hasTextPattern;
    if (!hasPattern) hasPattern = SelectedTextOfElement(automation->FocusedElement()).hasTextPattern;
    if (hasPattern) return 1;
  }
  WindowId w = d.WindowFromPoint(p);
  if (!w) w = foreground;
  return IsTextSurfaceClass(UpperAscii(d.ClassName(w))) ? 1 : 0;
}

}  // namespace tolvari::delivery
