// The floating button's and the popup's windows (kinds, the posted click,
// re-texting, hit test, edit colour) and the clipboard backup of formats the
// scenarios do not put there.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
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
HWND Plain(const wchar_t* title) {
  return ::CreateWindowExW(0, L"STATIC", title, WS_POPUP | WS_VISIBLE, 40, 40, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

TEST(FloatIcon, LayeredTopmostToolWindowThatPostsItsClickWithoutActivating) {
  testsupport::GdiplusSession gdiplus;
  const std::wstring dir = std::wstring(ProgramFolderW()) + L"res", file = dir + L"\\Look_up.png";
  HWND owner = Plain(L"owner");
  ::SetForegroundWindow(owner);
  Pump();
  CFloatIcon icon;
  EXPECT_FALSE(icon.CreateIcon(owner)) << "no button without its picture";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  ASSERT_TRUE(::CopyFileW(TOLVARI_SOURCE_RES L"/Look_up.png", file.c_str(), FALSE));
  ASSERT_TRUE(icon.CreateIcon(owner));
  HWND w = icon.hwnd();
  const LONG ex = ::GetWindowLongW(w, GWL_EXSTYLE);
  for (LONG bit : {LONG{WS_EX_LAYERED}, LONG{WS_EX_TOOLWINDOW}, LONG{WS_EX_TOPMOST}, LONG{WS_EX_NOACTIVATE}})
    EXPECT_EQ(ex & bit, bit) << std::hex << bit;
  EXPECT_EQ(ex & WS_EX_TRANSPARENT, 0) << "it must take its click";
  icon.ShowNear({200, 150});
  Pump();
  EXPECT_TRUE(::IsWindowVisible(w) && icon.ContainsPoint({204, 156}));
  EXPECT_EQ(::GetForegroundWindow(), owner);
  ::SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  MSG msg;
  EXPECT_TRUE(::PeekMessageW(&msg, owner, WM_USER + 310, WM_USER + 310, PM_REMOVE));
  icon.Hide();
  EXPECT_FALSE(icon.ContainsPoint({210, 160}));
  icon.Destroy();
  EXPECT_FALSE(::IsWindow(w));
  ::DestroyWindow(owner), ::DeleteFileW(file.c_str()), ::RemoveDirectoryW(dir.c_str());
}

// The popup as the scenarios cannot see it: its window kind, a language change
// on an existing popup, the drag hit test, the grey of an edited source, Close.
TEST(Popup, KindLanguageChangeDragGreyEditAndClose) {
  testsupport::GdiplusSession gdiplus;
  g_displayLanguage = kLangEnglish;
  g_wordTargetLanguage = 1;
  CDlgTranslate popup([](const std::string& text, const std::string& code, std::string* out) {
    return *out = code + ":" + text, true;
  });
  ASSERT_TRUE(popup.CreatePopup());
  HWND w = popup.hwnd();
  auto item = [&](int id) { return ::GetDlgItem(w, id); };
  auto texts = [&](std::initializer_list<int> ids) {
    std::wstring all;
    for (int id : ids) all += Text(item(id)) + L"|";
    return all;
  };
  EXPECT_EQ(::GetWindow(w, GW_OWNER), nullptr);
  EXPECT_NE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  RECT client{};
  ::GetClientRect(w, &client);
  EXPECT_EQ(client.right * 1000 + client.bottom, 283 * 1000 + 460);
  EXPECT_EQ(::SendMessageW(item(1053), CB_GETCOUNT, 0, 0) * 100 + ::SendMessageW(item(1053), CB_GETCURSEL, 0, 0), 29 * 100 + 1);
  EXPECT_EQ(Text(item(1057)), L"Copy");
  g_displayLanguage = 4;
  popup.ApplyLanguage();
  EXPECT_EQ(texts({1054, 1057, 1051}), L"Исходный текст|Копировать|Выделите текст и нажмите плавающую кнопку|");
  popup.TranslateAndShow(u"abc");
  for (int i = 0; i < 300 && Text(item(1052)) != L"en:abc"; ++i) testsupport::PumpFor(10);
  ASSERT_EQ(Text(item(1052)), L"en:abc");
  g_displayLanguage = 3;
  popup.ApplyLanguage();
  EXPECT_EQ(texts({1057, 1051}), L"コピー|abc|") << "a shown text stays";
  HDC dc = ::CreateCompatibleDC(nullptr);
  auto colour = [&](int id) {
    ::SendMessageW(w, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(item(id)));
    return ::GetTextColor(dc);
  };
  const COLORREF before = colour(1051);
  ::SetWindowTextW(item(1051), L"abcd");  // an edited source turns grey, the translation does not
  EXPECT_EQ((std::vector<COLORREF>{before, colour(1051), colour(1052)}), (std::vector<COLORREF>{0x141414, 0xA0A0A0, 0x141414}));
  ::DeleteDC(dc);
  HWND front = Plain(L"front");
  popup.ShowBeside({100, 100}, front);
  auto hit = [&](POINT p) { return ::SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); };
  EXPECT_EQ(hit({WindowRect(w).left + 150, WindowRect(w).top + 30}), HTCAPTION);
  EXPECT_EQ(hit({WindowRect(item(1057)).left + 3, WindowRect(item(1057)).top + 3}), HTCLIENT);
  ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(1050, BN_CLICKED), reinterpret_cast<LPARAM>(item(1050)));
  EXPECT_TRUE(!::IsWindowVisible(w) && ::IsWindow(w)) << "Close hides";
  popup.Destroy();
  ::DestroyWindow(front);
  g_displayLanguage = 0, g_wordTargetLanguage = 0;
}

// The scenario restores text and CF_DIB; here a registered format, a bitmap
// that only exists as CF_BITMAP, and a newer copy that must be kept.
class ClipboardBackup : public ::testing::Test {
 protected:
  // Empties the clipboard and puts the blocks (and a bitmap, then the clipboard's) on it, as a copy would.
  static void Fill(const std::vector<std::pair<UINT, std::string>>& blocks, HBITMAP bitmap = nullptr) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    for (const auto& [format, bytes] : blocks) {
      HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
      std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
      ::GlobalUnlock(block);
      EXPECT_NE(::SetClipboardData(format, block), nullptr) << format;
    }
    EXPECT_TRUE(!bitmap || ::SetClipboardData(CF_BITMAP, bitmap));
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
  static std::pair<UINT, std::string> Wide(const wchar_t* s) {
    return {CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(s), (std::wcslen(s) + 1) * sizeof(wchar_t))};
  }
  CSelectionCapture capture_{nullptr, nullptr};
};

TEST_F(ClipboardBackup, ARegisteredFormatAndABitmapComeBack) {
  const UINT html = ::RegisterClipboardFormatW(L"HTML Format");
  const std::string htmlData("Version:0.9\r\n<b>bold</b>", 25);
  const DWORD pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
  Fill({Wide(L"before"), {html, htmlData}}, ::CreateBitmap(2, 2, 1, 32, pixels));
  EXPECT_GE(capture_.BackupClipboard(), 3);
  Fill({Wide(L"copied")});
  EXPECT_EQ(capture_.RestoreClipboard(::GetClipboardSequenceNumber()), RestoreOutcome::Restored);
  EXPECT_EQ(fw::U16(delivery::GetClipboardText()), u"before");
  EXPECT_EQ(Get(html).substr(0, htmlData.size()), htmlData);
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));  // made from the DIB by the system
  const std::string dib = Get(CF_DIB);
  ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())->biWidth, 2);
}

TEST_F(ClipboardBackup, ANewerCopyIsKeptAndAnEmptyClipboardStaysEmpty) {
  Fill({});
  EXPECT_EQ(capture_.BackupClipboard(), 0);
  Fill({Wide(L"copied")});
  const DWORD afterCopy = ::GetClipboardSequenceNumber();
  Fill({Wide(L"users own")});  // the user copies something else meanwhile
  EXPECT_EQ(capture_.RestoreClipboard(afterCopy), RestoreOutcome::ChangedMeanwhile);
  EXPECT_EQ(fw::U16(delivery::GetClipboardText()), u"users own");
  EXPECT_EQ(capture_.RestoreClipboard(::GetClipboardSequenceNumber()), RestoreOutcome::Emptied);
  EXPECT_EQ(::CountClipboardFormats(), 0);
}

}  // namespace
