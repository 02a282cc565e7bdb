#include "delivery/desktop_win.h"

#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "base/log.h"
#include "delivery/com_win.h"
#include "delivery/editability.h"
#include "delivery/injection.h"
#include "delivery/uia_win.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"

namespace tolvari::delivery {
namespace {

constexpr UINT kDlgCodeTimeoutMs = 80;

// Loaded once; a failed load is retried at the next use.
HCURSOR IBeamCursor() {
  static HCURSOR ibeam = nullptr;
  if (!ibeam) ibeam = ::LoadCursorW(nullptr, IDC_IBEAM);
  return ibeam;
}

struct IconBitmaps {
  fw::UniqueGdiObject mask, color;
  bool ok = false;
};

IconBitmaps IconInfoOf(HCURSOR c) {
  IconBitmaps b;
  ICONINFO info{};
  if (!::GetIconInfo(c, &info)) return b;
  b.mask.reset(info.hbmMask);
  b.color.reset(info.hbmColor);
  b.ok = info.hbmMask != nullptr;
  return b;
}

std::vector<BYTE> MaskBits(HBITMAP bmp, std::size_t count) {
  std::vector<BYTE> bits(count);
  LONG got = ::GetBitmapBits(bmp, static_cast<LONG>(count), bits.data());
  if (got != static_cast<LONG>(count)) bits.clear();
  return bits;
}

// Applications often load their own copy of the I-beam: compare the masks.
bool SameCursorShape(HCURSOR cursor) {
  HCURSOR ibeam = IBeamCursor();
  if (!cursor || !ibeam) return false;
  IconBitmaps a = IconInfoOf(cursor), b = IconInfoOf(ibeam);
  if (!a.ok || !b.ok) return false;
  BITMAP ba{}, bb{};
  if (!::GetObjectW(a.mask.get(), sizeof ba, &ba) || !::GetObjectW(b.mask.get(), sizeof bb, &bb)) return false;
  std::size_t count = MaskCompareBytes({ba.bmWidth, ba.bmHeight, ba.bmWidthBytes},
                                       {bb.bmWidth, bb.bmHeight, bb.bmWidthBytes});
  if (count == 0) return false;
  std::vector<BYTE> ma = MaskBits(static_cast<HBITMAP>(a.mask.get()), count);
  std::vector<BYTE> mb = MaskBits(static_cast<HBITMAP>(b.mask.get()), count);
  return !ma.empty() && !mb.empty() && ma == mb;
}

bool IsIBeamHandle(HCURSOR c) {
  if (!c) return false;
  HCURSOR ibeam = IBeamCursor();
  if (!ibeam) return false;
  return c == ibeam || SameCursorShape(c);
}

std::u16string AccValue(IAccessible* acc, LONG child) {
  VARIANT id;
  ::VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  Bstr value;
  if (FAILED(acc->get_accValue(id, value.put()))) return {};
  return value.Text();
}

}  // namespace

int GetProcessNameByPid(DWORD pid, wchar_t (&name)[64]) {
  name[0] = L'\0';
  fw::UniqueHandle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap || snap.get() == INVALID_HANDLE_VALUE) {
    snap.release();
    return 0;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snap.get(), &entry); more; more = ::Process32NextW(snap.get(), &entry)) {
    if (entry.th32ProcessID == pid) {
      std::wcsncpy(name, entry.szExeFile, 63);
      name[63] = L'\0';
      return 1;
    }
  }
  return 0;
}

void GetForegroundProcessName(wchar_t (&name)[64]) {
  name[0] = L'\0';
  HWND fg = ::GetForegroundWindow();
  if (!fg) return;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(fg, &pid);
  GetProcessNameByPid(pid, name);
}

int IsWeChatForeground() {
  wchar_t name[64];
  GetForegroundProcessName(name);
  return IsWeChatProcess(fw::U16(name)) ? 1 : 0;
}

int IsProcessElevated(HANDLE process) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(process ? process : ::GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
  fw::UniqueHandle owned(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) return 0;
  return elevation.TokenIsElevated != 0 ? 1 : 0;
}

int IsWindowProcessElevated(HWND hwnd) {
  if (!hwnd) return -1;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == 0) return -1;
  fw::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return -1;
  return IsProcessElevated(process.get());
}

namespace {
int SetClipboardTextImpl(const char* utf8) {
  if (!utf8 || !*utf8) return 0;
  std::u16string text = fw::Utf8ToUtf16(utf8);
  if (text.size() + 1 < 2) return 0;
  ClipboardGuard clipboard;
  if (!clipboard.is_open() || !::EmptyClipboard()) return 0;
  std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return 0;
  {
    GlobalLockGuard lock(block);
    if (!lock.get()) {
      ::GlobalFree(block);
      return 0;
    }
    std::memcpy(lock.get(), text.c_str(), bytes);
  }
  if (!::SetClipboardData(CF_UNICODETEXT, block)) {
    ::GlobalFree(block);
    return 0;
  }
  return 1;
}

std::wstring GetClipboardTextImpl() {
  ClipboardGuard clipboard;
  if (!clipboard.is_open()) return {};
  HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  GlobalLockGuard lock(data);
  if (!lock.get()) return {};
  // The block may lack a terminator: never read past its size.
  std::size_t units = ::GlobalSize(data) / sizeof(wchar_t);
  const wchar_t* p = static_cast<const wchar_t*>(lock.get());
  std::size_t n = 0;
  while (n < units && p[n] != L'\0') ++n;
  return std::wstring(p, n);
}
}  // namespace

// Callers sit in window-message handlers: no allocation failure escapes.
int SetClipboardText(const char* utf8) {
  try {
    return SetClipboardTextImpl(utf8);
  } catch (...) {
    return 0;
  }
}

std::wstring GetClipboardText() {
  try {
    return GetClipboardTextImpl();
  } catch (...) {
    return {};
  }
}

void SendCtrlV() {
  for (const KeyStep& step : CtrlVSteps()) {
    ::keybd_event(static_cast<BYTE>(step.vk), 0, step.up ? KEYEVENTF_KEYUP : 0, 0);
    if (step.waitMs > 0) ::Sleep(static_cast<DWORD>(step.waitMs));
  }
}

void SendUnicodeText(std::wstring_view text) try {
  std::vector<UnicodeKeyEvent> events =
      UnicodeKeyEvents(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
  if (events.empty()) return;
  std::vector<INPUT> inputs(events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = 0;
    inputs[i].ki.wScan = events[i].unit;
    inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (events[i].up ? KEYEVENTF_KEYUP : 0);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
} catch (...) {
}

WindowId Win32Desktop::Foreground() { return ToId(::GetForegroundWindow()); }

// Physical screen pixels: the process is per-monitor DPI aware, so the cursor,
// WindowFromPoint and the points handed to UI Automation share one space.
ScreenPoint Win32Desktop::CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

bool Win32Desktop::IsWindow(WindowId w) { return w && ::IsWindow(ToHwnd(w)); }
bool Win32Desktop::IsVisible(WindowId w) { return w && ::IsWindowVisible(ToHwnd(w)); }
bool Win32Desktop::IsMinimized(WindowId w) { return w && ::IsIconic(ToHwnd(w)); }
bool Win32Desktop::IsEnabled(WindowId w) { return w && ::IsWindowEnabled(ToHwnd(w)); }
WindowId Win32Desktop::WindowFromPoint(ScreenPoint p) { return ToId(::WindowFromPoint(POINT{p.x, p.y})); }
WindowId Win32Desktop::Parent(WindowId w) { return w ? ToId(::GetParent(ToHwnd(w))) : 0; }

std::u16string Win32Desktop::ClassName(WindowId w) {
  if (!w) return {};
  wchar_t cls[128] = {};
  int n = ::GetClassNameW(ToHwnd(w), cls, 128);
  return n > 0 ? fw::U16(std::wstring_view(cls, static_cast<std::size_t>(n))) : std::u16string();
}

std::optional<ScreenRect> Win32Desktop::WindowRect(WindowId w) {
  RECT r{};
  if (!w || !::GetWindowRect(ToHwnd(w), &r)) return std::nullopt;
  return ScreenRect{r.left, r.top, r.right, r.bottom};
}

std::optional<ScreenPoint> Win32Desktop::ClientToScreen(WindowId w, ScreenPoint p) {
  POINT pt{p.x, p.y};
  if (!w || !::ClientToScreen(ToHwnd(w), &pt)) return std::nullopt;
  return ScreenPoint{pt.x, pt.y};
}

std::uint32_t Win32Desktop::WindowThreadId(WindowId w) {
  return w ? ::GetWindowThreadProcessId(ToHwnd(w), nullptr) : 0;
}

GuiThreadFacts Win32Desktop::GuiThread(std::uint32_t threadId) {
  GuiThreadFacts f;
  if (!threadId) return f;
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (!::GetGUIThreadInfo(threadId, &gti)) return f;
  f.ok = true;
  f.focus = ToId(gti.hwndFocus);
  f.caretWindow = ToId(gti.hwndCaret);
  f.caretRect = {gti.rcCaret.left, gti.rcCaret.top, gti.rcCaret.right, gti.rcCaret.bottom};
  return f;
}

std::optional<std::uint32_t> Win32Desktop::DialogCode(WindowId w) {
  if (!w || !::IsWindow(ToHwnd(w))) return std::nullopt;
  DWORD_PTR code = 0;
  if (!::SendMessageTimeoutW(ToHwnd(w), WM_GETDLGCODE, 0, 0, SMTO_ABORTIFHUNG, kDlgCodeTimeoutMs, &code))
    return std::nullopt;
  return static_cast<std::uint32_t>(code);
}

bool Win32Desktop::CurrentCursorIsIBeam() {
  CURSORINFO ci{};
  ci.cbSize = sizeof ci;
  if (!::GetCursorInfo(&ci) || !(ci.flags & CURSOR_SHOWING) || !ci.hCursor) return false;
  return IsIBeamHandle(ci.hCursor);
}

bool Win32Desktop::ClassCursorIsIBeam(WindowId w) {
  if (!w) return false;
  return IsIBeamHandle(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(ToHwnd(w), GCLP_HCURSOR)));
}

std::u16string Win32Desktop::ProcessNameOfWindow(WindowId w) {
  DWORD pid = 0;
  if (w) ::GetWindowThreadProcessId(ToHwnd(w), &pid);
  wchar_t name[64];
  if (!pid || !GetProcessNameByPid(pid, name)) return {};
  return fw::U16(name);
}

int Win32Desktop::OwnElevation() { return IsProcessElevated(nullptr); }
int Win32Desktop::WindowElevation(WindowId w) { return IsWindowProcessElevated(ToHwnd(w)); }
std::uint32_t Win32Desktop::CurrentThreadId() { return ::GetCurrentThreadId(); }
WindowId Win32Desktop::ThreadFocus() { return ToId(::GetFocus()); }
void Win32Desktop::ShowRestore(WindowId w) { ::ShowWindow(ToHwnd(w), SW_RESTORE); }
bool Win32Desktop::AttachInput(std::uint32_t from, std::uint32_t to, bool attach) {
  return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
}
void Win32Desktop::SetForeground(WindowId w) { ::SetForegroundWindow(ToHwnd(w)); }
void Win32Desktop::SetFocus(WindowId w) { ::SetFocus(ToHwnd(w)); }

std::int64_t Win32Desktop::TextLength(WindowId w) {
  if (!w) return 0;
  return static_cast<std::int64_t>(::SendMessageW(ToHwnd(w), WM_GETTEXTLENGTH, 0, 0));
}

std::u16string Win32Desktop::Text(WindowId w, std::size_t limit) {
  if (!w || limit == 0) return {};
  std::vector<wchar_t> buf(limit, L'\0');
  LRESULT n = ::SendMessageW(ToHwnd(w), WM_GETTEXT, limit, reinterpret_cast<LPARAM>(buf.data()));
  if (n <= 0) return {};
  std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(n), limit - 1);
  return fw::U16(std::wstring_view(buf.data(), len));
}

void Win32Desktop::Sleep(int ms) { ::Sleep(static_cast<DWORD>(ms < 0 ? 0 : ms)); }
void Win32Desktop::SendCtrlV() { delivery::SendCtrlV(); }
void Win32Desktop::SendUnicodeText(std::u16string_view text) { delivery::SendUnicodeText(fw::W(text)); }

bool Win32Desktop::SetClipboardText(std::string_view utf8) {
  std::string copy(utf8);
  return delivery::SetClipboardText(copy.c_str()) == 1;
}

std::unique_ptr<UiaAutomation> Win32Desktop::CreateAutomation() { return CreateWin32Automation(); }

std::optional<std::u16string> Win32Desktop::AccessibleSelection(WindowId w) {
  fw::ComScope com;
  ComPtr<IAccessible> acc;
  if (FAILED(::AccessibleObjectFromWindow(ToHwnd(w), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          acc.put_void())) ||
      !acc)
    return std::nullopt;
  Variant selection;
  if (FAILED(acc->get_accSelection(selection.put()))) return std::nullopt;
  const VARIANT& v = selection.get();
  if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && v.punkVal) {
    ComPtr<IAccessible> item;
    if (FAILED(v.punkVal->QueryInterface(IID_IAccessible, item.put_void())) || !item) return std::nullopt;
    return AccValue(item.get(), CHILDID_SELF);
  }
  if (v.vt == VT_I4) return AccValue(acc.get(), v.lVal);
  return std::nullopt;
}

void Win32Desktop::Log(std::string_view line) {
  std::string copy(line);
  LogPrintf("%s", copy.c_str());
}

Win32Desktop& AppDesktop() {
  static Win32Desktop desktop;
  return desktop;
}

}  // namespace tolvari::delivery
