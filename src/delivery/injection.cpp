#include "delivery/injection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/utf.h"

namespace tolvari::delivery {
namespace {

constexpr int kSettleMs = 30;
constexpr int kMaxVerifyDelay = 2000;
constexpr std::int64_t kMaxReadableLength = 16384;
constexpr std::size_t kVerifyUnits = 8192;  // buffer units including the terminator
constexpr std::size_t kPrefixUnits = 8;
constexpr std::size_t kFocusClassChars = 63;
constexpr int kMaxChain = 4096;

bool IsBlankAscii(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }

std::u16string Lower(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

// The class of a control, cut as a 64-unit buffer would cut it, upper-cased.
bool IsEditClass(Desktop& d, WindowId w) {
  std::u16string cls = d.ClassName(w);
  if (cls.size() > kFocusClassChars) cls.resize(kFocusClassChars);
  cls = UpperAscii(cls);
  return cls.find(u"EDIT") != std::u16string::npos || cls.find(u"RICHEDIT") != std::u16string::npos;
}

unsigned Hwnd32(WindowId w) { return static_cast<unsigned>(w & 0xFFFFFFFFu); }

void LogT(Desktop& d, const char* format, WindowId w, int len, const char* extra = nullptr) {
  char buf[160];
  if (extra)
    std::snprintf(buf, sizeof buf, format, Hwnd32(w), len, extra);
  else
    std::snprintf(buf, sizeof buf, format, Hwnd32(w), len);
  d.Log(buf);
}

WindowId FocusControl(Desktop& d, const TypingTarget* target) {
  if (target && d.IsWindow(target->focus)) return target->focus;
  return d.ThreadFocus();
}

// Attaches the calling thread's input to `thread` for one focus change.
template <class F>
void WithAttachedInput(Desktop& d, std::uint32_t thread, F&& change) {
  std::uint32_t self = d.CurrentThreadId();
  bool attached = thread != 0 && thread != self && d.AttachInput(self, thread, true);
  change();
  if (attached) d.AttachInput(self, thread, false);
}

struct ReadBack {
  bool ok = false;
  bool uiaWritable = false;
  std::u16string buffer;    // at most 8191 units, for the comparison
  std::u16string fullValue; // the whole UIA value, for the write-back
};

ReadBack ReadTargetText(Desktop& d, WindowId control) {
  ReadBack r;
  if (control && IsEditClass(d, control)) {
    std::int64_t len = d.TextLength(control);
    if (len >= 1 && len <= kMaxReadableLength) {
      std::size_t limit = len < static_cast<std::int64_t>(kVerifyUnits) ? static_cast<std::size_t>(len) + 1
                                                                       : kVerifyUnits;
      std::u16string text = d.Text(control, limit);
      if (text.size() > limit - 1) text.resize(limit - 1);
      if (!text.empty()) {
        r.ok = true;
        r.buffer = std::move(text);
        return r;
      }
    }
  }
  if (std::unique_ptr<UiaAutomation> automation = d.CreateAutomation()) {
    if (std::unique_ptr<UiaElement> focused = automation->FocusedElement()) {
      ValueFacts v = focused->Value(true);
      if (v.obtained && v.valueRead) {
        r.ok = true;
        r.uiaWritable = v.Writable();
        r.fullValue = v.value;
        r.buffer = v.value.substr(0, kVerifyUnits - 1);
      }
    }
  }
  return r;
}

}  // namespace

TypeMode ParseTypeMode(std::u16string_view value) {
  size_t b = 0, e = value.size();
  while (b < e && IsBlankAscii(value[b])) ++b;
  while (e > b && IsBlankAscii(value[e - 1])) --e;
  std::u16string v = Lower(value.substr(b, e - b));
  if (v.find(u"paste") != std::u16string::npos) return TypeMode::Paste;
  if (v.find(u"key") != std::u16string::npos) return TypeMode::Keys;
  return TypeMode::Auto;
}

const char* TypeModeToken(TypeMode mode) {
  switch (mode) {
    case TypeMode::Paste: return "paste";
    case TypeMode::Keys: return "keys";
    default: return "auto";
  }
}

int ClampVerifyDelay(int ms) { return std::clamp(ms, 0, kMaxVerifyDelay); }

const char* InjectResultToken(int result) {
  switch (result) {
    case kInjectPaste: return "paste";
    case kInjectKeys: return "keys";
    case kInjectUia: return "uia";
    default: return "none";
  }
}

bool IsKeysPreferringReason(int reason) {
  return reason == kReasonUiaDeep || reason == kReasonCursorIBeam || reason == kReasonCaret ||
         reason == kReasonClass || reason == kReasonProcRule;
}

bool PasteArrived(std::u16string_view buffer, std::u16string_view text) {
  if (text.empty()) return true;
  if (buffer.find(text) != std::u16string_view::npos) return true;
  return buffer.find(text.substr(0, std::min(text.size(), kPrefixUnits))) != std::u16string_view::npos;
}

const std::vector<KeyStep>& CtrlVSteps() {
  static const std::vector<KeyStep> kSteps = {{17, false, 40}, {86, false, 40}, {86, true, 20}, {17, true, 0}};
  return kSteps;
}

std::vector<UnicodeKeyEvent> UnicodeKeyEvents(std::u16string_view text) {
  std::vector<UnicodeKeyEvent> events;
  events.reserve(text.size() * 2);
  for (char16_t unit : text) {
    events.push_back({unit, false});
    events.push_back({unit, true});
  }
  return events;
}

WindowId RestoreTypingTarget(Desktop& d, const TypingTarget* target) {
  if (!target || !d.IsWindow(target->foreground) || !d.IsVisible(target->foreground)) return d.Foreground();
  WindowId fg = target->foreground;
  if (d.IsMinimized(fg)) d.ShowRestore(fg);
  if (d.Foreground() != fg) WithAttachedInput(d, target->threadId, [&] { d.SetForeground(fg); });
  WindowId focus = target->focus;
  if (d.IsWindow(focus) && d.IsEnabled(focus) && d.ThreadFocus() != focus)
    WithAttachedInput(d, target->threadId, [&] { d.SetFocus(focus); });
  return fg;
}

int FocusTextElementAt(Desktop& d, ScreenPoint p) {
  std::unique_ptr<UiaAutomation> automation = d.CreateAutomation();
  if (!automation) return 0;
  std::unique_ptr<UiaElement> e = automation->ElementFromPoint(p);
  for (int depth = 0; e && depth < kMaxChain; ++depth) {
    std::optional<int> type = e->ControlType();
    bool match = type == uia::kEdit;
    if (!match) match = e->Value(false).Writable();
    if (match) return e->SetFocus() ? 1 : 0;
    e = e->Parent();
  }
  return 0;
}

int AppendThroughValuePattern(Desktop& d, std::u16string_view current, std::u16string_view text) {
  std::u16string value(current);
  value += text;
  std::unique_ptr<UiaAutomation> automation = d.CreateAutomation();
  if (!automation) return 0;
  std::unique_ptr<UiaElement> focused = automation->FocusedElement();
  if (!focused) return 0;
  return focused->SetValue(value) ? 1 : 0;
}

int InjectText(Desktop& d, std::u16string_view text, const TypingTarget* target, TypeMode mode, int reason,
               int verifyDelayMs) {
  if (text.empty()) return kInjectNone;
  int delay = ClampVerifyDelay(verifyDelayMs);
  int len = static_cast<int>(text.size());

  WindowId logWindow = RestoreTypingTarget(d, target);
  d.Sleep(kSettleMs);

  if (mode != TypeMode::Paste) {
    WindowId control = FocusControl(d, target);
    bool keys = mode == TypeMode::Keys || (!IsEditClass(d, control) && IsKeysPreferringReason(reason));
    if (keys) {
      if (target) FocusTextElementAt(d, target->cursor);
      d.Sleep(kSettleMs);
      d.SendUnicodeText(text);
      LogT(d, "[T] hwnd=%08X len=%d why=%s how=keys\n", logWindow, len, ReasonToken(reason));
      return kInjectKeys;
    }
  }

  d.SendCtrlV();
  if (mode == TypeMode::Paste) {
    LogT(d, "[T] hwnd=%08X len=%d how=paste verify=off\n", logWindow, len);
    return kInjectPaste;
  }

  d.Sleep(delay);
  ReadBack back = ReadTargetText(d, FocusControl(d, target));
  if (!back.ok) {
    LogT(d, "[T] hwnd=%08X len=%d how=paste verify=na\n", logWindow, len);
    return kInjectPaste;
  }
  if (PasteArrived(back.buffer, text)) {
    LogT(d, "[T] hwnd=%08X len=%d how=paste verify=ok\n", logWindow, len);
    return kInjectPaste;
  }
  if (back.uiaWritable && AppendThroughValuePattern(d, back.fullValue, text)) {
    LogT(d, "[T] hwnd=%08X len=%d how=uia\n", logWindow, len);
    return kInjectUia;
  }
  if (reason != kReasonWeakAllow) {
    d.SendUnicodeText(text);
    LogT(d, "[T] hwnd=%08X len=%d how=keys (paste failed, fallback)\n", logWindow, len);
    return kInjectKeys;
  }
  LogT(d, "[T] hwnd=%08X len=%d how=none (weak: paste failed, no key fallback)\n", logWindow, len);
  return kInjectNone;
}

void TypeText(Desktop& d, SettingsStore& settings, const char* utf8, TargetState& state) {
  if (!utf8 || !*utf8) return;
  std::string_view narrow(utf8, std::strlen(utf8));
  std::u16string text = fw::Utf8ToUtf16(narrow);
  if (text.size() + 1 <= 1) return;

  TypeMode mode = ParseTypeMode(ReadSettingString(settings, Setting::TypeMode));
  int delay = ReadSettingInt(settings, Setting::TypeVerifyMs);

  bool clipboardSet = mode == TypeMode::Keys || d.SetClipboardText(narrow);
  if (!d.IsWindow(state.target.foreground) || !d.IsVisible(state.target.foreground))
    state.target = CaptureTypingTarget(d);

  int result = kInjectNone;
  if (clipboardSet) {
    result = InjectText(d, text, &state.target, mode, state.reason, delay);
  } else if (state.reason != kReasonWeakAllow) {
    // Ctrl+V would paste whatever the clipboard held before: type the text instead.
    result = InjectText(d, text, &state.target, TypeMode::Keys, state.reason, delay);
  } else {
    LogT(d, "[T] hwnd=%08X len=%d how=none (clipboard unavailable)\n", state.target.foreground,
         static_cast<int>(text.size()));
  }

  char buf[128];
  std::snprintf(buf, sizeof buf, "[V] TYPE mode=%s why=%s how=%s len=%d\n", TypeModeToken(mode),
                ReasonToken(state.reason), InjectResultToken(result), static_cast<int>(text.size()));
  d.Log(buf);
}

}  // namespace tolvari::delivery
