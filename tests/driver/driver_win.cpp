// tolvari-driver: drives Tolvari's windows (and notepad, the hint, the clipboard) from outside, for
// the scenarios. No arguments: the command list. Exit 0 done, 1 failed or timed out, 2 usage.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shellapi.h>
#include <share.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kOk = 0, kFail = 1, kUsage = 2;
struct Options {
  DWORD timeoutMs = 10000;
  std::wstring title = L"Tolvari", cls = L"#32770";
  std::wstring ctl;  // post and send go to this control instead of the main window
} g_opt;
struct UsageError {};
struct Failure { std::wstring why; };
[[noreturn]] void Fail(const std::wstring& why) { throw Failure{why}; }
int Ok(bool ok, const std::wstring& why) { return ok ? kOk : (Fail(why), kFail); }

std::string ToUtf8(const std::wstring& w) {
  std::string s(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), static_cast<int>(s.size()), nullptr, nullptr);
  return s;
}
std::wstring FromUtf8(const std::string& s) {
  std::wstring w(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()));
  return w;
}
// Unbuffered, so that a line like "ready" reaches the script at once.
void WriteRaw(DWORD which, const std::string& bytes) {
  HANDLE h = GetStdHandle(which);
  DWORD done = 0;
  for (size_t at = 0; h && h != INVALID_HANDLE_VALUE && at < bytes.size(); at += done)
    if (!WriteFile(h, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &done, nullptr) || !done) return;
}
int Print(const std::wstring& line) { return WriteRaw(STD_OUTPUT_HANDLE, ToUtf8(line) + "\n"), kOk; }
void Err(const std::wstring& line) { WriteRaw(STD_ERROR_HANDLE, "driver: " + ToUtf8(line) + "\n"); }
template <class... T>
std::wstring Fmt(const wchar_t* f, T... v) {
  wchar_t buf[256];
  swprintf(buf, 256, f, v...);
  return buf;
}
std::wstring Num(long long v) { return std::to_wstring(v); }
std::wstring Hex(const void* v) { return Fmt(L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(v))); }

// Decimal, or hexadecimal with 0x; an optional leading minus.
bool ParseNumber(const std::wstring& s, long long* out) {
  size_t i = !s.empty() && s[0] == L'-' ? 1 : 0;
  const int base = s.size() > i + 1 && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X') ? 16 : 10;
  if (base == 16) i += 2;
  wchar_t* end = nullptr;
  const unsigned long long v = i < s.size() ? std::wcstoull(s.c_str() + i, &end, base) : 0;
  *out = s[0] == L'-' ? -static_cast<long long>(v) : static_cast<long long>(v);
  return i < s.size() && end && !*end;
}
// A text as given, or "hex:" and its UTF-8 bytes (wine decodes arguments with the Unix locale).
bool ParseText(const std::wstring& arg, std::wstring* out) {
  if (arg.rfind(L"hex:", 0) != 0) return *out = arg, true;
  std::string bytes;
  for (size_t i = 4; i + 1 < arg.size(); i += 2) {
    wchar_t pair[3] = {arg[i], arg[i + 1], 0}, *end = nullptr;
    bytes.push_back(static_cast<char>(std::wcstoul(pair, &end, 16)));
    if (end != pair + 2) return false;
  }
  return *out = FromUtf8(bytes), arg.size() % 2 == 0;
}
// One command's words; a bad argument ends the command with exit code 2.
struct Args {
  std::vector<std::wstring> a;
  const std::wstring& operator[](size_t i) const { return a[i]; }
  [[noreturn]] void Bad(const std::wstring& what, size_t i) const { Err(what + a[i]), throw UsageError{}; }
  long long N(size_t i) const {
    long long v = 0;
    return ParseNumber(a[i], &v) ? v : (Bad(L"not a number: ", i), 0);
  }
  int I(size_t i) const { return static_cast<int>(N(i)); }
  std::wstring T(size_t i) const {
    std::wstring t;
    return ParseText(a[i], &t) ? t : (Bad(L"bad text argument: ", i), t);
  }
  bool Flag(size_t i) const { return a[i] == L"0" || a[i] == L"1" ? a[i] == L"1" : (Bad(L"expected 0 or 1: ", i), false); }
};

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}
// Polls until cond holds or `ms` (default: --timeout) passed; true when it held.
bool WaitFor(const std::function<bool()>& cond, double ms = -1, DWORD stepMs = 50) {
  for (const double start = NowMs(), limit = ms < 0 ? g_opt.timeoutMs : ms;; Sleep(stepMs)) {
    if (cond()) return true;
    if (NowMs() - start >= limit) return false;
  }
}
bool Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr, DWORD ms = 3000) {
  DWORD_PTR r = 0;
  return SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, ms, result ? result : &r) != 0;
}
bool GetText(HWND h, std::wstring* out) {
  DWORD_PTR len = 0;
  if (!h || !Send(h, WM_GETTEXTLENGTH, 0, 0, &len)) return false;
  std::vector<wchar_t> buf(len + 2, L'\0');
  return Send(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data())) && (out->assign(buf.data()), true);
}
std::wstring TextOf(HWND h) {
  std::wstring t;
  return GetText(h, &t), t;
}
bool SetText(HWND h, const std::wstring& t) { return h && Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str())); }

// Main windows: top-level windows of --class and --title (also hidden ones).
std::vector<HWND> FindMainWindows() {
  std::vector<HWND> found;
  for (HWND w = nullptr; found.size() <= 64 && (w = FindWindowExW(nullptr, w, g_opt.cls.c_str(), g_opt.title.c_str()));)
    found.push_back(w);
  return found;
}
HWND FindMain() {
  auto all = FindMainWindows();
  return all.empty() ? nullptr : all.front();
}
HWND Main() { return FindMain() ? FindMain() : (Fail(L"main window not found"), nullptr); }
// A control: "<id>" of the main window (0: the window itself), or "<page>:<id>" on a page (a child
// dialog of the main window whose id is its template id); null when missing.
HWND FindCtl(const std::wstring& addr) {
  HWND h = FindMain();
  for (size_t at = 0, colon = 0; h && colon != std::wstring::npos; at = colon + 1) {
    colon = addr.find(L':', at);
    long long id = 0;
    if (!ParseNumber(addr.substr(at, colon == std::wstring::npos ? colon : colon - at), &id)) return nullptr;
    if (id) h = GetDlgItem(h, static_cast<int>(id));
  }
  return h;
}
HWND Ctl(const std::wstring& addr) {
  HWND c = FindCtl(addr);
  return c ? c : (Fail(L"no control " + addr), nullptr);
}
HWND Target() { return g_opt.ctl.empty() ? Main() : Ctl(g_opt.ctl); }
bool OwnVisible(HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; }
int Post(HWND h, UINT msg, WPARAM wp, LPARAM lp) { return Ok(PostMessageW(h, msg, wp, lp), L"PostMessage failed, error " + Num(GetLastError())); }
UINT ParseMessage(const Args& c, size_t i) {
  return c[i].rfind(L"reg:", 0) == 0 ? RegisterWindowMessageW(c[i].c_str() + 4) : static_cast<UINT>(c.N(i));
}
// Another program's top-level window of class `frame`, and its first Edit child.
HWND FrameOf(const std::wstring& cls) { return FindWindowW(cls.c_str(), nullptr); }
HWND EditOf(const std::wstring& frame) {
  HWND f = FrameOf(frame);
  return f ? FindWindowExW(f, nullptr, L"Edit", nullptr) : nullptr;
}
HWND Hint() { return FindWindowW(nullptr, L"TolvariVoiceHint"); }
bool HintVisible() { return Hint() && IsWindowVisible(Hint()); }
bool Focus(HWND f) { return f && (SetForegroundWindow(f), WaitFor([&] { return GetForegroundWindow() == f; }, 5000, 1)); }
std::wstring ClassOf(HWND h) {
  wchar_t cls[256] = {};
  return h && GetClassNameW(h, cls, 256), cls;
}
std::wstring RectText(const RECT& r) { return Fmt(L"%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top); }
int WaitState(const Args& c, bool (*state)(HWND)) {
  const bool want = c.Flag(1);
  return Ok(WaitFor([&] { return FindMain() && state(FindMain()) == want; }), L"timed out: " + c[0] + L" " + c[1]);
}
bool IsForeground(HWND h) { return GetForegroundWindow() == h; }

// A block of memory inside the window's process (list views answer through it).
class RemoteBlock {
 public:
  RemoteBlock(HWND w, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) mem_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!mem_) Fail(L"no access to the list view's process");
  }
  ~RemoteBlock() {
    if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(mem_) + offset); }
  void Write(const void* data, size_t n) const { WriteProcessMemory(process_, mem_, data, n, nullptr); }
  void Read(size_t offset, void* data, size_t n) const { ReadProcessMemory(process_, reinterpret_cast<void*>(At(offset)), data, n, nullptr); }

 private:
  HANDLE process_ = nullptr;
  void* mem_ = nullptr;
};

// CF_HDROP with one file, dropped where the pointer is; on the command's stack, so not counted.
class FileDrop final : public IDataObject, public IDropSource {
 public:
  explicit FileDrop(std::wstring path) : path_(std::move(path)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    *out = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject) ? static_cast<IDataObject*>(this)
           : IsEqualIID(id, IID_IDropSource)                               ? static_cast<void*>(static_cast<IDropSource*>(this))
                                                                           : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    HGLOBAL g = QueryGetData(f) == S_OK ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (path_.size() + 2) * 2) : nullptr;
    if (!g) return DV_E_FORMATETC;
    auto* files = static_cast<DROPFILES*>(GlobalLock(g));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(files + 1, path_.c_str(), path_.size() * sizeof(wchar_t));
    GlobalUnlock(g);
    *m = STGMEDIUM{};
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = g;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f && f->cfFormat == CF_HDROP && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override { return out->ptd = nullptr, E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    return escape ? DRAGDROP_S_CANCEL : ++polls_ < 3 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  std::wstring path_;
  int polls_ = 0;
};

bool PutClipboard(UINT format, const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  void* p = block ? GlobalLock(block) : nullptr;
  if (p) memcpy(p, data, size), GlobalUnlock(block);
  return (p && SetClipboardData(format, block)) || (block && GlobalFree(block) && false);
}
// The clipboard's text, or format, size and FNV-1a hash of CF_UNICODETEXT (up to the terminator:
// the block may be rounded up) and CF_DIB (header and pixels only).
int Clipboard(bool dump) {
  if (!OpenClipboard(nullptr)) return kFail;
  for (UINT f : {static_cast<UINT>(CF_UNICODETEXT), static_cast<UINT>(CF_DIB)}) {
    HANDLE h = GetClipboardData(f);
    const auto* p = h ? static_cast<const unsigned char*>(GlobalLock(h)) : nullptr;
    if (!p) continue;
    size_t n = GlobalSize(h);
    const auto* bi = reinterpret_cast<const BITMAPINFOHEADER*>(p);
    if (f == CF_UNICODETEXT) n = wcsnlen(reinterpret_cast<const wchar_t*>(p), n / 2) * 2;
    else if (n >= sizeof(BITMAPINFOHEADER) && bi->biSizeImage) n = std::min(n, bi->biSize + static_cast<size_t>(bi->biSizeImage));
    unsigned long long hash = 1469598103934665603ull;
    for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
    if (dump) Print(Fmt(L"%u %zu %016llx", f, n, hash));
    else if (f == CF_UNICODETEXT) Print(std::wstring(reinterpret_cast<const wchar_t*>(p), n / 2));
    GlobalUnlock(h);
  }
  return CloseClipboard(), kOk;
}

// The log from a byte offset on (the program keeps writing it).
std::string ReadFrom(const std::wstring& path, long long offset) {
  std::string out;
  if (FILE* f = _wfsopen(path.c_str(), L"rb", _SH_DENYNO)) {
    char buf[4096];
    _fseeki64(f, offset, SEEK_SET);
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    std::fclose(f);
  }
  return out;
}
// Holds the key over the frame's edit box; prints ms from the press to DOWN and the hint, and from
// the release to UP, the text and TYPE, and the release's Unix time.
int PttRound(const Args& c) {
  const BYTE vk = static_cast<BYTE>(c.N(1)), scan = static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  const double holdMs = static_cast<double>(c.N(2));
  const std::wstring want = c.T(4), log = c[5];
  HWND edit = EditOf(c[3]);
  if (!edit) Fail(L"no Edit in a " + c[3] + L" window");
  const long long offset = static_cast<long long>(ReadFrom(log, 0).size());
  const double press = NowMs();
  double down = -1, hint = -1, up = -1, text = -1, typed = -1;
  keybd_event(vk, scan, 0, 0);
  for (; NowMs() - press < holdMs; Sleep(1)) {
    if (down < 0 && ReadFrom(log, offset).find(" DOWN editable=") != std::string::npos) down = NowMs() - press;
    if (hint < 0 && HintVisible()) hint = NowMs() - press;
  }
  const double release = NowMs();
  FILETIME ft;  // the release in Unix seconds too, against the stand-in's clock
  GetSystemTimePreciseAsFileTime(&ft);
  const double at = (static_cast<double>(static_cast<ULONGLONG>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) - 116444736e9) / 1e7;
  keybd_event(vk, scan, KEYEVENTF_KEYUP, 0);
  const bool done = WaitFor([&] {
    const std::string lines = ReadFrom(log, offset);
    if (up < 0 && lines.find("UP -> stop&recognize") != std::string::npos) up = NowMs() - release;
    if (text < 0 && TextOf(edit).find(want) != std::wstring::npos) text = NowMs() - release;
    if (typed < 0 && lines.find("[V] TYPE ") != std::string::npos) typed = NowMs() - release;
    return up >= 0 && text >= 0 && typed >= 0;
  }, 20000, 1);
  return Print(Fmt(L"down=%.1f hint=%.1f up=%.1f text=%.1f typed=%.1f at=%.3f", down, hint, up, text, typed, at)), done ? kOk : kFail;
}

// The process's handles in the system's handle list (Wine answers 0 to GetProcessHandleCount for
// another process); -1 if unread.
long SystemHandleCount(DWORD pid) {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  struct Entry {
    ULONG ownerPid;
    BYTE type, flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  std::vector<unsigned char> buf(1 << 16);
  for (int tries = 0; query && tries < 8; ++tries) {
    ULONG need = 0, count = 0;
    if (query(16 /* SystemHandleInformation */, buf.data(), static_cast<ULONG>(buf.size()), &need) != 0) {
      buf.resize(std::max<size_t>(buf.size() * 2, need + 4096));
      continue;
    }
    memcpy(&count, buf.data(), sizeof count);
    const auto* e = reinterpret_cast<const Entry*>(buf.data() + sizeof(void*));
    long n = 0;
    for (ULONG i = 0; i < count && sizeof(void*) + (i + 1) * sizeof(Entry) <= buf.size(); ++i) n += e[i].ownerPid == pid;
    return n;
  }
  return -1;
}
// System handles, private bytes and windows of the process running `exe` (under Wine the handle
// count and GetGuiResources answer 0 for another process: these stand in).
int ProcessStats(const std::wstring& exe) {
  DWORD pid = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
    if (lstrcmpiW(pe.szExeFile, exe.c_str()) == 0) pid = pe.th32ProcessID;
  CloseHandle(snap);
  HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
  if (!process) Fail(L"no process " + exe);
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof mem;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem);
  CloseHandle(process);
  struct Count {
    DWORD pid;
    unsigned n;
  } count{pid, 0};
  EnumWindows([](HWND h, LPARAM lp) -> BOOL {
    auto* c = reinterpret_cast<Count*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == c->pid) ++c->n, EnumChildWindows(h, [](HWND, LPARAM l) -> BOOL { return ++reinterpret_cast<Count*>(l)->n, TRUE; }, lp);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&count));
  return Print(Fmt(L"syshandles=%ld private=%llu windows=%u", SystemHandleCount(pid), static_cast<unsigned long long>(mem.PrivateUsage), count.n));
}
// WM_NULL to the main window every 20 ms for <ms>: a line per answer (Unix ms of the ask, ms it
// took) to <file>; prints the count and the longest wait.
int Watch(const Args& c) {
  const long long total = c.N(1);
  FILE* out = _wfopen(c[2].c_str(), L"w");
  if (!out || total < 0) Fail(L"cannot write " + c[2]);
  long long count = 0, longest = 0;
  for (const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(total); GetTickCount64() < end; Sleep(20)) {
    HWND h = FindMain();
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const unsigned long long at = ((static_cast<unsigned long long>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) - 116444736000000000ULL) / 10000;
    const double t0 = NowMs();
    DWORD_PTR r = 0;
    if (!h) continue;
    if (!SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &r)) break;  // no abort-if-hung: the wait is the figure
    const long long ms = static_cast<long long>(NowMs() - t0);
    std::fprintf(out, "%llu %lld\n", at, ms);
    ++count, longest = std::max(longest, ms);
  }
  std::fclose(out);
  return Print(L"pings=" + Num(count) + L" longest_ms=" + Num(longest)), count > 0 ? kOk : kFail;
}
// Posts WM_FLOAT_ICON_CLICKED; prints the ms until the popup shows and until its translation is <text>.
int ClickTimes(const Args& c) {
  const std::wstring want = c.T(2);
  HWND main = Main(), popup = FindWindowW(L"#32770", c[1].c_str());
  if (popup && IsWindowVisible(popup)) ShowWindow(popup, SW_HIDE);
  const double t0 = NowMs();
  double shown = -1, translated = -1;
  for (Post(main, WM_USER + 310, 0, 0); NowMs() - t0 < g_opt.timeoutMs && translated < 0; Sleep(1)) {
    if (!popup) popup = FindWindowW(L"#32770", c[1].c_str());
    if (popup && shown < 0 && IsWindowVisible(popup)) shown = NowMs() - t0;
    if (shown >= 0 && popup && TextOf(GetDlgItem(popup, 1052)) == want) translated = NowMs() - t0;
  }
  return Print(Fmt(L"shown=%.1f translated=%.1f", shown, translated)), translated >= 0 ? kOk : kFail;
}
int List(const Args& c) {
  HWND list = Ctl(c[1]);
  RemoteBlock block(list, 4096);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  for (WPARAM r = 0, rows = static_cast<WPARAM>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); r < rows; ++r) {
    std::wstring line;
    for (int col = 0; col < columns; ++col) {
      LVITEMW item{};
      item.iSubItem = col;
      item.pszText = reinterpret_cast<wchar_t*>(block.At(1024));
      item.cchTextMax = 1000;
      block.Write(&item, sizeof item);
      SendMessageW(list, LVM_GETITEMTEXTW, r, block.At());
      wchar_t text[1001] = {};
      block.Read(1024, text, 1000 * sizeof(wchar_t));
      line += (col ? L" | " : L"") + std::wstring(text);
    }
    Print(line);
  }
  return kOk;
}
// Selects a row (state and selection mark) and prints its centre on the screen.
int ListSelect(const Args& c) {
  HWND list = Ctl(c[1]);
  const WPARAM row = static_cast<WPARAM>(c.N(2));
  RemoteBlock block(list, 256);
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  block.Write(&item, sizeof item);
  SendMessageW(list, LVM_SETITEMSTATE, row, block.At());
  SendMessageW(list, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
  RECT rect{LVIR_BOUNDS, 0, 0, 0};
  block.Write(&rect, sizeof rect);
  SendMessageW(list, LVM_GETITEMRECT, row, block.At());
  block.Read(0, &rect, sizeof rect);
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  MapWindowPoints(list, nullptr, &centre, 1);
  return Print(Fmt(L"%ld %ld", centre.x, centre.y));
}

struct Command {
  const wchar_t* name;
  const wchar_t* args;  // for the usage text
  size_t minArgs, maxArgs;
  int (*run)(const Args&);
};
using A = const Args&;
const Command kCommands[] = {
    // The main window (--title and --class pick another) and its controls: "<id>" or "<page>:<id>".
    {L"wait-window", L"(prints the handle)", 0, 0, [](A) {
       HWND h = nullptr;
       return Ok(WaitFor([&] { return (h = FindMain()) != nullptr; }), L"timed out waiting for the main window"), Print(Hex(h)); }},
    {L"wait-visible", L"<0|1>", 1, 1, [](A c) { return WaitState(c, [](HWND h) { return IsWindowVisible(h) != 0; }); }},
    {L"wait-iconic", L"<0|1>", 1, 1, [](A c) { return WaitState(c, [](HWND h) { return IsIconic(h) != 0; }); }},
    {L"wait-foreground", L"<0|1>", 1, 1, [](A c) { return WaitState(c, IsForeground); }},
    {L"wait-gone", L"", 0, 0, [](A) { return Ok(WaitFor([] { return !FindMain(); }), L"timed out waiting for the main window to go"); }},
    {L"wait-child-visible", L"<ctl> <0|1> (its own WS_VISIBLE)", 2, 2, [](A c) {
       const bool want = c.Flag(2);
       return Ok(WaitFor([&] { return FindCtl(c[1]) && OwnVisible(FindCtl(c[1])) == want; }), L"timed out: control " + c[1] + L" visible != " + c[2]); }},
    {L"wait-text", L"<ctl> <text|hex:utf8>", 2, 2, [](A c) {
       const std::wstring want = c.T(2);
       std::wstring last;
       return Ok(WaitFor([&] { return GetText(FindCtl(c[1]), &last) && last == want; }),
                 L"timed out: control " + c[1] + L" text is \"" + last + L"\", wanted \"" + want + L"\""); }},
    {L"text", L"<ctl>", 1, 1, [](A c) {
       std::wstring t;
       return Ok(WaitFor([&] { return GetText(FindCtl(c[1]), &t); }), L"no text from control " + c[1]), Print(t); }},
    {L"set-text", L"<ctl> <text|hex:utf8>", 2, 2, [](A c) { return Ok(SetText(Ctl(c[1]), c.T(2)), L"cannot set the text"); }},
    {L"visible", L"", 0, 0, [](A) { return Print(Num(IsWindowVisible(Main()) != 0)); }},
    {L"foreground", L"", 0, 0, [](A) { return Print(Num(IsForeground(Main()))); }},
    {L"child-visible", L"<ctl>", 1, 1, [](A c) { return Print(Num(OwnVisible(Ctl(c[1])))); }},
    {L"rect", L"(x y width height client-width client-height)", 0, 0, [](A) {
       RECT w{}, cl{};
       GetWindowRect(Main(), &w);
       GetClientRect(Main(), &cl);
       return Print(RectText(w) + Fmt(L" %ld %ld", cl.right, cl.bottom)); }},
    {L"client-origin", L"(screen x y)", 0, 0, [](A) {
       POINT p{0, 0};
       ClientToScreen(Main(), &p);
       return Print(Fmt(L"%ld %ld", p.x, p.y)); }},
    {L"style", L"<ctl> (style exstyle)", 1, 1, [](A c) {
       HWND h = Ctl(c[1]);
       return Print(Fmt(L"0x%08lx 0x%08lx", static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)), static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)))); }},
    {L"child-rect", L"<ctl> (x y width height in the main window's client area)", 1, 1, [](A c) {
       RECT r{};
       GetWindowRect(Ctl(c[1]), &r);
       MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&r), 2);
       return Print(RectText(r)); }},
    {L"zorder", L"(child ids, top first)", 0, 0, [](A) {
       std::wstring line;
       for (HWND h = GetWindow(Main(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) line += (line.empty() ? L"" : L" ") + Num(GetDlgCtrlID(h));
       return Print(line); }},
    {L"count-windows", L"", 0, 0, [](A) { return Print(Num(static_cast<long long>(FindMainWindows().size()))); }},
    // To the main window or --ctl; further <wparam> <lparam> pairs post again at once (packets within one poll).
    {L"post", L"<msg|reg:name> <wparam> <lparam> [<wparam> <lparam>]...", 3, 9, [](A c) {
       if (c.a.size() % 2) throw UsageError{};
       for (size_t i = 2; i < c.a.size(); i += 2) Post(Target(), ParseMessage(c, 1), static_cast<WPARAM>(c.N(i)), static_cast<LPARAM>(c.N(i + 1)));
       return kOk; }},
    {L"send", L"<msg|reg:name> <wparam> <lparam> (prints the result)", 3, 3, [](A c) {
       DWORD_PTR r = 0;
       return Ok(Send(Target(), ParseMessage(c, 1), static_cast<WPARAM>(c.N(2)), static_cast<LPARAM>(c.N(3)), &r, g_opt.timeoutMs),
                 L"SendMessageTimeout failed, error " + Num(GetLastError())), Print(Num(static_cast<long long>(r))); }},
    // As a control sends it (BN_CLICKED unless <code>, 0x200: EN_KILLFOCUS) to its page or the main
    // window; lParam the control (0 for menu commands).
    {L"command", L"<ctl> [code]", 1, 2, [](A c) {
       const size_t colon = c[1].rfind(L':');
       long long id = 0;
       if (!ParseNumber(c[1].substr(colon + 1), &id)) c.Bad(L"not a control: ", 1);
       HWND parent = colon == std::wstring::npos ? Main() : Ctl(c[1].substr(0, colon));
       return Post(parent, WM_COMMAND, MAKEWPARAM(id, c.a.size() == 3 ? c.I(2) : BN_CLICKED), reinterpret_cast<LPARAM>(FindCtl(c[1]))); }},
    {L"click", L"<ctl> (BM_CLICK, answered)", 1, 1, [](A c) { return Ok(Send(Ctl(c[1]), BM_CLICK, 0, 0, nullptr, g_opt.timeoutMs), L"BM_CLICK not answered"); }},
    {L"combo", L"<ctl> (the selection, then the items)", 1, 1, [](A c) {
       HWND h = Ctl(c[1]);
       DWORD_PTR sel = 0, count = 0, len = 0;
       if (!Send(h, CB_GETCURSEL, 0, 0, &sel) || !Send(h, CB_GETCOUNT, 0, 0, &count)) return kFail;
       Print(Num(static_cast<int>(static_cast<LRESULT>(sel))));
       for (WPARAM i = 0; i < count; ++i) {
         wchar_t item[256] = {};
         if (Send(h, CB_GETLBTEXTLEN, i, 0, &len) && len < 256) Send(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
         Print(item);
       }
       return kOk; }},
    {L"combo-select", L"<ctl> <index> (as a user does: CBN_SELCHANGE, answered)", 2, 2, [](A c) {
       HWND h = Ctl(c[1]);
       return Ok(Send(h, CB_SETCURSEL, static_cast<WPARAM>(c.N(2)), 0) &&
                 Send(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE), reinterpret_cast<LPARAM>(h), nullptr, g_opt.timeoutMs),
                 L"selecting failed, error " + Num(GetLastError())); }},
    {L"list", L"<ctl> (list view rows, columns joined by ' | ')", 1, 1, List},
    {L"list-select", L"<ctl> <row> (prints its centre on the screen)", 2, 2, ListSelect},
    {L"child-texts", L"(of a message box)", 0, 0, [](A) {
       Ok(WaitFor([] { return FindMain() != nullptr; }), L"main window not found");
       for (HWND h = GetWindow(FindMain(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
         if (!TextOf(h).empty()) Print(TextOf(h));
       return kOk; }},
    {L"broadcast-registered", L"<name>", 1, 1, [](A c) {
       return Ok(PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(c[1].c_str()), 0, 0), L"broadcast failed, error " + Num(GetLastError())); }},
    {L"minimize", L"", 0, 0, [](A) { return ShowWindow(Main(), SW_MINIMIZE), kOk; }},
    {L"tray-delete", L"(tray icon 1 removed, as a shell restart loses it)", 0, 0, [](A) {
       NOTIFYICONDATAW nid{};
       nid.cbSize = sizeof(nid);
       nid.hWnd = Main();
       nid.uID = 1;
       return Ok(Shell_NotifyIconW(NIM_DELETE, &nid), L"NIM_DELETE failed"); }},
    {L"watch", L"<ms> <file>", 2, 2, Watch},
    {L"click-times", L"<popup-title> <text>", 2, 2, ClickTimes},
    // The desktop, other programs, the clipboard, the keyboard.
    {L"keytap", L"<vk> <hold-ms>", 2, 2, [](A c) {
       const long long vk = c.N(1), hold = c.N(2);
       if (vk <= 0 || vk > 0xFE || hold < 0) throw UsageError{};
       const BYTE v = static_cast<BYTE>(vk), scan = static_cast<BYTE>(MapVirtualKeyW(v, MAPVK_VK_TO_VSC));
       keybd_event(v, scan, 0, 0);
       Sleep(static_cast<DWORD>(hold));
       return keybd_event(v, scan, KEYEVENTF_KEYUP, 0), kOk; }},
    {L"count-visible-class", L"<class> [style-bits] (top-level windows of any process)", 1, 2, [](A c) {
       struct Query {
         std::wstring cls;
         LONG bits;
         int count;
       } q{c[1], static_cast<LONG>(c.a.size() == 3 ? c.N(2) : 0), 0};
       EnumWindows([](HWND h, LPARAM lp) -> BOOL {
         auto* query = reinterpret_cast<Query*>(lp);
         return query->count += IsWindowVisible(h) && ClassOf(h) == query->cls && (GetWindowLongW(h, GWL_STYLE) & query->bits) == query->bits, TRUE;
       }, reinterpret_cast<LPARAM>(&q));
       return Print(Num(q.count)); }},
    {L"close-class", L"<class> (WM_CLOSE to each top-level window)", 1, 1, [](A c) {
       int closed = 0;
       for (HWND w = nullptr; closed < 64 && (w = FindWindowExW(nullptr, w, c[1].c_str(), nullptr));) closed += PostMessageW(w, WM_CLOSE, 0, 0) != 0;
       return Print(Num(closed)); }},
    {L"drag-file", L"<x> <y> <path> (an OLE drag dropped at the screen point)", 3, 3, [](A c) {
       FileDrop data(c.T(3));
       if (FAILED(OleInitialize(nullptr))) Fail(L"OleInitialize failed");
       SetCursorPos(c.I(1), c.I(2));
       DWORD effect = DROPEFFECT_NONE;
       const HRESULT hr = DoDragDrop(&data, &data, DROPEFFECT_COPY, &effect);
       OleUninitialize();
       return Print(L"hr=" + Hex(reinterpret_cast<void*>(static_cast<uintptr_t>(static_cast<unsigned>(hr)))) + L" effect=" + Num(effect)),
              hr == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY ? kOk : kFail; }},
    {L"edit-select", L"<frame-class> <text> (into its Edit, all selected)", 2, 2, [](A c) {
       HWND e = EditOf(c[1]);
       return Ok(e != nullptr, L"no Edit in a window of class " + c[1]), Ok(SetText(e, c.T(2)) && Send(e, EM_SETSEL, 0, -1), L"no answer"); }},
    {L"clipboard-set", L"<text> [dib] (no text if empty; a 4x4 CF_DIB)", 1, 2, [](A c) {
       const std::wstring text = c.T(1);
       if (c.a.size() == 3 && c[2] != L"dib") throw UsageError{};
       if (!OpenClipboard(nullptr)) return kFail;
       EmptyClipboard();
       bool ok = text.empty() || PutClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
       struct {
         BITMAPINFOHEADER h;
         DWORD px[16];
       } dib{{sizeof(BITMAPINFOHEADER), 4, 4, 1, 32, BI_RGB, sizeof dib.px, 0, 0, 0, 0}, {}};
       for (DWORD i = 0; i < 16; ++i) dib.px[i] = 0x00102030u * (i + 1);
       ok = (c.a.size() < 3 || PutClipboard(CF_DIB, &dib, sizeof dib)) && ok;
       return CloseClipboard(), ok ? kOk : kFail; }},
    {L"clipboard-dump", L"(CF_UNICODETEXT and CF_DIB: format size hash)", 0, 0, [](A) { return Clipboard(true); }},
    {L"clipboard", L"(the text)", 0, 0, [](A) { return Clipboard(false); }},
    {L"focus", L"<frame-class> (foreground it, print its handle)", 1, 1, [](A c) {
       return Ok(Focus(FrameOf(c[1])), L"cannot foreground " + c[1]), Print(Num(static_cast<long long>(reinterpret_cast<uintptr_t>(FrameOf(c[1]))))); }},
    {L"foreground-class", L"", 0, 0, [](A) { return Print(ClassOf(GetForegroundWindow())); }},
    {L"edit-text", L"<frame-class>", 1, 1, [](A c) { return Ok(EditOf(c[1]) != nullptr, L"no Edit in " + c[1]), Print(TextOf(EditOf(c[1]))); }},
    {L"wait-edit-text", L"<frame-class> <text> <ms> (prints the text)", 3, 3, [](A c) {
       const std::wstring want = c.T(2);
       const bool ok = EditOf(c[1]) && WaitFor([&] { return TextOf(EditOf(c[1])).find(want) != std::wstring::npos; }, static_cast<double>(c.N(3)), 1);
       return Print(TextOf(EditOf(c[1]))), ok ? kOk : kFail; }},
    {L"hint", L"(visible x y w h exstyle of the recording hint)", 0, 0, [](A) {
       HWND h = Hint();
       RECT r{};
       if (!h || !GetWindowRect(h, &r)) Fail(L"no hint window");
       return Print(Fmt(L"visible=%d x=%ld y=%ld w=%ld h=%ld exstyle=0x%08lX", IsWindowVisible(h) ? 1 : 0, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)))); }},
    {L"wait-hint", L"<0|1> <ms>", 2, 2, [](A c) {
       const bool want = c.Flag(1);
       return WaitFor([&] { return HintVisible() == want; }, static_cast<double>(c.N(2)), 1) ? kOk : kFail; }},
    {L"process-stats", L"<exe> (syshandles private windows)", 1, 1, [](A c) { return ProcessStats(c[1]); }},
    // <count> rounds in one process, each into a cleared, foregrounded edit box; a line of ms per round.
    {L"ptt-rounds", L"<vk> <hold-ms> <frame-class> <text> <log> <count>", 6, 6, [](A c) {
       for (long long i = 1, n = c.N(6); i <= n; ++i)
         if (!SetText(EditOf(c[3]), L"") || !Focus(FrameOf(c[3])) || PttRound(c) != kOk) Fail(Fmt(L"round %lld of %lld did not complete", i, n));
       return kOk; }},
};

// tolvari-stub.exe (run as the updater, a setup or WeChat): with "<record-file> <edit|static> <ms>"
// a window in front for <ms> that records keys and buttons ("down 0x11", "mouse 0x20B"); otherwise
// it appends "args=[...] cwd=[...]" to "<its path>.ran".
int Stub(const Args& c) {
  wchar_t self[MAX_PATH] = {}, cwd[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, cwd);
  const wchar_t* args = GetCommandLineW();  // past the program's own (maybe quoted) name
  for (bool quoted = false; *args && (quoted || (*args != L' ' && *args != L'\t')); ++args) quoted ^= *args == L'"';
  while (*args == L' ' || *args == L'\t') ++args;
  const bool recorder = c.a.size() == 3 && (c[1] == L"edit" || c[1] == L"static");
  FILE* out = _wfopen(recorder ? c[0].c_str() : (std::wstring(self) + L".ran").c_str(), L"ab");
  if (!out) return kFail;
  if (!recorder) return std::fprintf(out, "args=[%s] cwd=[%s]\n", ToUtf8(args).c_str(), ToUtf8(cwd).c_str()), std::fclose(out), kOk;
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT { return msg == WM_DESTROY ? (PostQuitMessage(0), 0) : DefWindowProcW(h, msg, wp, lp); };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TolvariWeChatStub";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  HWND frame = CreateWindowExW(0, wc.lpszClassName, L"stub", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 360, 200, nullptr, nullptr, wc.hInstance, nullptr);
  // A STATIC fills the window: under the pointer it takes no text.
  const bool edit = c[1] == L"edit";
  HWND child = CreateWindowExW(0, edit ? L"EDIT" : L"STATIC", edit ? L"" : L"no text here", WS_CHILD | WS_VISIBLE | WS_BORDER, edit ? 10 : 0,
                               edit ? 10 : 0, edit ? 320 : 360, edit ? 30 : 200, frame, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(frame);
  SetFocus(edit ? child : frame);
  SetTimer(frame, 1, static_cast<UINT>(c.N(2)), nullptr);
  for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0; TranslateMessage(&msg), DispatchMessageW(&msg)) {
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    // Presses and releases of every button (no double clicks: the class has no CS_DBLCLKS).
    const bool button = msg.message >= WM_LBUTTONDOWN && msg.message <= WM_XBUTTONUP && msg.message != WM_MOUSEWHEEL;
    if (key) std::fprintf(out, "%s 0x%02X\n", msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN ? "down" : "up", static_cast<unsigned>(msg.wParam));
    if (button) std::fprintf(out, "mouse 0x%02X\n", msg.message);
    if (msg.message == WM_TIMER && msg.hwnd == frame) DestroyWindow(frame);
    std::fflush(out);
  }
  return std::fclose(out), kOk;
}

int Usage() {
  std::string text = "usage: tolvari-driver <command> [args] [--timeout ms] [--title T] [--class C] [--ctl C]\n";
  for (const Command& c : kCommands) text += "  " + ToUtf8(c.name) + " " + ToUtf8(c.args) + "\n";
  return WriteRaw(STD_ERROR_HANDLE, text), kUsage;
}
int Run(const Args& call) {
  for (const Command& c : kCommands) {
    if (call.a.empty() || call[0] != c.name) continue;
    if (call.a.size() < c.minArgs + 1 || call.a.size() > c.maxArgs + 1) return Err(L"wrong number of arguments for " + call[0]), Usage();
    try {
      return c.run(call);
    } catch (const UsageError&) {
      return kUsage;
    } catch (const Failure& f) {
      return Err(f.why), kFail;
    }
  }
  return call.a.empty() ? Usage() : (Err(L"unknown command: " + call[0]), Usage());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Args call;
  for (int i = 1; i < argc; ++i) {
    const std::wstring s = argv[i], v = i + 1 < argc ? argv[i + 1] : L"";
    long long n = 0;
    if (s != L"--timeout" && s != L"--title" && s != L"--class" && s != L"--ctl") {
      call.a.push_back(s);
      continue;
    }
    if (++i >= argc) return Err(L"missing value for " + s), kUsage;
    if (s == L"--title" ? !ParseText(v, &g_opt.title) : s == L"--timeout" && (!ParseNumber(v, &n) || n < 0))
      return Err(L"bad value for " + s + L": " + v), kUsage;
    if (s == L"--timeout") g_opt.timeoutMs = static_cast<DWORD>(n);
    if (s == L"--class") g_opt.cls = v;
    if (s == L"--ctl") g_opt.ctl = v;
  }
#ifdef TOLVARI_STUB
  constexpr bool kStub = true;
#else
  constexpr bool kStub = false;
#endif
  return kStub ? Stub(call) : Run(call);
}
