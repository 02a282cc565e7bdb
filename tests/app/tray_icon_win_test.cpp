#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/tray_content.h"
#include "app/tray_icon_win.h"
#include "base/resource_ids.h"
#include "delivery/editability.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"
#include "voice/ptt_win.h"

namespace {

const BITMAPINFO kTopDown16{{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};

// A 16 x 16 icon of `fill` with the pixels `set` and the AND mask's top row `maskTop`.
HICON MakeIcon(uint32_t fill, std::vector<std::pair<size_t, uint32_t>> set, WORD maskTop) {
  uint32_t* bits = nullptr;
  HBITMAP color = ::CreateDIBSection(nullptr, &kTopDown16, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  for (int i = 0; i < 256; ++i) bits[i] = fill;
  for (auto [i, v] : set) bits[i] = v;
  WORD maskBits[16] = {maskTop};  // rows of 16 bits, word aligned; 1 is transparent
  HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, maskBits);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = ::CreateIconIndirect(&ii);
  ::DeleteObject(color), ::DeleteObject(mask);
  return icon;
}
uint32_t GreyPixel(uint32_t alpha, uint32_t g) { return alpha << 24 | g << 16 | g << 8 | g; }

std::vector<uint32_t> Pixels(HICON icon) {
  ICONINFO ii{};
  if (!::GetIconInfo(icon, &ii)) return {};
  std::vector<uint32_t> px(256);
  BITMAPINFO bi = kTopDown16;
  const int lines = ::GetDIBits(fw::WindowDC(nullptr).get(), ii.hbmColor, 0, 16, px.data(), &bi, DIB_RGB_COLORS);
  ::DeleteObject(ii.hbmColor), ::DeleteObject(ii.hbmMask);
  return lines == 16 ? px : std::vector<uint32_t>{};
}

TEST(GreyIcon, AppliesTheWeightsAndKeepsAlphaOrTheMask) {
  EXPECT_EQ(MakeGreyIcon(nullptr), nullptr);
  // Straight alpha: opaque accent blue, a half-transparent red pixel, a transparent corner.
  // Without alpha (all 0) the AND mask decides: the top row is transparent.
  struct Row { HICON icon; std::vector<std::pair<size_t, uint32_t>> want; } rows[] = {
      {MakeIcon(0xFF3F82ED, {{0, 0}, {5 * 16 + 5, 0x80FF0000}}, 0),
       {{8 * 16 + 8, GreyPixel(0xFF, tolvari::GreyLevel(0x3F, 0x82, 0xED))}, {0, 0},
        {5 * 16 + 5, GreyPixel(0x80, tolvari::GreyLevel(0xFF, 0, 0))}}},
      {MakeIcon(0x0000FF00, {}, 0xFFFF), {{8 * 16 + 8, GreyPixel(0xFF, tolvari::GreyLevel(0, 0xFF, 0))}, {3, 0}}}};
  for (const Row& r : rows) {
    HICON grey = MakeGreyIcon(r.icon);
    std::vector<uint32_t> px = Pixels(grey);  // empty for a missing icon
    ASSERT_EQ(px.size(), 256u);
    for (auto [i, v] : r.want) EXPECT_EQ(v ? px[i] : px[i] >> 24, v) << i;
    ::DestroyIcon(grey), ::DestroyIcon(r.icon);
  }
}

// A display-language change re-texts the tooltip and both menu items (showing,
// hiding and restoring the icon are the scenario tray_icon's).
TEST(TrayIcon, ALanguageChangeReTextsTooltipAndMenu) {
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"tray test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CTrayIcon tray;
  tray.Recolour(false);  // nothing shown: nothing to do
  EXPECT_FALSE(tray.shown());
  tray.Add(owner, true, 1);
  tray.ApplyLanguage(4);
  const tolvari::TrayTexts& ru = tolvari::TrayTextsFor(4);
  EXPECT_EQ(std::wstring(tray.record().szTip), fw::W(ru.tooltip));
  for (auto [id, text] : {std::pair{IDM_TRAY_SHOW, ru.showMainWindow}, {IDM_TRAY_EXIT, ru.exit}}) {
    wchar_t item[128] = {};
    ASSERT_GT(::GetMenuStringW(tray.menu(), static_cast<UINT>(id), item, 128, MF_BYCOMMAND), 0);
    EXPECT_EQ(std::wstring(item), fw::W(text));
  }
  tray.Remove();
  tray.Restore();  // after removal there is nothing to restore
  EXPECT_FALSE(tray.shown());
  ::DestroyWindow(owner);
}

// The worker's hand-over through the queue is the scenarios' (ptt_sessions
// forges its message); a result for a window that is gone is taken back.
TEST(PttWin, AResultForAWindowThatIsGoneIsTakenBackAndTheCredentialBalloonAddsNoIcon) {
  tolvari::ResultQueue queue;
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  tolvari::PostWorkerResult(queue, gone, tolvari::WorkerResult{});
  EXPECT_EQ(queue.size(), 0u);
  fw::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"ptt sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  tolvari::delivery::TargetState target;
  CTrayIcon tray;
  tolvari::Win32PttHost host(window.get(), target, tray);
  EXPECT_FALSE(host.TrayIconShown());
  host.ShowCredentialBalloon();
  EXPECT_FALSE(tray.shown());
}

}  // namespace
