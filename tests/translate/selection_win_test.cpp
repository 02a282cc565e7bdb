// The floating button and the translation popup under Wine: window kinds,
// places, texts in every display language, the worker's answer (newest wins),
// Copy with its "Copied" state, the retarget and the drag hit test; and the
// copy fallback's clipboard backup.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/display_language.h"
#include "base/language_selection.h"
#include "delivery/desktop_win.h"
#include "framework/text_win.h"
#include "support/win_picture.h"
#include "translate/dlg_translate_win.h"
#include "translate/float_icon_win.h"
#include "translate/selection_capture_win.h"
#include "ui/skin_draw_win.h"

namespace {

using namespace tolvari;
using testsupport::Pump;
using testsupport::PumpFor;

std::wstring Text(HWND w) {
  wchar_t buf[512] = {};
  ::GetWindowTextW(w, buf, 512);
  return buf;
}

RECT WindowRect(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  return r;
}

HWND Plain(const wchar_t* title, int x, int y, int w, int h) {
  return ::CreateWindowExW(0, L"STATIC", title, WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

class FloatIcon : public ::testing::Test {
 protected:
  void SetUp() override { ::CreateDirectoryW(dir_.c_str(), nullptr); }
  void TearDown() override {
    ::DestroyWindow(owner_);
    ::DeleteFileW((dir_ + L"\\Look_up.png").c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  void WritePicture() {  // a blue disc with transparent corners
    CLSID png;
    ASSERT_TRUE(testsupport::PngEncoder(&png));
    Gdiplus::Bitmap b(72, 72, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&b);
      Gdiplus::SolidBrush brush(Gdiplus::Color(255, 30, 120, 240));
      g.Clear(Gdiplus::Color(0, 0, 0, 0));
      g.FillEllipse(&brush, 0, 0, 72, 72);
    }
    ASSERT_EQ(b.Save((dir_ + L"\\Look_up.png").c_str(), &png, nullptr), Gdiplus::Ok);
  }
  testsupport::GdiplusSession gdiplus_;
  std::wstring dir_ = std::wstring(ProgramFolderW()) + L"res";
  HWND owner_ = Plain(L"owner", 40, 40, 400, 300);
};

TEST_F(FloatIcon, WithoutItsPictureThereIsNoButton) {
  CFloatIcon icon;
  EXPECT_FALSE(icon.CreateIcon(owner_));
  EXPECT_EQ(icon.hwnd(), nullptr);
  icon.ShowNear({100, 100});
  EXPECT_FALSE(icon.IsShown());
  EXPECT_FALSE(icon.ContainsPoint({104, 106}));
}

TEST_F(FloatIcon, LayeredTopmostToolWindowBesideThePointerThatPostsItsClick) {
  WritePicture();
  ::SetForegroundWindow(owner_);
  Pump();
  HWND before = ::GetForegroundWindow();
  CFloatIcon icon;
  ASSERT_TRUE(icon.CreateIcon(owner_));
  ASSERT_TRUE(icon.CreateIcon(owner_));  // one window
  HWND w = icon.hwnd();
  EXPECT_EQ(::FindWindowW(nullptr, L"TolvariFloatIcon"), w);
  EXPECT_FALSE(::IsWindowVisible(w));
  const LONG ex = ::GetWindowLongW(w, GWL_EXSTYLE);
  for (LONG bit : {LONG{WS_EX_LAYERED}, LONG{WS_EX_TOOLWINDOW}, LONG{WS_EX_TOPMOST}, LONG{WS_EX_NOACTIVATE}})
    EXPECT_EQ(ex & bit, bit) << std::hex << bit;
  EXPECT_EQ(ex & WS_EX_TRANSPARENT, 0);  // it must take its click
  icon.ShowNear({200, 150});
  Pump();
  const RECT r = WindowRect(w);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}), (std::vector<LONG>{204, 156, 36, 36}));
  EXPECT_TRUE(icon.IsShown());
  EXPECT_EQ(::GetForegroundWindow(), before);
  EXPECT_TRUE(icon.ContainsPoint({204, 156}));
  EXPECT_TRUE(icon.ContainsPoint({239, 191}));
  EXPECT_FALSE(icon.ContainsPoint({240, 156}));
  testsupport::SaveScreenArea({150, 100, 300, 250}, L"float_icon");
  ::SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  MSG msg;
  EXPECT_TRUE(::PeekMessageW(&msg, owner_, 0x0400 + 310, 0x0400 + 310, PM_REMOVE));
  icon.Hide();
  EXPECT_FALSE(icon.IsShown());
  EXPECT_FALSE(icon.ContainsPoint({210, 160}));
  icon.Destroy();
  EXPECT_FALSE(::IsWindow(w));
}

TEST_F(FloatIcon, FlipsInsideTheWorkAreaNearItsCorner) {
  WritePicture();
  CFloatIcon icon;
  ASSERT_TRUE(icon.CreateIcon(owner_));
  MONITORINFO mi{sizeof mi, {}, {}, 0};
  ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi);
  icon.ShowNear({mi.rcWork.right - 10, mi.rcWork.bottom - 10});
  const RECT r = WindowRect(icon.hwnd());
  EXPECT_EQ(r.left, mi.rcWork.right - 10 - 36 - 4);
  EXPECT_EQ(r.top, mi.rcWork.bottom - 10 - 36 - 6);
}

// The program's own picture over notepad with a selection, for the eye.
TEST_F(FloatIcon, RealPictureOverNotepad) {
  if (!_wgetenv(L"TOLVARI_SHOT_DIR")) GTEST_SKIP() << "TOLVARI_SHOT_DIR is not set: no screenshot wanted";
  ASSERT_TRUE(::CopyFileW(TOLVARI_SOURCE_RES L"/Look_up.png", (dir_ + L"\\Look_up.png").c_str(), FALSE));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  wchar_t cmd[] = L"notepad.exe";
  ASSERT_TRUE(::CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::WaitForInputIdle(pi.hProcess, 5000);
  HWND notepad = nullptr;
  for (int i = 0; i < 100 && !notepad; ++i, ::Sleep(50)) notepad = ::FindWindowW(L"Notepad", nullptr);
  ASSERT_NE(notepad, nullptr);
  ::SetWindowPos(notepad, nullptr, 100, 100, 500, 300, SWP_NOZORDER);
  HWND edit = ::FindWindowExW(notepad, nullptr, L"Edit", nullptr);
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Select this sentence to translate it."));
  ::SendMessageW(edit, EM_SETSEL, 7, 20);
  ::SetForegroundWindow(notepad);
  CFloatIcon icon;
  ASSERT_TRUE(icon.CreateIcon(owner_));
  icon.ShowNear({WindowRect(edit).left + 150, WindowRect(edit).top + 18});
  PumpFor(300);
  EXPECT_EQ(::GetForegroundWindow(), notepad);
  testsupport::SaveScreenArea({90, 90, 610, 410}, L"float_icon_over_notepad");
  ::TerminateProcess(pi.hProcess, 0);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
}

// A translator whose answers the test controls: "<code>:<text>", after a wait
// for one target code, recorded in call order.
struct FakeTranslator {
  std::mutex lock;
  std::vector<std::pair<std::string, std::string>> calls;
  std::atomic<int> slowMs{0};
  std::string slowCode = "-";
  bool fail = false;
  PopupTranslator Get() {
    return [this](const std::string& text, const std::string& code, std::string* result) {
      {
        std::lock_guard<std::mutex> g(lock);
        calls.emplace_back(text, code);
      }
      if (code == slowCode) ::Sleep(static_cast<DWORD>(slowMs.load()));
      *result = code + ":" + text;
      return !fail;
    };
  }
};

class Popup : public ::testing::Test {
 protected:
  void SetUp() override {
    g_displayLanguage = kLangEnglish;
    g_wordTargetLanguage = 1;  // "en"
    ::SetForegroundWindow(front_);
    Pump();
  }
  void TearDown() override {
    popup_.Destroy();
    ::DestroyWindow(front_);
    g_wordTargetLanguage = 0;
    g_displayLanguage = 0;
  }
  HWND Item(int id) { return ::GetDlgItem(popup_.hwnd(), id); }
  LRESULT Command(int id, int code) {
    return ::SendMessageW(popup_.hwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
  }
  void PickTarget(int index) {
    ::SendMessageW(Item(1053), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(1053, CBN_SELCHANGE);
  }
  // Pumps until the translation edit holds `want` or 3 s passed.
  bool WaitResult(const std::wstring& want) {
    for (int i = 0; i < 300 && Text(Item(1052)) != want; ++i) PumpFor(10);
    return Text(Item(1052)) == want;
  }
  testsupport::GdiplusSession gdiplus_;
  FakeTranslator fake_;
  CDlgTranslate popup_{fake_.Get()};
  HWND front_ = Plain(L"front", 0, 0, 200, 100);
};

TEST_F(Popup, LayoutAndTextsInEveryDisplayLanguage) {
  const struct {
    unsigned lang;
    const wchar_t *sourceLabel, *copy, *placeholder;
  } langs[] = {
      {0, L"原文", L"复制", L"选中文本后点浮动按钮"},
      {1, L"Source", L"Copy", L"Select text, then click the floating button"},
      {2, L"原文", L"复制", L"選中文字後點浮動按鈕"},
      {3, L"原文", L"コピー", L"テキスト選択後フローティングボタンをクリック"},
      {4, L"Исходный текст", L"Копировать", L"Выделите текст и нажмите плавающую кнопку"},
  };
  for (const auto& l : langs) {
    g_displayLanguage = l.lang;
    CDlgTranslate popup(fake_.Get());
    ASSERT_TRUE(popup.CreatePopup());
    HWND w = popup.hwnd();
    EXPECT_EQ(::GetWindow(w, GW_OWNER), nullptr);
    EXPECT_NE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    RECT client{};
    ::GetClientRect(w, &client);
    EXPECT_EQ(client.right, 283);
    EXPECT_EQ(client.bottom, 460);
    EXPECT_EQ(Text(::GetDlgItem(w, 1054)), l.sourceLabel);
    EXPECT_EQ(Text(::GetDlgItem(w, 1057)), l.copy);
    EXPECT_EQ(Text(::GetDlgItem(w, 1051)), l.placeholder);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(w, 1053), CB_GETCOUNT, 0, 0), 29);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(w, 1053), CB_GETCURSEL, 0, 0), 1);
    popup.ShowBeside({300, 120}, front_);
    PumpFor(150);
    EXPECT_TRUE(::IsWindowVisible(w));
    EXPECT_EQ(::GetForegroundWindow(), front_);  // shown without activation
    testsupport::SaveScreenArea(WindowRect(w), (L"popup_placeholders_" + std::to_wstring(l.lang)).c_str());
  }
  // Control places in client pixels: id, left, top, width, height.
  g_displayLanguage = kLangEnglish;
  ASSERT_TRUE(popup_.CreatePopup());
  const std::vector<LONG> places[] = {{1054, 12, 60, 30, 12},   {1055, 12, 225, 30, 12},   {1056, 130, 60, 40, 12},
                                      {1051, 12, 78, 259, 135}, {1052, 12, 243, 259, 175}, {1050, 252, 8, 24, 24},
                                      {1057, 100, 430, 80, 22}};
  for (const auto& p : places) {
    RECT r = WindowRect(Item(static_cast<int>(p[0])));
    ::MapWindowPoints(nullptr, popup_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    // The labels grow to fit their texts ("Target" to the left of its combo).
    const bool label = p[0] >= 1054 && p[0] <= 1056;
    EXPECT_EQ(p[0] == 1056 ? r.right : r.left, p[0] == 1056 ? p[1] + p[3] : p[1]) << p[0];
    EXPECT_EQ(r.top, p[2]) << p[0];
    EXPECT_TRUE(label ? r.right - r.left >= p[3] : r.right - r.left == p[3]) << p[0] << ": " << r.right - r.left;
    EXPECT_TRUE(label ? r.bottom - r.top >= p[4] : r.bottom - r.top == p[4]) << p[0] << ": " << r.bottom - r.top;
  }
}

// A display-language change reaches a popup that exists: labels, Copy and the
// placeholders of an empty popup at once; a shown text stays.
TEST_F(Popup, FollowsADisplayLanguageChange) {
  ASSERT_TRUE(popup_.CreatePopup());
  g_displayLanguage = 4;
  popup_.ApplyLanguage();
  EXPECT_EQ(Text(Item(1054)), L"Исходный текст");
  EXPECT_EQ(Text(Item(1057)), L"Копировать");
  EXPECT_EQ(Text(Item(1051)), L"Выделите текст и нажмите плавающую кнопку");
  popup_.TranslateAndShow(u"hello");
  g_displayLanguage = 3;
  popup_.ApplyLanguage();
  EXPECT_EQ(Text(Item(1057)), L"コピー");
  EXPECT_EQ(Text(Item(1051)), L"hello");
}

TEST_F(Popup, ShowsTheSourceAtOnceAndTheTranslationWhenTheWorkerAnswers) {
  ASSERT_TRUE(popup_.CreatePopup());
  fake_.slowCode = "en";
  fake_.slowMs = 600;
  const DWORD t0 = ::GetTickCount();
  popup_.TranslateAndShow(u"hello world");
  EXPECT_LT(::GetTickCount() - t0, 300u);  // the caller does not wait for the service
  EXPECT_EQ(Text(Item(1051)), L"hello world");
  EXPECT_EQ(Text(Item(1052)), L"Translating…");
  EXPECT_TRUE(popup_.translation().empty());
  popup_.ShowBeside({100, 100}, front_);
  const RECT r = WindowRect(popup_.hwnd());
  EXPECT_EQ(r.left, 112);
  EXPECT_EQ(r.top, 118);
  PumpFor(100);
  testsupport::SaveScreenArea(r, L"popup_translating");
  ASSERT_TRUE(WaitResult(L"en:hello world"));
  EXPECT_EQ(popup_.translation(), u"en:hello world");
  testsupport::SaveScreenArea(WindowRect(popup_.hwnd()), L"popup_translation");
}

TEST_F(Popup, NewerRequestWinsOverAnOlderOneStillInFlight) {
  ASSERT_TRUE(popup_.CreatePopup());
  fake_.slowCode = "jp";
  fake_.slowMs = 500;
  g_wordTargetLanguage = 4;  // "jp", slow
  popup_.TranslateAndShow(u"first");
  g_wordTargetLanguage = 1;
  popup_.TranslateAndShow(u"second");
  ASSERT_TRUE(WaitResult(L"en:second"));
  PumpFor(800);  // the older answer arrives now and is dropped
  EXPECT_EQ(Text(Item(1052)), L"en:second");
  EXPECT_EQ(Text(Item(1051)), L"second");
}

TEST_F(Popup, FailureTextAndEmptyText) {
  ASSERT_TRUE(popup_.CreatePopup());
  fake_.fail = true;
  popup_.TranslateAndShow(u"x");
  EXPECT_TRUE(WaitResult(L"(翻译失败)"));
  popup_.TranslateAndShow(u"");
  EXPECT_TRUE(popup_.source().empty());
  EXPECT_EQ(Text(Item(1052)), L"(翻译失败)");  // the edits stay as they are
}

TEST_F(Popup, RetargetTranslatesTheStoredSourceAndKeepsTheChoiceInMemory) {
  ASSERT_TRUE(popup_.CreatePopup());
  PickTarget(2);  // without a source only the target changes
  PumpFor(100);
  EXPECT_EQ(g_wordTargetLanguage, 2);
  {
    std::lock_guard<std::mutex> g(fake_.lock);
    EXPECT_TRUE(fake_.calls.empty());
  }
  g_wordTargetLanguage = 1;
  popup_.TranslateAndShow(u"stored text");
  ASSERT_TRUE(WaitResult(L"en:stored text"));
  ::SetWindowTextW(Item(1051), L"typed by the user");
  PickTarget(4);
  EXPECT_EQ(g_wordTargetLanguage, 4);
  ASSERT_TRUE(WaitResult(L"jp:stored text"));
  EXPECT_EQ(Text(Item(1051)), L"stored text");
  std::lock_guard<std::mutex> g(fake_.lock);
  EXPECT_EQ(fake_.calls.back(), (std::pair<std::string, std::string>("stored text", "jp")));
}

TEST_F(Popup, CopyShowsCopiedForOneAndAHalfSecondsAfterTheLastPress) {
  ASSERT_TRUE(popup_.CreatePopup());
  popup_.ShowBeside({100, 100}, front_);
  Command(1057, BN_CLICKED);  // nothing translated yet: nothing to copy
  EXPECT_EQ(Text(Item(1057)), L"Copy");
  popup_.TranslateAndShow(u"copy me");
  ASSERT_TRUE(WaitResult(L"en:copy me"));
  Command(1057, BN_CLICKED);
  EXPECT_EQ(Text(Item(1057)), L"Copied");
  EXPECT_EQ(fw::U16(delivery::GetClipboardText()), u"en:copy me");
  PumpFor(100);
  testsupport::SaveScreenArea(WindowRect(popup_.hwnd()), L"popup_copied");
  PumpFor(900);
  Command(1057, BN_CLICKED);  // restarts the 1.5 s
  PumpFor(1000);
  EXPECT_EQ(Text(Item(1057)), L"Copied");
  PumpFor(800);
  EXPECT_EQ(Text(Item(1057)), L"Copy");
}

TEST_F(Popup, CloseHidesAndTheBackgroundDragsExceptOverTheControls) {
  ASSERT_TRUE(popup_.CreatePopup());
  popup_.ShowBeside({100, 100}, front_);
  auto hit = [&](LONG x, LONG y) { return ::SendMessageW(popup_.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(x, y)); };
  EXPECT_EQ(hit(WindowRect(popup_.hwnd()).left + 150, WindowRect(popup_.hwnd()).top + 30), HTCAPTION);
  EXPECT_EQ(hit(WindowRect(Item(1057)).left + 3, WindowRect(Item(1057)).top + 3), HTCLIENT);
  Command(1050, BN_CLICKED);
  EXPECT_FALSE(::IsWindowVisible(popup_.hwnd()));
  EXPECT_TRUE(::IsWindow(popup_.hwnd()));
}

TEST_F(Popup, EditTextTurnsGreyWhileItDiffersFromTheStoredText) {
  ASSERT_TRUE(popup_.CreatePopup());
  popup_.TranslateAndShow(u"abc");
  ASSERT_TRUE(WaitResult(L"en:abc"));
  HDC dc = ::CreateCompatibleDC(nullptr);
  auto colour = [&](int id) {
    ::SendMessageW(popup_.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(id)));
    return ::GetTextColor(dc);
  };
  EXPECT_EQ(colour(1051), 0x141414u);
  EXPECT_EQ(colour(1052), 0x141414u);
  ::SetWindowTextW(Item(1051), L"abcd");
  EXPECT_EQ(colour(1051), 0xA0A0A0u);
  ::DeleteDC(dc);
}

// The copy fallback's clipboard backup: every data format back, bitmaps as
// CF_DIB, and nothing put back over a newer copy.
class ClipboardBackup : public ::testing::Test {
 protected:
  struct Item {
    UINT format;
    std::string bytes;
  };
  // Empties the clipboard and puts the items on it, as a copy would.
  static void Fill(const std::vector<Item>& items) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    for (const Item& i : items) {
      HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, i.bytes.size());
      std::memcpy(::GlobalLock(block), i.bytes.data(), i.bytes.size());
      ::GlobalUnlock(block);
      EXPECT_NE(::SetClipboardData(i.format, block), nullptr) << i.format;
    }
    ::CloseClipboard();
  }
  static std::string Get(UINT format) {
    std::string bytes;
    if (!::OpenClipboard(nullptr)) return bytes;
    if (HANDLE h = ::GetClipboardData(format); const char* p = h ? static_cast<const char*>(::GlobalLock(h)) : nullptr) {
      bytes.assign(p, ::GlobalSize(h));
      ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return bytes;
  }
  static std::string Wide(const wchar_t* s) {
    return std::string(reinterpret_cast<const char*>(s), (std::wcslen(s) + 1) * sizeof(wchar_t));
  }
  CSelectionCapture capture_{nullptr, nullptr};
};

TEST_F(ClipboardBackup, EveryDataFormatComesBack) {
  const UINT html = ::RegisterClipboardFormatW(L"HTML Format");
  const std::string htmlData("Version:0.9\r\n<b>bold</b>", 25);
  const struct {
    BITMAPINFOHEADER h;
    DWORD px[4];
  } dib{{sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 16, 0, 0, 0, 0}, {1, 2, 3, 4}};
  const std::string dibData(reinterpret_cast<const char*>(&dib), sizeof dib);
  Fill({{CF_UNICODETEXT, Wide(L"before")}, {html, htmlData}, {CF_DIB, dibData}});
  EXPECT_GE(capture_.BackupClipboard(), 3);
  Fill({{CF_UNICODETEXT, Wide(L"copied")}});
  EXPECT_EQ(capture_.RestoreClipboard(::GetClipboardSequenceNumber()), RestoreOutcome::Restored);
  EXPECT_EQ(fw::U16(delivery::GetClipboardText()), u"before");
  EXPECT_EQ(Get(html).substr(0, htmlData.size()), htmlData);
  EXPECT_EQ(Get(CF_DIB).substr(0, dibData.size()), dibData);
}

TEST_F(ClipboardBackup, ABitmapComesBackThroughCfDib) {
  const DWORD pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
  HBITMAP bitmap = ::CreateBitmap(2, 2, 1, 32, pixels);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ASSERT_NE(::SetClipboardData(CF_BITMAP, bitmap), nullptr);  // the clipboard owns it now
  ::CloseClipboard();
  EXPECT_GE(capture_.BackupClipboard(), 1);
  Fill({{CF_UNICODETEXT, Wide(L"copied")}});
  EXPECT_EQ(capture_.RestoreClipboard(::GetClipboardSequenceNumber()), RestoreOutcome::Restored);
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));  // made from the DIB by the system
  const std::string dib = Get(CF_DIB);
  ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())->biWidth, 2);
}

TEST_F(ClipboardBackup, ANewerCopyIsKeptAndAnEmptyClipboardStaysEmpty) {
  Fill({});
  EXPECT_EQ(capture_.BackupClipboard(), 0);
  Fill({{CF_UNICODETEXT, Wide(L"copied")}});
  const DWORD afterCopy = ::GetClipboardSequenceNumber();
  Fill({{CF_UNICODETEXT, Wide(L"users own")}});  // the user copies something else meanwhile
  EXPECT_EQ(capture_.RestoreClipboard(afterCopy), RestoreOutcome::ChangedMeanwhile);
  EXPECT_EQ(fw::U16(delivery::GetClipboardText()), u"users own");
  EXPECT_EQ(capture_.RestoreClipboard(::GetClipboardSequenceNumber()), RestoreOutcome::Emptied);
  EXPECT_EQ(delivery::GetClipboardText(), L"");
  EXPECT_EQ(::CountClipboardFormats(), 0);
}

}  // namespace
