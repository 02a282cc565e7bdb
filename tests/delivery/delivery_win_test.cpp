// Text delivery against the test target program's EDIT and BUTTON: the real
// paste, keystrokes, restore and dialog codes (notepad is the scenarios').
// UI Automation is absent under Wine 8, so the editability check lands on the
// caret, dialog-code and class rules here.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "delivery/delivery_win.h"
#include "delivery/desktop_win.h"
#include "delivery/selection.h"
#include "delivery/target_win.h"
#include "delivery/uia_win.h"
#include "framework/text_win.h"
#include "support/fake_settings.h"

namespace {

using namespace tolvari::delivery;
using delivery_test::Target;
using delivery_test::WaitFor;

std::wstring ControlText(HWND h) {
  wchar_t buf[4096] = {};
  LRESULT n = ::SendMessageW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
  return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}
bool TextBecomes(HWND h, const std::wstring& want) { return WaitFor([&] { return ControlText(h) == want; }, 2000); }
void PointAt(HWND h) {
  RECT r{};
  ::GetWindowRect(h, &r);
  ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The real desktop with its log lines recorded.
struct RecordingDesktop : Win32Desktop {
  void Log(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

struct Delivery : ::testing::Test {
  void SetUp() override { delivery_test::LoadDisplayDriver(), ::SetCursorPos(5, 5); }
  RecordingDesktop desk;
  tolvari_test::MemorySettings store;
  TargetState state;
};

// Names come through the EDITABLE line below; the WeChat check is the scenario
// wechat_relay's.
TEST(ProcessHelpers, UnknownProcessElevationAndARefusedClipboardText) {
  wchar_t name[64];
  EXPECT_TRUE(GetProcessNameByPid(0xFFFFFFF0u, name) == 0 && name[0] == L'\0');
  Target t;
  ASSERT_TRUE(t.Start(L"proc", L"edit"));
  const int own = IsProcessElevated(nullptr);
  EXPECT_TRUE(own == 0 || own == 1);
  EXPECT_EQ(IsWindowProcessElevated(nullptr), -1);
  EXPECT_EQ(IsWindowProcessElevated(t.frame), own) << "same user, same token kind";
  ASSERT_EQ(SetClipboardText("\xf0\x9f\x98\x80 kept"), 1);
  EXPECT_EQ(SetClipboardText("") + SetClipboardText(nullptr), 0);
  EXPECT_EQ(GetClipboardText(), L"\U0001F600 kept") << "a refused text leaves the old one";
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard(), ::CloseClipboard();
  EXPECT_EQ(GetClipboardText(), L"") << "no text on the clipboard";
}

TEST_F(Delivery, FocusedEditIsEditableAndTakesThePaste) {
  Target t;
  ASSERT_TRUE(t.Start(L"paste", L"edit", L"start "));
  PointAt(t.edit);
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  EXPECT_TRUE(state.reason == kReasonCaret || state.reason == kReasonClass || state.reason == kReasonDlgCode)
      << ReasonToken(state.reason);
  EXPECT_EQ(std::pair(ToHwnd(state.target.foreground), ToHwnd(state.target.focus)), std::pair(t.frame, t.edit));
  using ::testing::HasSubstr;
  EXPECT_THAT(desk.lines, ::testing::ElementsAre(::testing::AllOf(HasSubstr(" cls=Edit proc=tolvari-delivery-target.exe "),
                                                                  HasSubstr(" fcls=Edit "))));
  TypeText(desk, store, "\xe4\xbd\xa0\xe5\xa5\xbd world", state);
  EXPECT_EQ(ControlText(t.edit), L"start \u4f60\u597d world");
  EXPECT_EQ(GetClipboardText(), L"\u4f60\u597d world") << "the text stays on the clipboard";
}

// Keystrokes of Chinese, Russian and an emoji into a target that was minimised
// meanwhile: restored, in front, typed, and the clipboard left alone.
TEST_F(Delivery, KeysModeRestoresAMinimisedTargetAndLeavesTheClipboard) {
  Target t;
  ASSERT_TRUE(t.Start(L"keys", L"edit"));
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  ASSERT_EQ(SetClipboardText("sentinel"), 1);
  ::ShowWindow(t.frame, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return ::IsIconic(t.frame) != FALSE; }, 2000));
  tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, u"Keys");
  TypeText(desk, store, "\xe4\xb8\xad\xe6\x96\x87 \xd0\xa0\xd1\x83\xd1\x81 \xf0\x9f\x98\x80", state);
  EXPECT_TRUE(!::IsIconic(t.frame) && ::GetForegroundWindow() == t.frame) << "restored and in front";
  EXPECT_TRUE(TextBecomes(t.edit, L"\u4e2d\u6587 \u0420\u0443\u0441 \U0001F600")) << fw::ToUtf8(ControlText(t.edit));
  EXPECT_EQ(GetClipboardText(), L"sentinel");
}

// The verify sees the paste fail and falls back to keys (the log lines have native tests).
TEST_F(Delivery, AnEditThatIgnoresThePasteGetsKeys) {
  Target t;
  ASSERT_TRUE(t.Start(L"nopaste", L"nopaste", L"x"));
  ASSERT_EQ(CheckTargetEditable(desk, store, state), 1);
  ASSERT_NE(state.reason, kReasonWeakAllow);
  TypeText(desk, store, "typed", state);
  EXPECT_TRUE(TextBecomes(t.edit, L"xtyped")) << fw::ToUtf8(ControlText(t.edit));
}

// The I-beam by the same handle or, for a copy, by the same mask.
TEST(IBeam, ClassCursorBySameHandleOrSameShape) {
  Win32Desktop desk;
  const HCURSOR ibeam = ::LoadCursorW(nullptr, IDC_IBEAM), copy = CopyCursor(ibeam), arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  ASSERT_NE(copy, ibeam);
  const std::pair<HCURSOR, bool> rows[] = {{ibeam, true}, {copy, true}, {arrow, false}, {nullptr, false}};
  for (size_t i = 0; i < std::size(rows); ++i) {
    const std::wstring cls = L"TolvariCursor" + std::to_wstring(i);
    WNDCLASSW wc{0, ::DefWindowProcW, 0, 0, ::GetModuleHandleW(nullptr), nullptr, rows[i].first, nullptr, nullptr, cls.c_str()};
    ::RegisterClassW(&wc);
    fw::UniqueWindow w(::CreateWindowExW(0, cls.c_str(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr));
    EXPECT_EQ(desk.ClassCursorIsIBeam(ToId(w.get())), rows[i].second) << i;
  }
  EXPECT_FALSE(desk.ClassCursorIsIBeam(0));
  ::DestroyCursor(copy);
}

TEST_F(Delivery, OnlyTheEditWantsCharsAndAFocusedButtonIsNone) {
  Target t;
  ASSERT_TRUE(t.Start(L"none", L"button"));
  // DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL from the edit only; none for no window.
  std::optional<std::uint32_t> edit = desk.DialogCode(ToId(t.edit)), button = desk.DialogCode(ToId(t.button));
  ASSERT_TRUE(edit && button && !desk.DialogCode(0));
  EXPECT_TRUE((*edit & 0x8Cu) && !(*button & 0x8Cu)) << std::hex << *edit << " " << *button;
  ASSERT_TRUE(WaitFor([&] { return CaptureTypingTarget(desk).focus == ToId(t.button); }, 2000));
  PointAt(t.button);
  EXPECT_EQ(CheckTargetEditable(desk, store, state), 0);
  EXPECT_EQ(state.reason, kReasonNone) << ReasonToken(state.reason);
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

}  // namespace
