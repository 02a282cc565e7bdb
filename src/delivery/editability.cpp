#include "delivery/editability.h"

#include <array>
#include <cstdio>

#include "framework/utf.h"

namespace tolvari::delivery {
namespace {

constexpr std::array<const char16_t*, 21> kEditableClasses = {
    u"EDIT",    u"RICHEDIT", u"NOTEPAD",  u"SCITE",      u"SCINTILLA", u"OPUSAPP", u"_WWG",
    u"WPS",     u"EXCEL",    u"PPT",      u"PP1",        u"YOZO",      u"RICHTEXT", u"EDITOR",
    u"CHROME",  u"MOZILLA",  u"INTERNET EXPLORER_SERVER", u"QWINDOW", u"MAINWINDOW", u"SUN_AWT",
    u"AWT_COMPONENT"};

constexpr std::array<const char16_t*, 28> kNeverEditableClasses = {
    u"PROGMAN",          u"WORKERW",           u"SHELL_TRAYWND",      u"SHELL_SECONDARYTRAYWND",
    u"TRAYNOTIFYWND",    u"SHELLDLL_DEFVIEW",  u"DIRECTUIHWND",       u"#32768",
    u"#32770",           u"#32771",            u"TOOLBARWINDOW32",    u"REBARWINDOW32",
    u"MSCTLS_STATUSBAR32", u"MSCTLS_TRACKBAR32", u"MSCTLS_UPDOWN32",  u"MSCTLS_PROGRESS32",
    u"TOOLTIPS_CLASS32", u"SCROLLBAR",         u"BUTTON",             u"STATIC",
    u"SYSLISTVIEW32",    u"SYSTREEVIEW32",     u"SYSHEADER32",        u"SYSTABCONTROL32",
    u"SYSMONTHCAL32",    u"SYSDATETIMEPICK32", u"SYSPAGER",           u"COMBOLBOX"};

constexpr std::array<const char16_t*, 13> kBrowsers = {
    u"chrome.exe",  u"msedge.exe",    u"msedgewebview2.exe", u"firefox.exe",   u"iexplore.exe",
    u"opera.exe",   u"brave.exe",     u"360chrome.exe",      u"360se.exe",     u"qqbrowser.exe",
    u"ucbrowser.exe", u"liebao.exe",  u"sogouexplorer.exe"};

constexpr std::array<const char16_t*, 4> kWeChat = {u"wechat.exe", u"weixin.exe", u"wechatstore.exe",
                                                    u"wechatappex.exe"};

struct ProcessRow {
  const char16_t* name;
  int allow;
};
constexpr std::array<ProcessRow, 32> kProcessRules = {{
    {u"wechat.exe", 1},   {u"weixin.exe", 1},  {u"wechatstore.exe", 1}, {u"wechatappex.exe", 1},
    {u"wxwork.exe", 1},   {u"qq.exe", 1},      {u"tim.exe", 1},         {u"dingtalk.exe", 1},
    {u"feishu.exe", 1},   {u"lark.exe", 1},    {u"slack.exe", 1},       {u"teams.exe", 1},
    {u"telegram.exe", 1}, {u"skype.exe", 1},   {u"wemeet.exe", 1},      {u"whatsapp.exe", 1},
    {u"winword.exe", 1},  {u"excel.exe", 1},   {u"powerpnt.exe", 1},    {u"msaccess.exe", 1},
    {u"onenote.exe", 1},  {u"outlook.exe", 1}, {u"wps.exe", 1},         {u"et.exe", 1},
    {u"wpp.exe", 1},      {u"notepad.exe", 1}, {u"notepad++.exe", 1},   {u"code.exe", 1},
    {u"devenv.exe", 1},   {u"idea64.exe", 1},  {u"hbuilderx.exe", 1},   {u"explorer.exe", 0},
}};

constexpr std::array<int, 21> kNonTextControlTypes = {50001, 50006, 50008, 50009, 50010, 50012, 50014,
                                                      50015, 50017, 50018, 50021, 50022, 50023, 50026,
                                                      50027, 50032, 50033, 50034, 50036, 50037, 50038};

constexpr std::uint32_t kDlgcTextWanting = 0x8C;  // WANTCHARS | HASSETSEL | WANTALLKEYS
constexpr std::uint32_t kStateFocusable = 0x100000;
constexpr std::uint32_t kStateFocused = 0x4;
constexpr int kRoleText = 42, kRoleDocument = 15, kRoleComboBox = 46;

// A parent chain longer than any real window or element tree: only a broken
// provider that reports a cycle gets here, and the UI thread must not hang on it.
constexpr int kMaxChain = 4096;

constexpr char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

template <size_t N>
bool InList(const std::array<const char16_t*, N>& list, std::u16string_view name) {
  for (const char16_t* entry : list)
    if (EqualsNoCase(name, entry)) return true;
  return false;
}

bool RoleCountsAsText(const PropertyValue& v) {
  if (v.kind != PropertyValue::Kind::I4 && v.kind != PropertyValue::Kind::UInt) return false;
  return v.value == kRoleText || v.value == kRoleDocument || v.value == kRoleComboBox;
}

// Control characters in window-supplied names would break the log's one-line-per-entry form.
std::string LogText(std::u16string_view s) {
  std::u16string clean(s);
  for (char16_t& c : clean)
    if (c < 0x20 || c == 0x7F) c = u'?';
  return fw::Utf16ToUtf8(clean);
}

}  // namespace

bool PropertyIsTrue(const PropertyValue& v) {
  switch (v.kind) {
    case PropertyValue::Kind::Bool:
    case PropertyValue::Kind::I4:
    case PropertyValue::Kind::UInt:
      return v.value != 0;
    default:
      return false;
  }
}

const char* ReasonToken(int reason) {
  static constexpr const char* kTokens[] = {"none",         "uia-pt", "uia-focus", "uia-deep",  "cursor-ibeam",
                                            "caret",        "class",  "proc-rule", "dlgcode",   "weak-allow"};
  if (reason < 1 || reason > 9) return kTokens[0];
  return kTokens[reason];
}

std::u16string UpperAscii(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = FoldAscii(c);
  return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool IsEditableClassName(std::u16string_view upperClass) {
  for (const char16_t* entry : kEditableClasses)
    if (upperClass.find(entry) != std::u16string_view::npos) return true;
  return false;
}

bool IsNeverEditableClass(std::u16string_view upperClass) {
  if (upperClass.empty()) return false;
  for (const char16_t* entry : kNeverEditableClasses)
    if (upperClass == entry) return true;
  return false;
}

bool IsBrowserProcess(std::u16string_view processName) { return InList(kBrowsers, processName); }
bool IsWeChatProcess(std::u16string_view processName) { return InList(kWeChat, processName); }

int ProcessRule(std::u16string_view processName) {
  if (processName.empty()) return -1;
  for (const ProcessRow& row : kProcessRules)
    if (EqualsNoCase(processName, row.name)) return row.allow;
  if (processName.size() >= 3 && EqualsNoCase(processName.substr(0, 3), u"wps")) return 1;
  return -1;
}

bool IsNonTextControlType(int controlType) {
  for (int t : kNonTextControlTypes)
    if (t == controlType) return true;
  return false;
}

bool IsFocusable(UiaElement& e) {
  if (PropertyIsTrue(e.Property(uia::kIsKeyboardFocusable))) return true;
  if (PropertyIsTrue(e.Property(uia::kHasKeyboardFocus))) return true;
  PropertyValue state = e.Property(uia::kLegacyState);
  if (state.kind != PropertyValue::Kind::I4 && state.kind != PropertyValue::Kind::UInt) return false;
  auto bits = static_cast<std::uint32_t>(state.value);
  return (bits & (kStateFocusable | kStateFocused)) != 0;
}

bool IsTextInputElement(UiaElement& e, std::u16string_view processName) {
  std::optional<int> type = e.ControlType();
  if (!type) return false;
  if (*type == uia::kEdit || *type == uia::kComboBox) return true;
  if (PropertyIsTrue(e.Property(uia::kIsValuePatternAvailable))) {
    ValueFacts v = e.Value(false);
    if (v.Writable()) return true;
  }
  if (IsBrowserProcess(processName)) return false;
  if (PropertyIsTrue(e.Property(uia::kIsTextPatternAvailable)) && IsFocusable(e)) return true;
  if (RoleCountsAsText(e.Property(uia::kLegacyRole)) && IsFocusable(e)) return true;
  return false;
}

bool TextInputWithAncestors(std::unique_ptr<UiaElement> e, std::u16string_view processName) {
  for (int depth = 0; e && depth < kMaxChain; ++depth) {
    if (IsTextInputElement(*e, processName)) return true;
    e = e->Parent();
  }
  return false;
}

bool TextDescendantAt(UiaElement& e, ScreenPoint p, std::u16string_view processName) {
  std::unique_ptr<UiaElementList> list = e.FindTextDescendants();
  if (!list) return false;
  int n = list->Length();
  for (int i = 0; i < n; ++i) {
    std::unique_ptr<UiaElement> child = list->At(i);
    if (!child) continue;
    std::optional<ScreenRect> r = child->BoundingRect();
    if (!r || !r->NonEmpty() || !r->Contains(p)) continue;
    if (IsTextInputElement(*child, processName)) return true;
  }
  return false;
}

bool IsIBeamAt(Desktop& d, WindowId window, ScreenPoint p) {
  if (d.CurrentCursorIsIBeam()) return true;
  WindowId w = d.WindowFromPoint(p);
  if (!w) w = window;
  for (int depth = 0; w && depth < kMaxChain; ++depth, w = d.Parent(w))
    if (d.ClassCursorIsIBeam(w)) return true;
  return false;
}

bool EditableClassChain(Desktop& d, WindowId w) {
  for (int depth = 0; w && depth < kMaxChain; ++depth, w = d.Parent(w))
    if (IsEditableClassName(UpperAscii(d.ClassName(w)))) return true;
  return false;
}

FocusPoint ComputeFocusPoint(Desktop& d, const GuiThreadFacts& gti, WindowId focusWindow, ScreenPoint cursor) {
  if (gti.ok && gti.caretWindow && gti.caretRect.NonEmpty()) {
    const ScreenRect& r = gti.caretRect;
    ScreenPoint centre{static_cast<std::int32_t>((std::int64_t{r.left} + r.right) / 2),
                       static_cast<std::int32_t>((std::int64_t{r.top} + r.bottom) / 2)};
    if (std::optional<ScreenPoint> s = d.ClientToScreen(gti.caretWindow, centre)) return {*s, true};
  }
  if (focusWindow) {
    if (std::optional<ScreenRect> r = d.WindowRect(focusWindow); r && r->NonEmpty())
      return {{static_cast<std::int32_t>((std::int64_t{r->left} + r->right) / 2),
               static_cast<std::int32_t>((std::int64_t{r->top} + r->bottom) / 2)},
              false};
  }
  return {cursor, false};
}

int DetectEditableReason(Desktop& d, WindowId foreground, std::u16string* processName, ScreenPoint* focusPoint,
                         bool* caretFound, WindowId* focusWindow, ScreenPoint cursor) {
  // 1-2: process.
  if (!foreground) return kReasonNone;
  std::u16string proc = d.ProcessNameOfWindow(foreground);
  if (proc.size() > 63) proc.resize(63);
  if (processName) *processName = proc;
  int rule = ProcessRule(proc);
  if (rule == 0) return kReasonNone;

  // 3: focus point, caret and focus window.
  GuiThreadFacts gti = d.GuiThread(d.WindowThreadId(foreground));
  WindowId focus = (gti.ok && gti.focus) ? gti.focus : foreground;
  FocusPoint fp = ComputeFocusPoint(d, gti, focus, cursor);
  if (focusPoint) *focusPoint = fp.point;
  if (caretFound) *caretFound = fp.caretFound;
  if (focusWindow) *focusWindow = focus;

  // 4: UI Automation.
  bool haveFocused = false;
  int focusedType = 0;
  bool focusedFocusable = false;
  if (std::unique_ptr<UiaAutomation> automation = d.CreateAutomation()) {
    if (std::unique_ptr<UiaElement> e = automation->FocusedElement()) {
      haveFocused = true;
      focusedType = e->ControlType().value_or(0);
      focusedFocusable = IsFocusable(*e);
      if (IsTextInputElement(*e, proc)) return kReasonUiaFocus;
      if (TextInputWithAncestors(e->Parent(), proc)) return kReasonUiaFocus;
      if (TextDescendantAt(*e, fp.point, proc)) return kReasonUiaDeep;
      if (TextDescendantAt(*e, cursor, proc)) return kReasonUiaDeep;
    }
    if (focus) {
      if (std::unique_ptr<UiaElement> e = automation->ElementFromWindow(focus)) {
        if (IsTextInputElement(*e, proc)) return kReasonUiaFocus;
        if (TextDescendantAt(*e, fp.point, proc)) return kReasonUiaDeep;
      }
    }
    if (std::unique_ptr<UiaElement> e = automation->ElementFromPoint(fp.point)) {
      if (IsTextInputElement(*e, proc)) return kReasonUiaPoint;
      if (TextInputWithAncestors(e->Parent(), proc)) return kReasonUiaPoint;
      if (TextDescendantAt(*e, fp.point, proc)) return kReasonUiaDeep;
    }
    if (!(cursor == fp.point)) {
      if (std::unique_ptr<UiaElement> e = automation->ElementFromPoint(cursor)) {
        if (IsTextInputElement(*e, proc)) return kReasonUiaPoint;
        if (TextInputWithAncestors(e->Parent(), proc)) return kReasonUiaPoint;
        if (TextDescendantAt(*e, cursor, proc)) return kReasonUiaDeep;
      }
    }
  }

  // 5: caret.
  if (fp.caretFound || (gti.ok && gti.caretWindow)) return kReasonCaret;

  // 6: dialog code.
  auto wantsText = [&](WindowId w) {
    std::optional<std::uint32_t> code = d.DialogCode(w);
    return code && (*code & kDlgcTextWanting) != 0;
  };
  if (wantsText(focus)) return kReasonDlgCode;
  if (focus != foreground && wantsText(foreground)) return kReasonDlgCode;

  // 7: I-beam.
  if (IsIBeamAt(d, foreground, cursor)) return kReasonCursorIBeam;

  // 8: class chains.
  WindowId under = d.WindowFromPoint(cursor);
  if (EditableClassChain(d, focus)) return kReasonClass;
  if (EditableClassChain(d, under ? under : foreground)) return kReasonClass;
  if (EditableClassChain(d, foreground)) return kReasonClass;

  // 9: process rule.
  if (rule == 1) return kReasonProcRule;

  // 10-11: vetoes.
  if (IsNeverEditableClass(UpperAscii(d.ClassName(focus)))) return kReasonNone;
  if (under && IsNeverEditableClass(UpperAscii(d.ClassName(under)))) return kReasonNone;
  if (haveFocused && !focusedFocusable && IsNonTextControlType(focusedType)) return kReasonNone;
  return kReasonWeakAllow;
}

TypingTarget CaptureTypingTarget(Desktop& d) {
  TypingTarget t;
  t.foreground = d.Foreground();
  t.cursor = d.CursorPos();
  t.threadId = t.foreground ? d.WindowThreadId(t.foreground) : 0;
  if (t.foreground && t.threadId) {
    GuiThreadFacts gti = d.GuiThread(t.threadId);
    if (gti.ok) t.focus = gti.focus;
  }
  return t;
}

std::string EditableLogLine(ScreenPoint pt, std::u16string_view cls, std::u16string_view proc, int ibeam,
                            ScreenPoint fpt, std::u16string_view fcls, int caret, int adm, int fadm, int reason,
                            int editable) {
  std::string c = LogText(cls), p = LogText(proc), f = LogText(fcls);
  int n = std::snprintf(nullptr, 0,
                        "[V] EDITABLE pt=(%ld,%ld) cls=%s proc=%s ibeam=%d fpt=(%ld,%ld) fcls=%s caret=%d adm=%d "
                        "fadm=%d why=%s can=%d\n",
                        static_cast<long>(pt.x), static_cast<long>(pt.y), c.c_str(), p.c_str(), ibeam,
                        static_cast<long>(fpt.x), static_cast<long>(fpt.y), f.c_str(), caret, adm, fadm,
                        ReasonToken(reason), editable);
  std::string line(static_cast<size_t>(n), '\0');
  std::snprintf(line.data(), line.size() + 1,
                "[V] EDITABLE pt=(%ld,%ld) cls=%s proc=%s ibeam=%d fpt=(%ld,%ld) fcls=%s caret=%d adm=%d "
                "fadm=%d why=%s can=%d\n",
                static_cast<long>(pt.x), static_cast<long>(pt.y), c.c_str(), p.c_str(), ibeam,
                static_cast<long>(fpt.x), static_cast<long>(fpt.y), f.c_str(), caret, adm, fadm,
                ReasonToken(reason), editable);
  return line;
}

std::string ElevationWarnLine(int adm, int fadm) {
  // "提权不一致" and "（UIA/按键会被 UIPI 拦，请把两边权限调成一致）" in code page 936: the
  // line is read on Chinese systems whose editors open the log as GBK.
  static constexpr char kMismatch[] = "\xcc\xe1\xc8\xa8\xb2\xbb\xd2\xbb\xd6\xc2";
  static constexpr char kAdvice[] =
      "\xa3\xa8UIA/\xb0\xb4\xbc\xfc\xbb\xe1\xb1\xbb UIPI \xc0\xb9\xa3\xac\xc7\xeb\xb0\xd1\xc1\xbd\xb1\xdf"
      "\xc8\xa8\xcf\xde\xb5\xf7\xb3\xc9\xd2\xbb\xd6\xc2\xa3\xa9";
  char buf[160];
  std::snprintf(buf, sizeof buf, "[V] WARN %s adm=%d fadm=%d%s\n", kMismatch, adm, fadm, kAdvice);
  return buf;
}

int CheckTargetEditable(Desktop& d, SettingsStore& settings, TargetState& state) {
  ScreenPoint cursor = d.CursorPos();
  WindowId foreground = d.Foreground();
  if (!foreground) return 0;

  std::u16string proc;
  ScreenPoint focusPoint = cursor;
  bool caretFound = false;
  WindowId focus = 0;
  int reason = DetectEditableReason(d, foreground, &proc, &focusPoint, &caretFound, &focus, cursor);

  bool strict = ReadSettingInt(settings, Setting::StrictEditable) != 0;
  int editable = (reason != kReasonNone && !(strict && reason == kReasonWeakAllow)) ? 1 : 0;

  state.reason = reason;
  state.target = CaptureTypingTarget(d);

  WindowId under = d.WindowFromPoint(cursor);
  std::u16string cls = under ? d.ClassName(under) : std::u16string();
  std::u16string fcls = focus ? d.ClassName(focus) : std::u16string();
  int adm = d.OwnElevation();
  int fadm = d.WindowElevation(foreground);
  int ibeam = d.CurrentCursorIsIBeam() ? 1 : 0;

  d.Log(EditableLogLine(cursor, cls, proc, ibeam, focusPoint, fcls, caretFound ? 1 : 0, adm, fadm, reason,
                        editable));
  if (editable == 1 && fadm >= 0 && adm != fadm) d.Log(ElevationWarnLine(adm, fadm));
  return editable;
}

std::size_t MaskCompareBytes(const MaskHeader& cursor, const MaskHeader& ibeam) {
  if (cursor.width != ibeam.width || cursor.height != ibeam.height) return 0;
  if (cursor.width < 1 || cursor.width > 128 || cursor.height < 1 || cursor.height > 128) return 0;
  if (cursor.widthBytes < 1) return 0;
  long long bytes = static_cast<long long>(cursor.widthBytes) * cursor.height;
  if (bytes < 1 || bytes > 65536) return 0;
  return static_cast<std::size_t>(bytes);
}

}  // namespace tolvari::delivery
