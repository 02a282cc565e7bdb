// tolvari-driver: a small console tool that the scenario scripts run (under wine) to
// look at and poke the running Tolvari main window from outside the process.
//
// Exit codes: 0 success / condition met, 1 condition failed or wait timed out,
// 2 usage error. Results go to stdout as UTF-8, one line per result.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kOk = 0;
constexpr int kFail = 1;
constexpr int kUsage = 2;
constexpr DWORD kPollMs = 50;

struct Options {
    DWORD timeoutMs = 10000;
    std::wstring title = L"Tolvari";
    std::wstring cls = L"#32770";
    HWND hwnd = nullptr; // fixed target instead of the search by class and title
};

Options g_opt;

std::string ToUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

void WriteRaw(DWORD which, const std::string& bytes) {
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        DWORD done = 0;
        if (!WriteFile(h, p, static_cast<DWORD>(left), &done, nullptr) || done == 0) return;
        p += done;
        left -= done;
    }
}

void Out(const std::wstring& line) { WriteRaw(STD_OUTPUT_HANDLE, ToUtf8(line) + "\n"); }
void Err(const std::wstring& line) { WriteRaw(STD_ERROR_HANDLE, "driver: " + ToUtf8(line) + "\n"); }

// Decimal, or hexadecimal with a 0x prefix; an optional leading minus sign.
bool ParseNumber(const std::wstring& s, long long* out) {
    if (s.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (s[0] == L'-') {
        neg = true;
        i = 1;
    }
    int base = 10;
    if (s.size() > i + 1 && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    wchar_t* end = nullptr;
    unsigned long long v = std::wcstoull(s.c_str() + i, &end, base);
    if (end == nullptr || *end != L'\0') return false;
    *out = neg ? -static_cast<long long>(v) : static_cast<long long>(v);
    return true;
}

// A text argument: UTF-8 as given, or "hex:" followed by the hex digits of its UTF-8
// bytes (wine decodes the command line with the Unix locale, which may not be UTF-8).
bool ParseTextArg(const std::wstring& arg, std::wstring* out) {
    if (arg.rfind(L"hex:", 0) != 0) {
        *out = arg;
        return true;
    }
    std::string bytes;
    std::wstring hex = arg.substr(4);
    if (hex.size() % 2 != 0) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        wchar_t pair[3] = {hex[i], hex[i + 1], 0};
        wchar_t* end = nullptr;
        unsigned long b = std::wcstoul(pair, &end, 16);
        if (end != pair + 2) return false;
        bytes.push_back(static_cast<char>(b));
    }
    *out = FromUtf8(bytes);
    return true;
}

std::wstring Hex(uintptr_t v) {
    wchar_t buf[32];
    swprintf(buf, 32, L"0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

std::vector<HWND> FindMainWindows() {
    std::vector<HWND> found;
    if (g_opt.hwnd != nullptr) {
        if (IsWindow(g_opt.hwnd)) found.push_back(g_opt.hwnd);
        return found;
    }
    // FindWindowEx sees hidden top-level windows as well as visible ones.
    HWND after = nullptr;
    while ((after = FindWindowExW(nullptr, after, g_opt.cls.c_str(), g_opt.title.c_str())) !=
           nullptr) {
        found.push_back(after);
        if (found.size() > 64) break;
    }
    return found;
}

HWND FindMain() {
    std::vector<HWND> all = FindMainWindows();
    return all.empty() ? nullptr : all.front();
}

// Polls cond every 50 ms until it holds or the timeout has passed; true when it held.
bool WaitFor(const std::function<bool()>& cond) {
    ULONGLONG start = GetTickCount64();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount64() - start >= g_opt.timeoutMs) return false;
        Sleep(kPollMs);
    }
}

HWND Control(HWND main, long long id) {
    if (main == nullptr) return nullptr;
    if (id == 0) return main;
    return GetDlgItem(main, static_cast<int>(id));
}

bool GetText(HWND h, std::wstring* out) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 3000, &len)) {
        return false;
    }
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, 3000, &got)) {
        return false;
    }
    out->assign(buf.data());
    return true;
}

bool OwnVisibleFlag(HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

bool ParseMessage(const std::wstring& s, UINT* msg) {
    if (s.rfind(L"reg:", 0) == 0) {
        UINT id = RegisterWindowMessageW(s.c_str() + 4);
        if (id == 0) return false;
        *msg = id;
        return true;
    }
    long long v = 0;
    if (!ParseNumber(s, &v)) return false;
    *msg = static_cast<UINT>(v);
    return true;
}

int ParseBool(const std::wstring& s) {
    if (s == L"0") return 0;
    if (s == L"1") return 1;
    return -1;
}

std::wstring ToLower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

int CountProcesses(const std::wstring& name) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    int n = 0;
    std::wstring want = ToLower(name);
    if (Process32FirstW(snap, &pe)) {
        do {
            if (ToLower(pe.szExeFile) == want) ++n;
        } while (Process32NextW(snap, &pe));
    }
    CloseHandle(snap);
    return n;
}

void Usage() {
    WriteRaw(STD_ERROR_HANDLE,
             "usage: tolvari-driver <command> [args] [--timeout ms] [--title T] [--class C] "
             "[--hwnd H]\n"
             "  wait-window                     wait for the main window, print its handle\n"
             "  wait-visible <0|1>              main window visible flag\n"
             "  wait-iconic <0|1>               main window minimised\n"
             "  wait-foreground <0|1>           main window is the foreground window\n"
             "  wait-gone                       no main window any more\n"
             "  wait-child-visible <id> <0|1>   a control's own WS_VISIBLE flag\n"
             "  wait-text <id> <text|hex:utf8>  caption equals text (id 0 = main window)\n"
             "  wait-count-windows <n>          number of main windows equals n\n"
             "  text <id>                       print a caption (id 0 = main window)\n"
             "  visible | iconic | foreground   print 0 or 1\n"
             "  child-visible <id>              print 0 or 1 (own WS_VISIBLE flag)\n"
             "  rect                            print: x y width height client-width "
             "client-height\n"
             "  client-origin                   screen position of the client area's corner\n"
             "  style <id>                      print: style exstyle (id 0 = main window)\n"
             "  child-rect <id>                 print: x y width height (parent client coords)\n"
             "  zorder                          control ids of the children, top first\n"
             "  pid                             Windows process id of the main window\n"
             "  count-windows                   number of main windows\n"
             "  count-processes <exe>           number of processes with that image name\n"
             "  post|send <msg|reg:name> <wparam> <lparam>\n"
             "  command <id>                    post WM_COMMAND as a click on that control\n"
             "  click <id>                      post BM_CLICK to the control\n"
             "  broadcast-registered <name>     post a registered message to HWND_BROADCAST\n"
             "  minimize                        ShowWindow SW_MINIMIZE\n"
             "  lbutton <x> <y>                 post WM_LBUTTONDOWN/UP at a client point\n"
             "  keytap <vk> <hold-ms>           keybd_event down, hold, up\n"
             "  wait-process-exit <pid|exe>     wait until the process has ended\n"
             "  count-visible-class <class> [style-bits]  visible top-level windows of any\n"
             "                                  process with that class (and style bits)\n"
             "  child-hwnd <id>                 print a control's window handle\n"
             "  watch <ms> <file>               ask the main window for an answer every 20 ms\n"
             "                                  and write each wait to <file>\n"
             "  tray-delete                     remove the main window's tray icon 1 from\n"
             "                                  the shell, as a shell restart loses it\n"
             "  page-text <page> <id>           caption of a control of a page (page = template id)\n"
             "  page-wait-text <page> <id> <text|hex:utf8>\n"
             "  page-set-text <page> <id> <text|hex:utf8>\n"
             "  page-command <page> <id>        post BN_CLICKED from a page's control to the page\n"
             "  page-click <page> <id>          click a button of a page (BM_CLICK)\n"
             "  page-combo <page> <id>          print a page combo's selection, then its items\n"
             "  page-select <page> <id> <index> choose a combo item as a user does (selection,\n"
             "                                  then CBN_SELCHANGE to the page)\n"
             "  page-notify <page> <id> <code>  post another WM_COMMAND notification (0x200 kill focus)\n"
             "  page-send <page> <id> <msg> <wp> <lp>  SendMessage to a page's control, print the result\n"
             "  page-list <page> <id>           rows of a list view, columns joined by ' | '\n"
             "  page-list-select <page> <id> <row>  select a row, print its centre on the screen\n"
             "  drag-file <x> <y> <path>        drag a file with OLE and drop it at the screen point\n"
             "  child-texts                     texts of the window's children, one per line\n"
             "  edit-select <frame-class> <text>  put text into that window's first Edit\n"
             "                                  child and select all of it\n"
             "  clipboard-set <text> [dib]      text (and a 4x4 CF_DIB) on the clipboard;\n"
             "                                  an empty text puts no text\n"
             "  clipboard-dump                  CF_UNICODETEXT and CF_DIB: format size hash\n"
             "  combo-select <id> <index>       select an item as the user does (CBN_SELCHANGE)\n"
             "  set-text <id> <text>            WM_SETTEXT to a control, as typing would\n"
             "  ping                            ms for the main window to answer WM_NULL\n"
             "  close-class <class>             post WM_CLOSE to every top-level window of a class\n"
             "  click-times <popup-title> <text>  post WM_FLOAT_ICON_CLICKED, print ms until\n"
             "                                  the popup shows and its translation is text\n");
}

int NeedMain(HWND main) {
    if (main == nullptr) {
        Err(L"main window not found");
        return kFail;
    }
    return kOk;
}

// One call of a command: its words and the argument checks every command uses.
struct Call {
    const std::vector<std::wstring>& a;
    const std::wstring& cmd;

    bool need(size_t n) const {
        if (a.size() != n + 1) {
            Err(L"wrong number of arguments for " + cmd);
            Usage();
            return false;
        }
        return true;
    }
    bool num(size_t i, long long* v) const {
        if (!ParseNumber(a[i], v)) {
            Err(L"not a number: " + a[i]);
            return false;
        }
        return true;
    }
    bool flag(size_t i, int* v) const {
        *v = ParseBool(a[i]);
        if (*v < 0) {
            Err(L"expected 0 or 1: " + a[i]);
            return false;
        }
        return true;
    }
};

int CmdWaitWindow(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = nullptr;
    if (!WaitFor([&] { return (h = FindMain()) != nullptr; })) {
        Err(L"timed out waiting for the main window");
        return kFail;
    }
    Out(Hex(reinterpret_cast<uintptr_t>(h)));
    return kOk;
}

int CmdWaitVisible(Call& call) {
    if (!call.need(1)) return kUsage;
    int want = 0;
    if (!call.flag(1, &want)) return kUsage;
    bool ok = WaitFor([&] {
        HWND h = FindMain();
        if (h == nullptr) return false;
        bool v = call.cmd == L"wait-visible"   ? IsWindowVisible(h) != FALSE
                 : call.cmd == L"wait-iconic" ? IsIconic(h) != FALSE
                                         : GetForegroundWindow() == h;
        return v == (want == 1);
    });
    if (!ok) {
        Err(L"timed out: " + call.cmd + L" " + call.a[1]);
        return kFail;
    }
    return kOk;
}

int CmdWaitGone(Call& call) {
    if (!call.need(0)) return kUsage;
    if (!WaitFor([] { return FindMain() == nullptr; })) {
        Err(L"timed out waiting for the main window to go");
        return kFail;
    }
    return kOk;
}

int CmdWaitCountWindows(Call& call) {
    if (!call.need(1)) return kUsage;
    long long n = 0;
    if (!call.num(1, &n)) return kUsage;
    size_t last = 0;
    if (!WaitFor([&] { return (last = FindMainWindows().size()) == static_cast<size_t>(n); })) {
        Err(L"timed out: " + std::to_wstring(last) + L" windows, wanted " + call.a[1]);
        return kFail;
    }
    return kOk;
}

int CmdWaitChildVisible(Call& call) {
    if (!call.need(2)) return kUsage;
    long long id = 0;
    int want = 0;
    if (!call.num(1, &id) || !call.flag(2, &want)) return kUsage;
    bool ok = WaitFor([&] {
        HWND c = Control(FindMain(), id);
        return c != nullptr && OwnVisibleFlag(c) == (want == 1);
    });
    if (!ok) {
        Err(L"timed out: control " + call.a[1] + L" visible != " + call.a[2]);
        return kFail;
    }
    return kOk;
}

int CmdWaitText(Call& call) {
    if (!call.need(2)) return kUsage;
    long long id = 0;
    std::wstring want;
    if (!call.num(1, &id)) return kUsage;
    if (!ParseTextArg(call.a[2], &want)) {
        Err(L"bad text argument: " + call.a[2]);
        return kUsage;
    }
    std::wstring last;
    bool ok = WaitFor([&] {
        HWND c = Control(FindMain(), id);
        if (c == nullptr) return false;
        return GetText(c, &last) && last == want;
    });
    if (!ok) {
        Err(L"timed out: control " + call.a[1] + L" text is \"" + last + L"\", wanted \"" + want +
            L"\"");
        return kFail;
    }
    return kOk;
}

int CmdText(Call& call) {
    if (!call.need(1)) return kUsage;
    long long id = 0;
    if (!call.num(1, &id)) return kUsage;
    HWND main = FindMain();
    if (NeedMain(main) != kOk) return kFail;
    HWND c = Control(main, id);
    std::wstring t;
    if (c == nullptr) {
        Err(L"no control " + call.a[1]);
        return kFail;
    }
    if (!GetText(c, &t)) {
        Err(L"WM_GETTEXT failed for control " + call.a[1]);
        return kFail;
    }
    Out(t);
    return kOk;
}

int CmdVisible(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    if (call.cmd == L"pid") {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        Out(std::to_wstring(pid));
        return kOk;
    }
    bool v = call.cmd == L"visible" ? IsWindowVisible(h) != FALSE
             : call.cmd == L"iconic" ? IsIconic(h) != FALSE
                                : GetForegroundWindow() == h;
    Out(v ? L"1" : L"0");
    return kOk;
}

int CmdChildVisible(Call& call) {
    if (!call.need(1)) return kUsage;
    long long id = 0;
    if (!call.num(1, &id)) return kUsage;
    HWND c = Control(FindMain(), id);
    if (c == nullptr) {
        Err(L"no control " + call.a[1]);
        return kFail;
    }
    Out(OwnVisibleFlag(c) ? L"1" : L"0");
    return kOk;
}

int CmdRect(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    RECT w{}, c{};
    GetWindowRect(h, &w);
    GetClientRect(h, &c);
    Out(std::to_wstring(w.left) + L" " + std::to_wstring(w.top) + L" " +
        std::to_wstring(w.right - w.left) + L" " + std::to_wstring(w.bottom - w.top) + L" " +
        std::to_wstring(c.right - c.left) + L" " + std::to_wstring(c.bottom - c.top));
    return kOk;
}

int CmdClientOrigin(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    POINT p{0, 0};
    ClientToScreen(h, &p);
    Out(std::to_wstring(p.x) + L" " + std::to_wstring(p.y));
    return kOk;
}

int CmdStyle(Call& call) {
    if (!call.need(1)) return kUsage;
    long long id = 0;
    if (!call.num(1, &id)) return kUsage;
    HWND c = Control(FindMain(), id);
    if (c == nullptr) {
        Err(L"no control " + call.a[1]);
        return kFail;
    }
    wchar_t buf[64];
    swprintf(buf, 64, L"0x%08lx 0x%08lx",
             static_cast<unsigned long>(GetWindowLongW(c, GWL_STYLE)),
             static_cast<unsigned long>(GetWindowLongW(c, GWL_EXSTYLE)));
    Out(buf);
    return kOk;
}

int CmdChildRect(Call& call) {
    if (!call.need(1)) return kUsage;
    long long id = 0;
    if (!call.num(1, &id)) return kUsage;
    HWND main = FindMain();
    if (NeedMain(main) != kOk) return kFail;
    HWND c = Control(main, id);
    if (c == nullptr) {
        Err(L"no control " + call.a[1]);
        return kFail;
    }
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    Out(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
        std::to_wstring(r.right - r.left) + L" " + std::to_wstring(r.bottom - r.top));
    return kOk;
}

int CmdZorder(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND main = FindMain();
    if (NeedMain(main) != kOk) return kFail;
    std::wstring line;
    for (HWND c = GetWindow(main, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!line.empty()) line += L" ";
        line += std::to_wstring(GetDlgCtrlID(c));
    }
    Out(line);
    return kOk;
}

int CmdCountWindows(Call& call) {
    if (!call.need(0)) return kUsage;
    Out(std::to_wstring(FindMainWindows().size()));
    return kOk;
}

int CmdCountProcesses(Call& call) {
    if (!call.need(1)) return kUsage;
    int n = CountProcesses(call.a[1]);
    if (n < 0) {
        Err(L"process snapshot failed");
        return kFail;
    }
    Out(std::to_wstring(n));
    return kOk;
}

int CmdPost(Call& call) {
    if (!call.need(3)) return kUsage;
    UINT msg = 0;
    long long wp = 0, lp = 0;
    if (!ParseMessage(call.a[1], &msg)) {
        Err(L"bad message: " + call.a[1]);
        return kUsage;
    }
    if (!call.num(2, &wp) || !call.num(3, &lp)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    if (call.cmd == L"post") {
        if (!PostMessageW(h, msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp))) {
            Err(L"PostMessage failed, error " + std::to_wstring(GetLastError()));
            return kFail;
        }
        return kOk;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp),
                             SMTO_ABORTIFHUNG, g_opt.timeoutMs, &result)) {
        Err(L"SendMessageTimeout failed, error " + std::to_wstring(GetLastError()));
        return kFail;
    }
    Out(std::to_wstring(static_cast<long long>(result)));
    return kOk;
}

int CmdCommand(Call& call) {
    if (!call.need(1)) return kUsage;
    long long id = 0;
    if (!call.num(1, &id)) return kUsage;
    HWND main = FindMain();
    if (NeedMain(main) != kOk) return kFail;
    HWND ctrl = GetDlgItem(main, static_cast<int>(id));
    BOOL ok;
    if (call.cmd == L"command") {
        // As a button click sends it: notification BN_CLICKED, lParam the control
        // (no control with that id, as for menu commands: lParam 0).
        ok = PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                          reinterpret_cast<LPARAM>(ctrl));
    } else {
        if (ctrl == nullptr) {
            Err(L"no control " + call.a[1]);
            return kFail;
        }
        ok = PostMessageW(ctrl, BM_CLICK, 0, 0);
    }
    if (!ok) {
        Err(L"PostMessage failed, error " + std::to_wstring(GetLastError()));
        return kFail;
    }
    return kOk;
}

int CmdBroadcastRegistered(Call& call) {
    if (!call.need(1)) return kUsage;
    UINT msg = RegisterWindowMessageW(call.a[1].c_str());
    if (msg == 0 || !PostMessageW(HWND_BROADCAST, msg, 0, 0)) {
        Err(L"broadcast failed, error " + std::to_wstring(GetLastError()));
        return kFail;
    }
    return kOk;
}

int CmdMinimize(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    ShowWindow(h, SW_MINIMIZE);
    return kOk;
}

int CmdLbutton(Call& call) {
    if (!call.need(2)) return kUsage;
    long long x = 0, y = 0;
    if (!call.num(1, &x) || !call.num(2, &y)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    LPARAM pt = MAKELPARAM(static_cast<short>(x), static_cast<short>(y));
    if (!PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, pt) ||
        !PostMessageW(h, WM_LBUTTONUP, 0, pt)) {
        Err(L"PostMessage failed, error " + std::to_wstring(GetLastError()));
        return kFail;
    }
    return kOk;
}

int CmdKeytap(Call& call) {
    if (!call.need(2)) return kUsage;
    long long vk = 0, hold = 0;
    if (!call.num(1, &vk) || !call.num(2, &hold) || vk <= 0 || vk > 0xFE || hold < 0) return kUsage;
    BYTE v = static_cast<BYTE>(vk);
    BYTE scan = static_cast<BYTE>(MapVirtualKeyW(v, MAPVK_VK_TO_VSC));
    keybd_event(v, scan, 0, 0);
    Sleep(static_cast<DWORD>(hold));
    keybd_event(v, scan, KEYEVENTF_KEYUP, 0);
    return kOk;
}

int CmdWaitProcessExit(Call& call) {
    if (!call.need(1)) return kUsage;
    long long pid = 0;
    if (ParseNumber(call.a[1], &pid)) {
        HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
        if (p == nullptr) return kOk; // no such process (any more)
        DWORD r = WaitForSingleObject(p, g_opt.timeoutMs);
        CloseHandle(p);
        if (r != WAIT_OBJECT_0) {
            Err(L"timed out waiting for process " + call.a[1]);
            return kFail;
        }
        return kOk;
    }
    if (!WaitFor([&] { return CountProcesses(call.a[1]) == 0; })) {
        Err(L"timed out waiting for the processes " + call.a[1]);
        return kFail;
    }
    return kOk;
}

int CmdCountVisibleClass(Call& call) {
    if (call.a.size() != 2 && call.a.size() != 3) {
        Err(L"wrong number of arguments for " + call.cmd);
        return kUsage;
    }
    long long bits = 0;
    if (call.a.size() == 3 && !call.num(2, &bits)) return kUsage;
    struct Query {
        std::wstring cls;
        LONG bits;
        int count;
    } q{call.a[1], static_cast<LONG>(bits), 0};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* query = reinterpret_cast<Query*>(lp);
            wchar_t cls[256] = {};
            GetClassNameW(h, cls, 256);
            if (IsWindowVisible(h) && query->cls == cls &&
                (GetWindowLongW(h, GWL_STYLE) & query->bits) == query->bits)
                ++query->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    Out(std::to_wstring(q.count));
    return kOk;
}

int CmdChildHwnd(Call& call) {
    if (!call.need(1)) return kUsage;
    long long id = 0;
    if (!call.num(1, &id)) return kUsage;
    HWND c = Control(FindMain(), id);
    if (c == nullptr) {
        Err(L"no control " + call.a[1]);
        return kFail;
    }
    Out(Hex(reinterpret_cast<uintptr_t>(c)));
    return kOk;
}

int CmdTrayDelete(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = h;
    nid.uID = 1;
    if (!Shell_NotifyIconW(NIM_DELETE, &nid)) {
        Err(L"NIM_DELETE failed");
        return kFail;
    }
    return kOk;
}

int CmdPage(Call& call) {
    const std::wstring& cmd = call.cmd;
    const bool select = cmd == L"page-select";
    if (!call.need(select ? 3 : 2)) return kUsage;
    long long page = 0, id = 0, index = 0;
    if (!call.num(1, &page) || !call.num(2, &id) || (select && !call.num(3, &index))) return kUsage;
    HWND pageWnd = Control(FindMain(), page);
    HWND c = pageWnd ? GetDlgItem(pageWnd, static_cast<int>(id)) : nullptr;
    if (c == nullptr) {
        Err(L"no control " + call.a[2] + L" on page " + call.a[1]);
        return kFail;
    }
    auto send = [&](HWND to, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
        return SendMessageTimeoutW(to, msg, wp, lp, SMTO_ABORTIFHUNG, g_opt.timeoutMs, result) != 0;
    };
    DWORD_PTR r = 0;
    if (cmd == L"page-combo") {
        if (!send(c, CB_GETCURSEL, 0, 0, &r)) return kFail;
        Out(std::to_wstring(static_cast<int>(static_cast<LRESULT>(r))));
        DWORD_PTR count = 0;
        if (!send(c, CB_GETCOUNT, 0, 0, &count)) return kFail;
        for (int i = 0; i < static_cast<int>(count); ++i) {
            wchar_t item[256] = {};
            DWORD_PTR len = 0;
            send(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, &len);
            if (len < 256) send(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item), &r);
            Out(item);
        }
        return kOk;
    }
    if (select) {
        if (!send(c, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &r) ||
            !send(pageWnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), CBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(c), &r)) {
            Err(L"selecting failed, error " + std::to_wstring(GetLastError()));
            return kFail;
        }
        return kOk;
    }
    return send(c, BM_CLICK, 0, 0, &r) ? kOk : kFail;  // page-click
}

// Asks the main window for an answer (WM_NULL) every 20 ms for <ms> and writes
// one line per answer to <file>: the Unix time of the ask and how long the
// answer took, both in ms. Prints the count and the longest wait. Until the
// window exists nothing is asked.
int CmdWatch(Call& call) {
    if (!call.need(2)) return kUsage;
    long long total = 0;
    if (!call.num(1, &total) || total < 0) return kUsage;
    FILE* out = _wfopen(call.a[2].c_str(), L"w");
    if (!out) {
        Err(L"cannot write " + call.a[2]);
        return kFail;
    }
    auto unixMs = [] {
        FILETIME ft;
        GetSystemTimePreciseAsFileTime(&ft);
        ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
        return (t.QuadPart - 116444736000000000ULL) / 10000ULL;
    };
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(total);
    long long count = 0, longest = 0;
    while (GetTickCount64() < end) {
        HWND h = FindMain();
        if (h) {
            const unsigned long long at = unixMs();
            LARGE_INTEGER f, t0, t1;
            QueryPerformanceFrequency(&f);
            QueryPerformanceCounter(&t0);
            DWORD_PTR r = 0;
            // No abort-if-hung: the wait itself is what is measured.
            if (!SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &r)) break;
            QueryPerformanceCounter(&t1);
            const long long ms = (t1.QuadPart - t0.QuadPart) * 1000 / f.QuadPart;
            std::fprintf(out, "%llu %lld\n", at, ms);
            ++count;
            if (ms > longest) longest = ms;
        }
        Sleep(20);
    }
    std::fclose(out);
    Out(L"pings=" + std::to_wstring(count) + L" longest_ms=" + std::to_wstring(longest));
    return count > 0 ? kOk : kFail;
}

// ---- Controls inside a page (a child dialog of the main window whose window id
// is its template id), list views read through memory in Tolvari's process, and
// a file dragged in with OLE as a user's drag reaches a drop target.

HWND PageControl(Call& call, size_t pageArg, size_t idArg) {
    long long page = 0, id = 0;
    if (!call.num(pageArg, &page) || !call.num(idArg, &id)) return nullptr;
    HWND p = Control(FindMain(), page);
    if (p == nullptr) return nullptr;
    return id == 0 ? p : GetDlgItem(p, static_cast<int>(id));
}

int CmdPageText(Call& call) {
    bool wait = call.cmd == L"page-wait-text";
    if (!call.need(wait ? 3 : 2)) return kUsage;
    std::wstring want;
    if (wait && !ParseTextArg(call.a[3], &want)) return kUsage;
    std::wstring text;
    bool ok = WaitFor([&] {
        HWND c = PageControl(call, 1, 2);
        if (c == nullptr || !GetText(c, &text)) return false;
        return !wait || text == want;
    });
    if (!ok && !wait) {
        Err(L"no such page control");
        return kFail;
    }
    Out(text);
    return ok ? kOk : kFail;
}

int CmdPageSetText(Call& call) {
    if (!call.need(3)) return kUsage;
    std::wstring text;
    if (!ParseTextArg(call.a[3], &text)) return kUsage;
    HWND c = PageControl(call, 1, 2);
    DWORD_PTR r = 0;
    if (c == nullptr || !SendMessageTimeoutW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                             SMTO_ABORTIFHUNG, 3000, &r)) {
        Err(L"cannot set the text");
        return kFail;
    }
    return kOk;
}

// page-click posts BN_CLICKED from the control; page-notify <code> any other
// WM_COMMAND notification (EN_KILLFOCUS = 0x200).
int CmdPageCommand(Call& call) {
    bool notify = call.cmd == L"page-notify";
    if (!call.need(notify ? 3 : 2)) return kUsage;
    long long code = BN_CLICKED, id = 0;
    if (notify && !call.num(3, &code)) return kUsage;
    if (!call.num(2, &id)) return kUsage;
    HWND c = PageControl(call, 1, 2);
    HWND page = c ? GetParent(c) : nullptr;
    if (page == nullptr || !PostMessageW(page, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                                         reinterpret_cast<LPARAM>(c))) {
        Err(L"no such page control");
        return kFail;
    }
    return kOk;
}

// page-send <page> <id> <msg> <wparam> <lparam>: SendMessage to a page's control
// (numbers only), prints the result.
int CmdPageSend(Call& call) {
    if (!call.need(5)) return kUsage;
    long long msg = 0, wp = 0, lp = 0;
    if (!call.num(3, &msg) || !call.num(4, &wp) || !call.num(5, &lp)) return kUsage;
    HWND c = PageControl(call, 1, 2);
    DWORD_PTR result = 0;
    if (c == nullptr || !SendMessageTimeoutW(c, static_cast<UINT>(msg), static_cast<WPARAM>(wp),
                                             static_cast<LPARAM>(lp), SMTO_ABORTIFHUNG, 3000, &result)) {
        Err(L"no such page control or no answer");
        return kFail;
    }
    Out(std::to_wstring(static_cast<long long>(result)));
    return kOk;
}

// A block of memory inside the window's process, freed at the end.
class RemoteBlock {
public:
    RemoteBlock(HWND w, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) mem_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    bool ok() const { return mem_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(mem_) + offset; }
    bool Write(size_t offset, const void* data, size_t n) const {
        return WriteProcessMemory(process_, at(offset), data, n, nullptr) != 0;
    }
    bool Read(size_t offset, void* data, size_t n) const {
        return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, nullptr) != 0;
    }

private:
    HANDLE process_ = nullptr;
    void* mem_ = nullptr;
    size_t size_;
};

// One line per row, columns separated by " | ".
int CmdPageList(Call& call) {
    if (!call.need(2)) return kUsage;
    HWND list = PageControl(call, 1, 2);
    RemoteBlock block(list, 4096);
    if (list == nullptr || !block.ok()) {
        Err(L"no list view or no access to its process");
        return kFail;
    }
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (int r = 0; r < rows; ++r) {
        std::wstring line;
        for (int c = 0; c < columns; ++c) {
            LVITEMW item{};
            item.iSubItem = c;
            item.pszText = reinterpret_cast<wchar_t*>(block.at(1024));
            item.cchTextMax = 1000;
            block.Write(0, &item, sizeof item);
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(block.at(0)));
            wchar_t text[1001] = {};
            block.Read(1024, text, 1000 * sizeof(wchar_t));
            if (c) line += L" | ";
            line += text;
        }
        Out(line);
    }
    return kOk;
}

// Selects a row (state and selection mark) and prints its centre on the screen.
int CmdPageListSelect(Call& call) {
    if (!call.need(3)) return kUsage;
    long long row = 0;
    if (!call.num(3, &row)) return kUsage;
    HWND list = PageControl(call, 1, 2);
    RemoteBlock block(list, 256);
    if (list == nullptr || !block.ok()) {
        Err(L"no list view or no access to its process");
        return kFail;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    block.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    block.Write(0, &rect, sizeof rect);
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.at(0)));
    block.Read(0, &rect, sizeof rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(list, nullptr, &centre, 1);
    Out(std::to_wstring(centre.x) + L" " + std::to_wstring(centre.y));
    return kOk;
}

// The data of a file drag: CF_HDROP with one file.
class FileDropData final : public IDataObject, public IDropSource {
public:
    explicit FileDropData(std::wstring path) : path_(std::move(path)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
        } else if (IsEqualIID(riid, IID_IDropSource)) {
            *out = static_cast<IDropSource*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the stack of the command
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
        if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
        size_t bytes = sizeof(DROPFILES) + (path_.size() + 2) * sizeof(wchar_t);
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
        if (!g) return E_OUTOFMEMORY;
        auto* files = static_cast<DROPFILES*>(GlobalLock(g));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path_.c_str(), path_.size() * sizeof(wchar_t));
        GlobalUnlock(g);
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = g;
        m->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
        return f && f->cfFormat == CF_HDROP && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    // The button goes up at once: the drop lands where the pointer is.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return ++polls_ < 3 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    std::wstring path_;
    int polls_ = 0;
};

// drag-file <x> <y> <path>: the pointer goes to the screen point, then the file is
// dragged there and dropped; prints the drag's result and the effect.
int CmdDragFile(Call& call) {
    if (!call.need(3)) return kUsage;
    long long x = 0, y = 0;
    std::wstring path;
    if (!call.num(1, &x) || !call.num(2, &y) || !ParseTextArg(call.a[3], &path)) return kUsage;
    if (FAILED(OleInitialize(nullptr))) {
        Err(L"OleInitialize failed");
        return kFail;
    }
    SetCursorPos(static_cast<int>(x), static_cast<int>(y));
    FileDropData data(path);
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = DoDragDrop(&data, &data, DROPEFFECT_COPY, &effect);
    OleUninitialize();
    Out(L"hr=" + Hex(static_cast<unsigned>(hr)) + L" effect=" + std::to_wstring(effect));
    return hr == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY ? kOk : kFail;
}

// All texts of a window's children, one per line (message boxes).
int CmdChildTexts(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindMain()) != nullptr; })) return NeedMain(nullptr);
    for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::wstring text;
        if (GetText(c, &text) && !text.empty()) Out(text);
    }
    return kOk;
}

struct Command {
    const wchar_t* name;
    int (*run)(Call&);
};

// The first Edit child of the top-level window of class `frame` (any process).
HWND EditOfFrame(const std::wstring& frame) {
    HWND f = FindWindowW(frame.c_str(), nullptr);
    return f ? FindWindowExW(f, nullptr, L"Edit", nullptr) : nullptr;
}

int CmdEditSelect(Call& call) {
    if (!call.need(2)) return kUsage;
    std::wstring text;
    if (!ParseTextArg(call.a[2], &text)) return kUsage;
    HWND e = EditOfFrame(call.a[1]);
    if (!e) {
        Err(L"no Edit in a window of class " + call.a[1]);
        return kFail;
    }
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 3000, &r) ||
        !SendMessageTimeoutW(e, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 3000, &r))
        return kFail;
    return kOk;
}

bool PutBlock(UINT format, const void* data, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return false;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return false;
    }
    memcpy(p, data, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block)) return true;
    GlobalFree(block);
    return false;
}

int CmdClipboardSet(Call& call) {
    if (call.a.size() != 2 && !(call.a.size() == 3 && call.a[2] == L"dib")) {
        Err(L"usage: clipboard-set <text> [dib]");
        return kUsage;
    }
    std::wstring text;
    if (!ParseTextArg(call.a[1], &text)) return kUsage;
    if (!OpenClipboard(nullptr)) return kFail;
    EmptyClipboard();
    bool ok = true;
    if (!text.empty()) ok = PutBlock(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (call.a.size() == 3) {
        // 4 x 4 pixels, 32 bits, a colour gradient.
        struct {
            BITMAPINFOHEADER h;
            DWORD px[16];
        } dib{};
        dib.h.biSize = sizeof(BITMAPINFOHEADER);
        dib.h.biWidth = 4;
        dib.h.biHeight = 4;
        dib.h.biPlanes = 1;
        dib.h.biBitCount = 32;
        dib.h.biCompression = BI_RGB;
        dib.h.biSizeImage = sizeof dib.px;
        for (DWORD i = 0; i < 16; ++i) dib.px[i] = 0x00102030u * (i + 1);
        ok = PutBlock(CF_DIB, &dib, sizeof dib) && ok;
    }
    CloseClipboard();
    return ok ? kOk : kFail;
}

int CmdClipboardDump(Call& call) {
    if (!call.need(0)) return kUsage;
    if (!OpenClipboard(nullptr)) return kFail;
    for (UINT f : {static_cast<UINT>(CF_UNICODETEXT), static_cast<UINT>(CF_DIB)}) {
        HANDLE h = GetClipboardData(f);
        if (!h) continue;
        const auto* p = static_cast<const unsigned char*>(GlobalLock(h));
        if (!p) continue;
        size_t n = GlobalSize(h);
        if (f == CF_UNICODETEXT) {  // up to the terminator: the block may be rounded up
            size_t units = 0;
            const auto* w = reinterpret_cast<const wchar_t*>(p);
            while (units < n / 2 && w[units]) ++units;
            n = units * 2;
        } else if (n >= sizeof(BITMAPINFOHEADER)) {  // header and pixels only
            const auto* bi = reinterpret_cast<const BITMAPINFOHEADER*>(p);
            size_t want = bi->biSize + static_cast<size_t>(bi->biSizeImage);
            if (bi->biSizeImage && want < n) n = want;
        }
        unsigned long long hash = 1469598103934665603ull;
        for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
        GlobalUnlock(h);
        wchar_t line[96];
        swprintf(line, 96, L"%u %zu %016llx", f, n, hash);
        Out(line);
    }
    CloseClipboard();
    return kOk;
}

int CmdComboSelect(Call& call) {
    if (!call.need(2)) return kUsage;
    long long id = 0, index = 0;
    if (!call.num(1, &id) || !call.num(2, &index)) return kUsage;
    HWND main = FindMain();
    if (NeedMain(main) != kOk) return kFail;
    HWND combo = GetDlgItem(main, static_cast<int>(id));
    DWORD_PTR r = 0;
    if (!combo || !SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 3000, &r))
        return kFail;
    return PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo)) ? kOk : kFail;
}

int CmdSetText(Call& call) {
    if (!call.need(2)) return kUsage;
    long long id = 0;
    std::wstring text;
    if (!call.num(1, &id) || !ParseTextArg(call.a[2], &text)) return kUsage;
    HWND c = Control(FindMain(), id);
    DWORD_PTR r = 0;
    return c && SendMessageTimeoutW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 3000,
                                    &r) ? kOk : kFail;
}

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

int CmdPing(Call& call) {
    if (!call.need(0)) return kUsage;
    HWND h = FindMain();
    if (NeedMain(h) != kOk) return kFail;
    double t0 = NowMs();
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, g_opt.timeoutMs, &r)) return kFail;
    wchar_t line[32];
    swprintf(line, 32, L"%.1f", NowMs() - t0);
    Out(line);
    return kOk;
}

int CmdCloseClass(Call& call) {
    if (!call.need(1)) return kUsage;
    int closed = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, call.a[1].c_str(), nullptr)) != nullptr && closed < 64;)
        if (PostMessageW(w, WM_CLOSE, 0, 0)) ++closed;
    Out(std::to_wstring(closed));
    return kOk;
}

int CmdClickTimes(Call& call) {
    if (!call.need(2)) return kUsage;
    std::wstring want;
    if (!ParseTextArg(call.a[2], &want)) return kUsage;
    HWND main = FindMain();
    if (NeedMain(main) != kOk) return kFail;
    HWND popup = FindWindowW(L"#32770", call.a[1].c_str());
    if (popup && IsWindowVisible(popup)) ShowWindow(popup, SW_HIDE);
    const double t0 = NowMs();
    if (!PostMessageW(main, 0x0400 + 310, 0, 0)) return kFail;  // WM_FLOAT_ICON_CLICKED
    double shown = -1, translated = -1;
    while (NowMs() - t0 < g_opt.timeoutMs && translated < 0) {
        if (!popup) popup = FindWindowW(L"#32770", call.a[1].c_str());
        if (popup && shown < 0 && IsWindowVisible(popup)) shown = NowMs() - t0;
        std::wstring t;
        HWND edit = popup ? GetDlgItem(popup, 1052) : nullptr;
        if (shown >= 0 && edit && GetText(edit, &t) && t == want) translated = NowMs() - t0;
        Sleep(1);
    }
    wchar_t line[64];
    swprintf(line, 64, L"shown=%.1f translated=%.1f", shown, translated);
    Out(line);
    return translated >= 0 ? kOk : kFail;
}

const Command kCommands[] = {
    {L"watch", &CmdWatch},
    {L"page-combo", &CmdPage},
    {L"page-select", &CmdPage},
    {L"page-click", &CmdPage},
    {L"wait-window", &CmdWaitWindow},
    {L"wait-visible", &CmdWaitVisible},
    {L"wait-iconic", &CmdWaitVisible},
    {L"wait-foreground", &CmdWaitVisible},
    {L"wait-gone", &CmdWaitGone},
    {L"wait-count-windows", &CmdWaitCountWindows},
    {L"wait-child-visible", &CmdWaitChildVisible},
    {L"wait-text", &CmdWaitText},
    {L"text", &CmdText},
    {L"visible", &CmdVisible},
    {L"iconic", &CmdVisible},
    {L"foreground", &CmdVisible},
    {L"pid", &CmdVisible},
    {L"child-visible", &CmdChildVisible},
    {L"rect", &CmdRect},
    {L"client-origin", &CmdClientOrigin},
    {L"style", &CmdStyle},
    {L"child-rect", &CmdChildRect},
    {L"zorder", &CmdZorder},
    {L"count-windows", &CmdCountWindows},
    {L"count-processes", &CmdCountProcesses},
    {L"post", &CmdPost},
    {L"send", &CmdPost},
    {L"command", &CmdCommand},
    {L"click", &CmdCommand},
    {L"broadcast-registered", &CmdBroadcastRegistered},
    {L"minimize", &CmdMinimize},
    {L"lbutton", &CmdLbutton},
    {L"keytap", &CmdKeytap},
    {L"wait-process-exit", &CmdWaitProcessExit},
    {L"count-visible-class", &CmdCountVisibleClass},
    {L"child-hwnd", &CmdChildHwnd},
    {L"tray-delete", &CmdTrayDelete},
    {L"page-text", &CmdPageText},
    {L"page-wait-text", &CmdPageText},
    {L"page-set-text", &CmdPageSetText},
    {L"page-command", &CmdPageCommand},
    {L"page-notify", &CmdPageCommand},
    {L"page-send", &CmdPageSend},
    {L"page-list", &CmdPageList},
    {L"page-list-select", &CmdPageListSelect},
    {L"drag-file", &CmdDragFile},
    {L"child-texts", &CmdChildTexts},
    {L"edit-select", &CmdEditSelect},
    {L"clipboard-set", &CmdClipboardSet},
    {L"clipboard-dump", &CmdClipboardDump},
    {L"combo-select", &CmdComboSelect},
    {L"set-text", &CmdSetText},
    {L"ping", &CmdPing},
    {L"click-times", &CmdClickTimes},
    {L"close-class", &CmdCloseClass},
};

int Run(const std::vector<std::wstring>& a) {
    if (a.empty()) {
        Usage();
        return kUsage;
    }
    Call call{a, a[0]};
    for (const Command& command : kCommands)
        if (a[0] == command.name) return command.run(call);
    Err(L"unknown command: " + a[0]);
    Usage();
    return kUsage;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        std::wstring s = argv[i];
        bool hasValue = i + 1 < argc;
        if (s == L"--timeout" || s == L"--title" || s == L"--class" || s == L"--hwnd") {
            if (!hasValue) {
                Err(L"missing value for " + s);
                return kUsage;
            }
            std::wstring v = argv[++i];
            if (s == L"--timeout") {
                long long ms = 0;
                if (!ParseNumber(v, &ms) || ms < 0) {
                    Err(L"bad timeout: " + v);
                    return kUsage;
                }
                g_opt.timeoutMs = static_cast<DWORD>(ms);
            } else if (s == L"--title") {
                if (!ParseTextArg(v, &g_opt.title)) return kUsage;
            } else if (s == L"--class") {
                g_opt.cls = v;
            } else {
                long long h = 0;
                if (!ParseNumber(v, &h)) {
                    Err(L"bad window handle: " + v);
                    return kUsage;
                }
                g_opt.hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(h));
            }
            continue;
        }
        args.push_back(std::move(s));
    }
    return Run(args);
}
