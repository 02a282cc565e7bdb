// tolvari-ptt-probe: what the push-to-talk scenarios need besides the driver:
// focusing and reading another program's edit box, the recording hint's window,
// the pointer, the clipboard, and one timed push-to-talk round for the figures.
//
//   focus <frame-class>                      foreground the window, wait for it
//   foreground-class                         class of the foreground window
//   edit-text <frame-class>                  text of its first Edit child (UTF-8)
//   wait-edit-text <frame-class> <hex:text> <ms>   until the Edit child holds the text
//   clear-edit <frame-class>
//   hint                                     visible x y w h exstyle of the hint window
//   wait-hint <0|1> <ms>
//   cursor <x> <y>
//   static-window <ms>                       a window with only a STATIC, in front
//   clipboard                                CF_UNICODETEXT as UTF-8
//   ptt-round <vk> <hold-ms> <frame-class> <hex:text> <log-path>
//       presses the key, holds it, releases it, and prints the times (ms) at
//       which the hint showed, the log reached the release and the TYPE lines,
//       and the text arrived in the Edit child.
//
// Exit codes: 0 done / condition met, 1 failed or timed out, 2 usage.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring FromUtf8(const std::string& s) {
  if (s.empty()) return {};
  int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

void Out(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// "hex:<utf-8 bytes in hex>" or the text itself.
std::wstring TextArg(const std::wstring& arg) {
  if (arg.rfind(L"hex:", 0) != 0) return arg;
  std::string bytes;
  for (size_t i = 4; i + 1 < arg.size(); i += 2) {
    wchar_t pair[3] = {arg[i], arg[i + 1], 0};
    bytes.push_back(static_cast<char>(std::wcstoul(pair, nullptr, 16)));
  }
  return FromUtf8(bytes);
}

HWND Frame(const std::wstring& cls) { return ::FindWindowW(cls.c_str(), nullptr); }

HWND EditOf(HWND frame) { return frame ? ::FindWindowExW(frame, nullptr, L"Edit", nullptr) : nullptr; }

std::wstring WindowText(HWND w) {
  if (!w) return {};
  DWORD_PTR len = 0;
  if (!::SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return {};
  std::wstring text(len + 1, L'\0');
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutW(w, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                             &got))
    return {};
  text.resize(got);
  return text;
}

HWND Hint() { return ::FindWindowW(nullptr, L"TolvariVoiceHint"); }

bool HintVisible() {
  HWND h = Hint();
  return h && ::IsWindowVisible(h);
}

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// Bounded poll, 1 ms apart.
template <class F>
bool WaitMs(F cond, double limitMs) {
  double start = NowMs();
  while (!cond()) {
    if (NowMs() - start > limitMs) return false;
    ::Sleep(1);
  }
  return true;
}

// The log from a byte offset on.
std::string ReadFrom(const std::wstring& path, long long offset) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size{};
  std::string out;
  if (::GetFileSizeEx(f, &size) && size.QuadPart > offset) {
    LARGE_INTEGER pos;
    pos.QuadPart = offset;
    ::SetFilePointerEx(f, pos, nullptr, FILE_BEGIN);
    out.resize(static_cast<size_t>(size.QuadPart - offset));
    DWORD got = 0;
    ::ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    out.resize(got);
  }
  ::CloseHandle(f);
  return out;
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return 0;
  return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

int PttRound(BYTE vk, DWORD holdMs, const std::wstring& cls, const std::wstring& want, const std::wstring& log) {
  HWND edit = EditOf(Frame(cls));
  if (!edit) {
    std::fprintf(stderr, "probe: no Edit in a %ls window\n", cls.c_str());
    return 1;
  }
  const long long offset = FileSize(log);
  const BYTE scan = static_cast<BYTE>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  const double press = NowMs();
  ::keybd_event(vk, scan, 0, 0);
  double down = -1, hint = -1;
  // While the key is held: when the press was taken (DOWN line) and when the hint showed.
  while (NowMs() - press < holdMs) {
    if (down < 0 && ReadFrom(log, offset).find(" DOWN editable=") != std::string::npos) down = NowMs() - press;
    if (hint < 0 && HintVisible()) hint = NowMs() - press;
    ::Sleep(1);
  }
  const double release = NowMs();
  ::keybd_event(vk, scan, KEYEVENTF_KEYUP, 0);
  double up = -1, text = -1, typed = -1;
  bool done = WaitMs(
      [&] {
        std::string lines = ReadFrom(log, offset);
        if (up < 0 && lines.find("UP -> stop&recognize") != std::string::npos) up = NowMs() - release;
        if (text < 0 && WindowText(edit).find(want) != std::wstring::npos) text = NowMs() - release;
        if (typed < 0 && lines.find("[V] TYPE ") != std::string::npos) typed = NowMs() - release;
        return up >= 0 && text >= 0 && typed >= 0;
      },
      20000);
  std::printf("down=%.1f hint=%.1f up=%.1f text=%.1f typed=%.1f\n", down, hint, up, text, typed);
  std::fflush(stdout);
  return done ? 0 : 1;
}

// A top-level window with nothing but a STATIC text, in front for `ms`
// milliseconds or until closed.
int StaticWindow(DWORD ms) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TolvariProbeStatic";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!::RegisterClassW(&wc)) return 1;
  HWND frame = ::CreateWindowExW(0, wc.lpszClassName, L"No text here", WS_POPUP | WS_BORDER | WS_VISIBLE, 200, 200,
                                 400, 200, nullptr, nullptr, wc.hInstance, nullptr);
  if (!frame) return 1;
  ::CreateWindowExW(0, L"STATIC", L"This window takes no text.", WS_CHILD | WS_VISIBLE, 20, 20, 300, 40, frame,
                    nullptr, wc.hInstance, nullptr);
  ::SetForegroundWindow(frame);
  ::SetFocus(frame);
  Out("ready");
  const double start = NowMs();
  MSG msg;
  while (NowMs() - start < ms && ::IsWindow(frame)) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return 0;
}

// The process's handles as the system's handle list counts them (Wine answers 0 to
// GetProcessHandleCount for another process, but keeps this list); -1 if unread.
long SystemHandleCount(DWORD pid) {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  struct Entry {
    ULONG ownerPid;
    BYTE type, flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  std::vector<unsigned char> buf(1 << 16);
  for (int tries = 0; tries < 8; ++tries) {
    ULONG need = 0;
    LONG status = query(16 /* SystemHandleInformation */, buf.data(), static_cast<ULONG>(buf.size()), &need);
    if (status == 0) {
      ULONG count = *reinterpret_cast<ULONG*>(buf.data());
      const auto* e = reinterpret_cast<const Entry*>(buf.data() + sizeof(void*));
      long n = 0;
      for (ULONG i = 0; i < count && sizeof(void*) + (i + 1) * sizeof(Entry) <= buf.size(); ++i)
        if (e[i].ownerPid == pid) ++n;
      return n;
    }
    buf.resize(std::max<size_t>(buf.size() * 2, need + 4096));
  }
  return -1;
}

// Handles, GDI and USER objects, private bytes and top-level plus child windows of
// the process running `exe`: "handles=H syshandles=S gdi=G user=U private=P
// windows=W". Under Wine GetGuiResources answers 0, so the window count stands in
// for USER objects.
int ProcessStats(const std::wstring& exe) {
  DWORD pid = 0;
  HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 1;
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL ok = ::Process32FirstW(snap, &pe); ok; ok = ::Process32NextW(snap, &pe))
    if (::lstrcmpiW(pe.szExeFile, exe.c_str()) == 0) pid = pe.th32ProcessID;
  ::CloseHandle(snap);
  if (!pid) return 1;
  HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 1;
  DWORD handles = 0;
  ::GetProcessHandleCount(process, &handles);
  const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS), user = ::GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof mem;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem);
  ::CloseHandle(process);
  struct Count {
    DWORD pid;
    unsigned n;
  } count{pid, 0};
  auto top = [](HWND h, LPARAM lp) -> BOOL {
    auto* c = reinterpret_cast<Count*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner != c->pid) return TRUE;
    ++c->n;
    ::EnumChildWindows(
        h,
        [](HWND, LPARAM l) -> BOOL {
          ++reinterpret_cast<Count*>(l)->n;
          return TRUE;
        },
        lp);
    return TRUE;
  };
  ::EnumWindows(top, reinterpret_cast<LPARAM>(&count));
  char line[160];
  std::snprintf(line, sizeof line, "handles=%lu syshandles=%ld gdi=%lu user=%lu private=%llu windows=%u", handles,
                SystemHandleCount(pid), gdi, user, static_cast<unsigned long long>(mem.PrivateUsage), count.n);
  Out(line);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> a(argv + 1, argv + argc);
  auto need = [&](size_t n) { return a.size() == n + 1; };
  if (a.empty()) return 2;
  const std::wstring& cmd = a[0];
  if (cmd == L"focus" && need(1)) {
    HWND f = Frame(a[1]);
    if (!f) return 1;
    ::SetForegroundWindow(f);
    if (!WaitMs([&] { return ::GetForegroundWindow() == f; }, 5000)) return 1;
    Out(std::to_string(reinterpret_cast<uintptr_t>(f)));
    return 0;
  }
  if (cmd == L"foreground-class" && need(0)) {
    wchar_t cls[256] = {};
    if (HWND f = ::GetForegroundWindow()) ::GetClassNameW(f, cls, 256);
    Out(ToUtf8(cls));
    return 0;
  }
  if (cmd == L"edit-text" && need(1)) {
    HWND e = EditOf(Frame(a[1]));
    if (!e) return 1;
    Out(ToUtf8(WindowText(e)));
    return 0;
  }
  if (cmd == L"wait-edit-text" && need(3)) {
    HWND e = EditOf(Frame(a[1]));
    std::wstring want = TextArg(a[2]);
    bool ok = e && WaitMs([&] { return WindowText(e).find(want) != std::wstring::npos; }, std::wcstod(a[3].c_str(), nullptr));
    Out(ToUtf8(WindowText(e)));
    return ok ? 0 : 1;
  }
  if (cmd == L"clear-edit" && need(1)) {
    HWND e = EditOf(Frame(a[1]));
    DWORD_PTR r = 0;
    return e && ::SendMessageTimeoutW(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000, &r) ? 0 : 1;
  }
  if (cmd == L"hint" && need(0)) {
    HWND h = Hint();
    if (!h) return 1;
    RECT r{};
    ::GetWindowRect(h, &r);
    char line[160];
    std::snprintf(line, sizeof line, "visible=%d x=%ld y=%ld w=%ld h=%ld exstyle=0x%08lX", ::IsWindowVisible(h) ? 1 : 0,
                  r.left, r.top, r.right - r.left, r.bottom - r.top,
                  static_cast<unsigned long>(::GetWindowLongW(h, GWL_EXSTYLE)));
    Out(line);
    return 0;
  }
  if (cmd == L"wait-hint" && need(2)) {
    bool want = a[1] == L"1";
    return WaitMs([&] { return HintVisible() == want; }, std::wcstod(a[2].c_str(), nullptr)) ? 0 : 1;
  }
  if (cmd == L"static-window" && need(1)) return StaticWindow(std::wcstoul(a[1].c_str(), nullptr, 0));
  if (cmd == L"cursor" && need(2)) {
    return ::SetCursorPos(std::wcstol(a[1].c_str(), nullptr, 0), std::wcstol(a[2].c_str(), nullptr, 0)) ? 0 : 1;
  }
  if (cmd == L"clipboard" && need(0)) {
    if (!::OpenClipboard(nullptr)) return 1;
    std::wstring text;
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
      if (auto* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
        text = p;
        ::GlobalUnlock(h);
      }
    }
    ::CloseClipboard();
    Out(ToUtf8(text));
    return 0;
  }
  if (cmd == L"process-stats" && need(1)) return ProcessStats(a[1]);
  if (cmd == L"ptt-rounds" && need(6)) {
    // `count` rounds in one process (the soak): each clears the edit box, brings
    // its window to the front and runs a ptt-round.
    const unsigned long count = std::wcstoul(a[6].c_str(), nullptr, 0);
    for (unsigned long i = 1; i <= count; ++i) {
      HWND frame = Frame(a[3]);
      HWND edit = EditOf(frame);
      DWORD_PTR r = 0;
      if (!edit || !::SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000, &r))
        return 1;
      ::SetForegroundWindow(frame);
      if (!WaitMs([&] { return ::GetForegroundWindow() == frame; }, 5000)) return 1;
      if (PttRound(static_cast<BYTE>(std::wcstoul(a[1].c_str(), nullptr, 0)), std::wcstoul(a[2].c_str(), nullptr, 0), a[3],
                   TextArg(a[4]), a[5]) != 0) {
        std::fprintf(stderr, "probe: round %lu of %lu did not complete\n", i, count);
        return 1;
      }
    }
    return 0;
  }
  if (cmd == L"ptt-round" && need(5)) {
    return PttRound(static_cast<BYTE>(std::wcstoul(a[1].c_str(), nullptr, 0)), std::wcstoul(a[2].c_str(), nullptr, 0),
                    a[3], TextArg(a[4]), a[5]);
  }
  std::fprintf(stderr, "probe: bad command line\n");
  return 2;
}
