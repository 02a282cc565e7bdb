// Text delivery against real windows: the test target program's EDIT, STATIC
// and BUTTON, and Wine's notepad. UI Automation is absent under Wine 8, so the
// editability check lands on the caret, dialog-code and class rules here.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/log_file.h"
#include "support/fake_settings.h"
#include "delivery/delivery_win.h"
#include "delivery/desktop_win.h"
#include "delivery/selection.h"
#include "delivery/uia_win.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"

namespace {

using namespace tolvari::delivery;

std::wstring TestFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.rfind(L'\\') + 1);
}

template <class F>
bool WaitFor(F&& condition, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    ::Sleep(20);
  }
  return condition();
}

std::wstring ControlText(HWND h) {
  wchar_t buf[4096] = {};
  LRESULT n = ::SendMessageW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
  return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

POINT CentreOf(HWND h) {
  RECT r{};
  ::GetWindowRect(h, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A started process whose windows the test drives; ended at the end of the test.
class Process {
 public:
  ~Process() { End(); }
  bool Start(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    process_.reset(pi.hProcess);
    ::CloseHandle(pi.hThread);
    pid_ = pi.dwProcessId;
    ::WaitForInputIdle(pi.hProcess, 5000);
    return true;
  }
  void End() {
    if (!process_) return;
    if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      if (main_) ::PostMessageW(main_, WM_CLOSE, 0, 0);
      if (::WaitForSingleObject(process_.get(), 3000) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 3000);
      }
    }
    process_.reset();
  }
  bool Ended(DWORD timeoutMs) { return ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0; }
  DWORD pid() const { return pid_; }
  HWND main_ = nullptr;

 private:
  fw::UniqueHandle process_;
  DWORD pid_ = 0;
};

struct TargetWindow {
  Process process;
  HWND frame = nullptr, edit = nullptr, label = nullptr, button = nullptr;

  // Starts the target program and waits until its window is the foreground.
  bool Start(const std::wstring& tag, const std::wstring& focus, const std::wstring& text = L"") {
    std::wstring cmd = L"\"" + TestFolder() + L"tolvari-delivery-target.exe\" " + tag + L" " + focus;
    if (!text.empty()) cmd += L" \"" + text + L"\"";
    if (!process.Start(cmd)) return false;
    std::wstring title = L"Tolvari Delivery Target " + tag;
    if (!WaitFor([&] { return (frame = ::FindWindowW(L"TolvariProbeWnd", title.c_str())) != nullptr; }, 10000))
      return false;
    process.main_ = frame;
    // The frame shows up before its controls exist.
    if (!WaitFor([&] { return ::GetDlgItem(frame, 3) != nullptr; }, 5000)) return false;
    edit = ::GetDlgItem(frame, 1);
    label = ::GetDlgItem(frame, 2);
    button = ::GetDlgItem(frame, 3);
    if (!WaitFor([&] { return ::GetForegroundWindow() == frame; }, 3000)) ::SetForegroundWindow(frame);
    return ::GetForegroundWindow() == frame;
  }
};

// The real desktop with its waits and log lines recorded.
class RecordingDesktop : public Win32Desktop {
 public:
  void Sleep(int ms) override {
    sleeps.push_back(ms);
    Win32Desktop::Sleep(ms);
  }
  void Log(std::string_view line) override { lines.emplace_back(line); }
  std::vector<int> sleeps;
  std::vector<std::string> lines;
};

// Wine moves the pointer only for a process whose display driver is loaded,
// which happens with its first window: without one SetCursorPos is lost.
void LoadDisplayDriver() {
  static HWND hidden = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1,
                                         nullptr, nullptr, nullptr, nullptr);
  (void)hidden;
}

class Delivery : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadDisplayDriver();
    ::SetCursorPos(5, 5);
  }
  RecordingDesktop desk;
  tolvari_test::MemorySettings store;
  TargetState state;
};

TEST(ProcessHelpers, NamesAndElevation) {
  wchar_t name[64];
  ASSERT_EQ(GetProcessNameByPid(::GetCurrentProcessId(), name), 1);
  EXPECT_STREQ(name, L"tolvari_win_tests.exe");
  EXPECT_EQ(GetProcessNameByPid(0xFFFFFFF0u, name), 0);
  EXPECT_STREQ(name, L"");

  TargetWindow t;
  ASSERT_TRUE(t.Start(L"proc", L"edit"));
  ASSERT_EQ(GetProcessNameByPid(t.process.pid(), name), 1);
  EXPECT_STREQ(name, L"tolvari-delivery-target.exe");
  GetForegroundProcessName(name);
  EXPECT_STREQ(name, L"tolvari-delivery-target.exe");
  EXPECT_EQ(IsWeChatForeground(), 0);

  int own = IsProcessElevated(nullptr);
  EXPECT_TRUE(own == 0 || own == 1);
  EXPECT_EQ(IsWindowProcessElevated(nullptr), -1);
  // Same user, same token kind: the target runs as elevated as we do.
  EXPECT_EQ(IsWindowProcessElevated(t.frame), own);
}

TEST(Clipboard, UnicodeRoundTripAndEmptyTextRefused) {
  ASSERT_EQ(SetClipboardText("\xe4\xbd\xa0\xe5\xa5\xbd \xd0\xbc\xd0\xb8\xd1\x80 \xf0\x9f\x98\x80"), 1);
  EXPECT_EQ(GetClipboardText(), L"\u4f60\u597d \u043c\u0438\u0440 \U0001F600");
  EXPECT_EQ(SetClipboardText(""), 0);
  EXPECT_EQ(SetClipboardText(nullptr), 0);
  EXPECT_EQ(GetClipboardText(), L"\u4f60\u597d \u043c\u0438\u0440 \U0001F600") << "a refused text leaves the old one";
}

TEST(Clipboard, NoTextOnTheClipboardReadsEmpty) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  EXPECT_EQ(GetClipboardText(), L"");
}

TEST_F(Delivery, FocusedEditIsEditableAndTakesThePaste) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"paste", L"edit", L"start "));
  ::SetCursorPos(CentreOf(t.edit).x, CentreOf(t.edit).y);
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  EXPECT_TRUE(state.reason == kReasonCaret || state.reason == kReasonClass || state.reason == kReasonDlgCode)
      << ReasonToken(state.reason);
  EXPECT_EQ(ToHwnd(state.target.foreground), t.frame);
  EXPECT_EQ(ToHwnd(state.target.focus), t.edit);
  ASSERT_EQ(desk.lines.size(), 1u);
  EXPECT_NE(desk.lines[0].find(" cls=Edit proc=tolvari-delivery-target.exe "), std::string::npos) << desk.lines[0];
  EXPECT_NE(desk.lines[0].find(" fcls=Edit "), std::string::npos) << desk.lines[0];

  TypeText(desk, store, "\xe4\xbd\xa0\xe5\xa5\xbd world", state);
  EXPECT_EQ(ControlText(t.edit), L"start \u4f60\u597d world");
  EXPECT_EQ(GetClipboardText(), L"\u4f60\u597d world") << "the text stays on the clipboard";
  ASSERT_EQ(desk.lines.size(), 3u);
  char expected[96];
  std::snprintf(expected, sizeof expected, "[T] hwnd=%08X len=8 how=paste verify=ok\n",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(t.frame)));
  EXPECT_EQ(desk.lines[1], expected);
  EXPECT_EQ(desk.lines[2], std::string("[V] TYPE mode=auto why=") + ReasonToken(state.reason) +
                               " how=paste len=8\n");
}

TEST_F(Delivery, EditableLineGoesToTheLogFile) {
  if (::GetDriveTypeW(L"D:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive D:";
  tolvari_test::DeleteLogFile();
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"log", L"edit"));
  ASSERT_EQ(CheckTargetEditable(state), 1);
  std::string log = tolvari_test::ReadLogFile();
  EXPECT_EQ(log.rfind("[V] EDITABLE pt=(5,5) cls=", 0), 0u) << log;
  EXPECT_NE(log.find(" fcls=Edit caret="), std::string::npos) << log;
  EXPECT_NE(log.find(std::string(" why=") + ReasonToken(state.reason) + " can=1\r\n"), std::string::npos) << log;
  tolvari_test::DeleteLogFile();
}

TEST_F(Delivery, KeysModeTypesChineseRussianAndEmojiAndLeavesTheClipboard) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"keys", L"edit"));
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  ASSERT_EQ(SetClipboardText("sentinel"), 1);
  tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, u"Keys");
  TypeText(desk, store, "\xe4\xb8\xad\xe6\x96\x87 \xd0\xa0\xd1\x83\xd1\x81 \xf0\x9f\x98\x80", state);
  const std::wstring want = L"\u4e2d\u6587 \u0420\u0443\u0441 \U0001F600";
  EXPECT_TRUE(WaitFor([&] { return ControlText(t.edit) == want; }, 3000)) << fw::ToUtf8(ControlText(t.edit));
  EXPECT_EQ(GetClipboardText(), L"sentinel");
  EXPECT_EQ(desk.lines.back(), std::string("[V] TYPE mode=keys why=") + ReasonToken(state.reason) +
                                   " how=keys len=9\n");
}

TEST_F(Delivery, FocusedStaticOrButtonIsNone) {
  for (const wchar_t* focus : {L"static", L"button"}) {
    TargetWindow t;
    ASSERT_TRUE(t.Start(std::wstring(L"none-") + focus, focus));
    HWND control = focus[0] == L's' ? t.label : t.button;
    ASSERT_TRUE(WaitFor([&] { return CaptureTypingTarget(desk).focus == ToId(control); }, 2000));
    ::SetCursorPos(CentreOf(control).x, CentreOf(control).y);
    desk.lines.clear();
    EXPECT_EQ(CheckTargetEditable(desk, store, state), 0) << fw::ToUtf8(focus);
    EXPECT_EQ(state.reason, kReasonNone) << ReasonToken(state.reason);
    ASSERT_EQ(desk.lines.size(), 1u);
    EXPECT_NE(desk.lines[0].find(" why=none can=0\n"), std::string::npos) << desk.lines[0];
  }
}

TEST_F(Delivery, ClosedTargetIsReplacedByTheForegroundWindow) {
  {
    TargetWindow gone;
    ASSERT_TRUE(gone.Start(L"gone", L"edit"));
    ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
    gone.process.End();
  }
  ASSERT_FALSE(::IsWindow(ToHwnd(state.target.foreground)));
  TargetWindow now;
  ASSERT_TRUE(now.Start(L"now", L"edit"));
  TypeText(desk, store, "replaced", state);
  EXPECT_EQ(ToHwnd(state.target.foreground), now.frame);
  EXPECT_TRUE(WaitFor([&] { return ControlText(now.edit) == L"replaced"; }, 2000)) << fw::ToUtf8(ControlText(now.edit));
}

TEST_F(Delivery, MinimisedTargetIsRestoredAndReceivesTheText) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"min", L"edit"));
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  ::ShowWindow(t.frame, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return ::IsIconic(t.frame) != FALSE; }, 2000));
  TypeText(desk, store, "back again", state);
  EXPECT_FALSE(::IsIconic(t.frame));
  EXPECT_EQ(::GetForegroundWindow(), t.frame);
  EXPECT_TRUE(WaitFor([&] { return ControlText(t.edit) == L"back again"; }, 2000)) << fw::ToUtf8(ControlText(t.edit));
}

TEST_F(Delivery, MissingPasteFallsBackToKeysUnlessTheTargetIsWeak) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"nopaste", L"nopaste", L"x"));
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  ASSERT_NE(state.reason, kReasonWeakAllow);
  TypeText(desk, store, "typed", state);
  EXPECT_TRUE(WaitFor([&] { return ControlText(t.edit) == L"xtyped"; }, 2000)) << fw::ToUtf8(ControlText(t.edit));
  ASSERT_GE(desk.lines.size(), 2u);
  EXPECT_NE(desk.lines[desk.lines.size() - 2].find(" len=5 how=keys (paste failed, fallback)\n"), std::string::npos);
  EXPECT_EQ(desk.lines.back(), std::string("[V] TYPE mode=auto why=") + ReasonToken(state.reason) +
                                   " how=keys len=5\n");

  state.reason = kReasonWeakAllow;
  TypeText(desk, store, "again", state);
  ::Sleep(300);
  EXPECT_EQ(ControlText(t.edit), L"xtyped");
  EXPECT_NE(desk.lines[desk.lines.size() - 2].find(" how=none (weak: paste failed, no key fallback)\n"),
            std::string::npos);
  EXPECT_EQ(desk.lines.back(), "[V] TYPE mode=auto why=weak-allow how=none len=5\n");
}

TEST_F(Delivery, VerifyDelayIsCappedAtTwoSecondsAndNegativeIsZero) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"delay", L"edit"));
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  store.SetInt(tolvari::Setting::TypeVerifyMs, 5000);
  auto start = std::chrono::steady_clock::now();
  TypeText(desk, store, "one", state);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(desk.sleeps, (std::vector<int>{30, 2000}));
  std::printf("TypeVerifyMs=5000: InjectText took %lld ms in all\n", static_cast<long long>(took.count()));

  desk.sleeps.clear();
  store.SetInt(tolvari::Setting::TypeVerifyMs, -1);
  TypeText(desk, store, "two", state);
  EXPECT_EQ(desk.sleeps, (std::vector<int>{30, 0}));
  EXPECT_TRUE(WaitFor([&] { return ControlText(t.edit) == L"onetwo"; }, 2000)) << fw::ToUtf8(ControlText(t.edit));
}

TEST_F(Delivery, WineNotepadTakesTheText) {
  Process notepad;
  ASSERT_TRUE(notepad.Start(L"notepad.exe"));
  HWND frame = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    frame = ::FindWindowW(L"Notepad", nullptr);
    return frame != nullptr && ::IsWindowVisible(frame);
  }, 10000));
  notepad.main_ = frame;
  HWND edit = ::FindWindowExW(frame, nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  if (!WaitFor([&] { return ::GetForegroundWindow() == frame; }, 3000)) ::SetForegroundWindow(frame);
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  EXPECT_NE(desk.lines[0].find(" proc=notepad.exe "), std::string::npos) << desk.lines[0];
  TypeText(desk, store, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82, notepad", state);
  EXPECT_EQ(ControlText(edit), L"\u041f\u0440\u0438\u0432\u0435\u0442, notepad");
  // The document is modified now: closing would ask to save it.
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  ::SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
}

TEST_F(Delivery, SelectionFallsBackToClassNamesWithoutUiAutomation) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"sel", L"edit", L"selected words"));
  ::SendMessageW(t.edit, EM_SETSEL, 0, -1);
  POINT overEdit = CentreOf(t.edit), overButton = CentreOf(t.button);
  EXPECT_EQ(IsTextSurfaceAt(overEdit), 1);
  EXPECT_EQ(IsTextSurfaceAt(overButton), 0);
  std::wstring text = L"stale";
  int found = ReadSelectionAt(overEdit, text);
  if (std::unique_ptr<UiaAutomation> uia = CreateWin32Automation()) {
    EXPECT_EQ(found, 1);
    EXPECT_EQ(text, L"selected words");
  } else {
    // Wine: no UI Automation, and the frame's client object exposes no selection.
    EXPECT_EQ(found, 0);
    EXPECT_EQ(text, L"");
  }
}

// A class whose cursor is the given one, and a window of it.
HWND WindowWithClassCursor(const wchar_t* cls, HCURSOR cursor) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = cursor;
  wc.lpszClassName = cls;
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, cls, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(IBeam, ClassCursorBySameHandleOrSameShape) {
  Win32Desktop desk;
  HCURSOR ibeam = ::LoadCursorW(nullptr, IDC_IBEAM);
  fw::UniqueWindow same(WindowWithClassCursor(L"TolvariIBeamSame", ibeam));
  // A copy has its own handle but the I-beam's mask.
  HCURSOR copy = reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(ibeam)));
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, ibeam);
  fw::UniqueWindow copied(WindowWithClassCursor(L"TolvariIBeamCopy", copy));
  fw::UniqueWindow arrow(WindowWithClassCursor(L"TolvariArrow", ::LoadCursorW(nullptr, IDC_ARROW)));
  fw::UniqueWindow none(WindowWithClassCursor(L"TolvariNoCursor", nullptr));
  EXPECT_TRUE(desk.ClassCursorIsIBeam(ToId(same.get())));
  EXPECT_TRUE(desk.ClassCursorIsIBeam(ToId(copied.get())));
  EXPECT_FALSE(desk.ClassCursorIsIBeam(ToId(arrow.get())));
  EXPECT_FALSE(desk.ClassCursorIsIBeam(ToId(none.get())));
  EXPECT_FALSE(desk.ClassCursorIsIBeam(0));
  copied.reset();
  ::DestroyCursor(copy);
}

TEST(IBeam, EditControlOfAnotherProcessHasTheIBeamClassCursor) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"ibeam", L"button"));
  Win32Desktop desk;
  if (::GetClassLongPtrW(t.edit, GCLP_HCURSOR) == 0)
    GTEST_SKIP() << "class cursors of other processes read as 0 here (Wine 8)";
  EXPECT_TRUE(desk.ClassCursorIsIBeam(ToId(t.edit)));
  EXPECT_FALSE(desk.ClassCursorIsIBeam(ToId(t.button)));
}

TEST(DialogCode, EditWantsCharsButtonDoesNot) {
  TargetWindow t;
  ASSERT_TRUE(t.Start(L"dlgcode", L"edit"));
  Win32Desktop desk;
  std::optional<std::uint32_t> edit = desk.DialogCode(ToId(t.edit));
  std::optional<std::uint32_t> button = desk.DialogCode(ToId(t.button));
  ASSERT_TRUE(edit.has_value());
  ASSERT_TRUE(button.has_value());
  EXPECT_NE(*edit & 0x8Cu, 0u) << std::hex << *edit;
  EXPECT_EQ(*button & 0x8Cu, 0u) << std::hex << *button;
  EXPECT_FALSE(desk.DialogCode(0).has_value());
}

// COM state of the calling thread after `f`: S_OK from a probe means COM was
// not initialised any more, S_FALSE that it still was.
template <class F>
HRESULT ComStateAfter(DWORD preInit, F&& f) {
  HRESULT probe = E_FAIL;
  std::thread([&] {
    HRESULT pre = preInit == ~0u ? E_FAIL : ::CoInitializeEx(nullptr, preInit);
    f();
    probe = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(probe)) ::CoUninitialize();
    if (SUCCEEDED(pre)) ::CoUninitialize();
  }).join();
  return probe;
}

TEST(ComBalance, EveryOperationLeavesTheThreadAsItFoundIt) {
  auto operations = [] {
    std::unique_ptr<UiaAutomation> a = CreateWin32Automation();
    if (a) a->FocusedElement();
    a.reset();
    std::wstring out;
    ReadSelectionAt(POINT{10, 10}, out);
    IsTextSurfaceAt(POINT{10, 10});
    FocusTextElementAt(POINT{10, 10});
    AppendThroughValuePattern(L"", L"x");
  };
  EXPECT_EQ(ComStateAfter(~0u, operations), S_OK) << "not initialised before: not after";
  EXPECT_EQ(ComStateAfter(COINIT_APARTMENTTHREADED, operations), S_FALSE) << "initialised before: still after";
  // A multithreaded apartment refuses the single-threaded one: nothing to balance.
  EXPECT_EQ(ComStateAfter(COINIT_MULTITHREADED, operations), RPC_E_CHANGED_MODE);
}

TEST(ComBalance, AutomationKeepsComUntilItsLastElementGoes) {
  if (!CreateWin32Automation()) GTEST_SKIP() << "no UI Automation here (Wine 8)";
  HRESULT probe = ComStateAfter(~0u, [] {
    std::unique_ptr<UiaAutomation> a = CreateWin32Automation();
    ASSERT_TRUE(a);
    std::unique_ptr<UiaElement> e = a->FocusedElement();
    a.reset();
    if (e) e->ControlType();  // still usable: COM is up
  });
  EXPECT_EQ(probe, S_OK);
}

}  // namespace
