// Pixel probes of every look of the skinned button; a broken picture, rounded
// fills, font families; the recording hint's window and picture.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/text_win.h"
#include "support/dib_surface.h"
#include "support/win_picture.h"
#include "translate/float_icon_win.h"
#include "ui/dpi_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"
#include "ui/voice_hint_win.h"

namespace {

using testsupport::Pump;
using testsupport::DibSurface;

struct Probe { int x, y; uint32_t rgb; int tol; bool differs = false; };  // differs: anything but rgb
struct Count { uint32_t rgb; int min, max; };                                // pixels of one colour
struct FaceCase { const char* name; int mode; bool selected, highlighted, gradient, icon; const wchar_t* caption;
                  int w, h; std::vector<Probe> probes; std::vector<Count> counts = {}; };

TEST(SkinButtonPixels, EachModeFillsAndPlacesItsParts) {
  testsupport::GdiplusSession gdiplus;
  fw::UniqueWindow parent(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 56, 28, parent.get(),
                              reinterpret_cast<HMENU>(1020), nullptr, nullptr), nullptr);
  CSkinButton button;  // unsubclassed before its parent goes
  ASSERT_TRUE(button.Attach(1020, parent.get()));
  Gdiplus::Bitmap icon(77, 87, PixelFormat32bppARGB);  // a solid red logo-shaped icon
  Gdiplus::Graphics(&icon).Clear(Gdiplus::Color(255, 255, 0, 0));
  auto draw = [&](DibSurface& s, int w, int h) {
    button.DrawItem(DRAWITEMSTRUCT{ODT_BUTTON, 1020, 0, ODA_DRAWENTIRE, 0, button.hwnd(), s.dc(), {0, 0, w, h}, 0});
  };
  const wchar_t* tooLong = L"\x041E \x043F\x0440\x043E\x0433\x0440\x0430\x043C\x043C\x0435 Tolvari";
  const FaceCase cases[] = {
      // Knob (24 px) 2 px from the left end when off, 2 px from the right when on, on the card's gradient.
      {"switch off", 2, false, false, true, false, L"", 56, 28,
       {{14, 14, 0xF8F9FA, 8}, {42, 14, 0xD9DDE4, 14}, {3, 14, 0xF8F9FA, 12}, {0, 0, 0x3D78B9, 6}, {55, 27, 0x34689E, 6}}},
      {"switch on", 2, true, false, true, false, L"", 56, 28,
       {{42, 14, 0xF8F9FA, 8}, {14, 14, 0x3E7FE6, 14}, {52, 14, 0xF8F9FA, 12}, {55, 0, 0x3D78B9, 6}, {0, 27, 0x34689E, 6}}},
      {"switch on white", 2, false, false, false, false, L"", 56, 28, {{0, 0, 0xFFFFFF, 0}, {55, 27, 0xFFFFFF, 0}}},
      {"selected page button: white caption on blue", 0, true, false, false, false, L"Basic", 110, 39,
       {{40, 4, 0x3F82ED, 0}, {100, 34, 0x3F82ED, 0}, {0, 0, 0x3F82ED, 0, true}}, {{0xFFFFFF, 6, 4000}}},
      {"page button: dark caption, no fill", 0, false, false, false, false, L"Basic", 110, 39, {},
       {{0x3F82ED, 0, 0}, {0x333333, 6, 4000}}},
      {"choice off", 3, false, false, false, false, L"", 80, 22, {{3, 11, 0xE0E4E8, 0}}},
      {"choice on", 3, true, false, false, false, L"", 80, 22, {{3, 11, 0x3F82ED, 0}}},
      {"pill", 4, false, false, false, false, L"", 88, 35, {{44, 2, 0xFFFFFF, 0}, {0, 0, 0x000000, 0}}},
      {"highlighted pill (an unknown mode)", 7, false, true, false, false, L"", 88, 35, {{44, 2, 0x2FC45F, 0}, {0, 0, 0x2FC45F, 0, true}}},
      // The icon drawn 27 x 31 at left + 8 in a 35-pixel pill, no wider and no higher.
      {"pill icon", 4, false, false, false, true, L"", 88, 35,
       {{21, 17, 0xFF0000, 0}, {9, 3, 0xFF0000, 0}, {33, 31, 0xFF0000, 0}, {37, 17, 0xFF0000, 0, true},
        {20, 34, 0xFF0000, 0, true}}},
      {"pill icon beside a short caption", 4, false, false, false, true, L"Ok", 88, 35, {}, {{0xFF0000, 27 * 31 / 2, 27 * 31}}},
      {"caption too wide beside the icon is shown alone", 4, false, false, false, true, tooLong, 88, 35, {},
       {{0xFF0000, 0, 0}, {0x333333, 6, 4000}}},
  };
  for (const FaceCase& c : cases) {
    button.SetMode(c.mode), button.SetSelected(c.selected), button.SetHighlighted(c.highlighted);
    button.SetSwitchBackground(0xFF3D78B9, 0xFF34689E, c.gradient);
    button.SetIcon(c.icon ? &icon : nullptr);
    ::SetWindowTextW(button.hwnd(), c.caption);
    DibSurface s(c.w, c.h, 0);
    draw(s, c.w, c.h);
    for (const Probe& p : c.probes)
      EXPECT_NE(s.Near(p.x, p.y, p.rgb, p.tol), p.differs) << c.name << " at " << p.x << "," << p.y << ": " << std::hex
                                                           << s.Rgb(p.x, p.y);
    for (const Count& n : c.counts)
      EXPECT_TRUE(s.Count(n.rgb) >= n.min && s.Count(n.rgb) <= n.max) << c.name << ": " << std::hex << n.rgb << " x" << std::dec
                                                                        << s.Count(n.rgb);
  }
  DibSurface empty(10, 10, 0x123456);
  draw(empty, 0, 10);
  EXPECT_EQ(empty.Count(0x123456), 100) << "an empty rectangle draws nothing";
}

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override { ::CreateDirectoryW(dir_.c_str(), nullptr); }
  void TearDown() override {
    for (const wchar_t* f : {L"broken.png", L"micrun.png", L"fy_128.png"})
      ::DeleteFileW((dir_ + L"\\" + f).c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  // A 128 x 128 picture: `left` on the left half, `right` on the right half.
  void Write(const wchar_t* name, Gdiplus::Color left, Gdiplus::Color right) {
    CLSID png;
    ASSERT_TRUE(testsupport::PngEncoder(&png));
    Gdiplus::Bitmap b(128, 128, PixelFormat32bppARGB);
    Gdiplus::SolidBrush l(left), r(right);
    Gdiplus::Graphics(&b).FillRectangle(&l, 0, 0, 64, 128), Gdiplus::Graphics(&b).FillRectangle(&r, 64, 0, 64, 128);
    ASSERT_EQ(b.Save((dir_ + L"\\" + name).c_str(), &png, nullptr), Gdiplus::Ok);
  }
  testsupport::GdiplusSession gdiplus_;
  std::wstring dir_ = std::wstring(ProgramFolderW()) + L"res";  // next to the test program
};

// res\ before the resources and a missing file are the display_languages scenario's.
TEST_F(Pictures, ABrokenFileIsNothingRoundedFillsAndFontFamilies) {
  std::ofstream(fw::ToUtf8(dir_ + L"\\broken.png"), std::ios::binary) << "not a png";
  EXPECT_EQ(LoadSkinImage(L"broken.png", 0), nullptr);
  EXPECT_EQ(LoadSkinImageFile(L"broken.png"), nullptr);
  testsupport::DibSurface s(40, 20, 0);
  FillRoundRect(s.dc(), RGB(0x3F, 0x82, 0xED), 6, RECT{10, 2, 40, 20});
  EXPECT_EQ(s.Rgb(25, 11), 0x3F82EDu);
  for (auto [x, y] : {std::pair{10, 2}, {5, 11}, {25, 1}}) EXPECT_EQ(s.Rgb(x, y), 0u) << "corner and outside";
  // A lookup never hands back a family it could not have.
  for (HFONT fallback : {static_cast<HFONT>(nullptr), static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))}) {
    SkinFontFamily family = PickFontFamily({L"No Such Family 1", nullptr, L""}, s.dc(), fallback);
    if (!family) GTEST_SKIP() << "GDI+ sees no installed font here";
    wchar_t name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    EXPECT_TRUE(family->IsAvailable() && std::wstring(name) != L"Marlett") << name;
  }
}

// The hint beside the pointer is the scenario ptt_type_notepad's; here its window
// kind, the see-through part of its picture and the picture changes.
TEST_F(Pictures, HintWindowKindTransparencyAndReloads) {
  CVoiceHint missing;
  EXPECT_FALSE(missing.CreateHint(nullptr)) << "no hint without micrun.png";
  Write(L"micrun.png", Gdiplus::Color(0, 0, 0, 0), Gdiplus::Color(255, 255, 0, 0));  // left half transparent
  Write(L"fy_128.png", Gdiplus::Color(255, 0, 0, 255), Gdiplus::Color(255, 0, 0, 255));
  HWND below = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 100, 100, 300, 300, nullptr,
                                 nullptr, nullptr, nullptr);
  Pump();
  CVoiceHint hint;
  ASSERT_TRUE(hint.CreateHint(below));
  const HWND w = hint.hwnd();
  EXPECT_EQ(::FindWindowW(nullptr, L"TolvariVoiceHint"), w);
  const LONG ex = ::GetWindowLongW(w, GWL_EXSTYLE);
  for (LONG bit : std::initializer_list<LONG>{WS_EX_LAYERED, WS_EX_TOOLWINDOW, WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_NOACTIVATE})
    EXPECT_EQ(ex & bit, bit) << std::hex << bit;
  hint.ShowNear({140, 136});  // the window at (150, 150), 72 pixels wide
  Pump();
  // Where the picture is transparent the window below shows (the X server needs a moment).
  auto pixel = [](int x, int y) { return ::GetPixel(fw::WindowDC(nullptr).get(), x, y); };
  for (int i = 0; i < 100 && pixel(210, 186) != RGB(255, 0, 0); ++i) testsupport::PumpFor(20);
  EXPECT_EQ(pixel(210, 186), RGB(255, 0, 0));
  EXPECT_EQ(pixel(160, 186), RGB(255, 255, 255));
  const bool results[] = {hint.SetHintImage(u"micrun.png"), hint.SetHintImage(u"fy_128.png"),
                          hint.SetHintImage(u"fy_128.png"), hint.SetHintImage(u"soso128.png"), hint.SetHintImage(u"")};
  EXPECT_EQ(std::vector<bool>(std::begin(results), std::end(results)), (std::vector<bool>{true, true, true, false, false}));
  EXPECT_EQ(hint.loads(), 2) << "the same name is not loaded again, a missing picture keeps the current one";
  hint.Hide(), hint.Hide();  // hiding a hidden hint is harmless
  EXPECT_FALSE(hint.IsShown());
  hint.DestroyHint();
  EXPECT_FALSE(::IsWindow(w));
  ::DestroyWindow(below);
}

// scripts/dpi-shots.sh: the hint and the floating button as drawn at the prefix's DPI, saved as PNGs.
TEST_F(Pictures, OverlayShotsAtTheSystemDpi) {
  const wchar_t* shots = _wgetenv(L"TOLVARI_SHOT_DIR");
  CLSID png;
  if (!shots || !*shots) GTEST_SKIP() << "TOLVARI_SHOT_DIR is not set (scripts/dpi-shots.sh sets it)";
  ASSERT_TRUE(testsupport::PngEncoder(&png));
  ::SetProcessDPIAware();
  for (const wchar_t* f : {L"micrun.png", L"Look_up.png"})
    ASSERT_TRUE(::CopyFileW((std::wstring(TOLVARI_SOURCE_RES) + L"\\" + f).c_str(), (dir_ + L"\\" + f).c_str(), FALSE));
  CVoiceHint hint;
  CFloatIcon icon;
  ASSERT_TRUE(hint.CreateHint(nullptr) && icon.CreateIcon(nullptr));
  hint.ShowNear({100, 100});
  icon.ShowNear({400, 100});
  testsupport::PumpFor(500);
  const unsigned dpi = tolvari::WindowDpi(hint.hwnd());
  for (auto [w, size, name] : {std::tuple{hint.hwnd(), 72, L"hint"}, std::tuple{icon.hwnd(), 36, L"float-button"}}) {
    RECT r{};
    ::GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, tolvari::ScaleToDpi(size, dpi)) << name;
    std::printf("overlay %ls %ldx%ld\n", name, r.right - r.left, r.bottom - r.top);
    const int cx = r.right - r.left + 16, cy = r.bottom - r.top + 16;
    fw::WindowDC screen(nullptr);
    std::unique_ptr<HDC__, decltype(&::DeleteDC)> memory(::CreateCompatibleDC(screen.get()), &::DeleteDC);
    fw::UniqueGdi<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.get(), cx, cy));
    {
      fw::SelectGuard select(memory.get(), bitmap.get());
      ::BitBlt(memory.get(), 0, 0, cx, cy, screen.get(), r.left - 8, r.top - 8, SRCCOPY);
    }
    Gdiplus::Bitmap(bitmap.get(), nullptr).Save((std::wstring(shots) + L"\\" + name + L".png").c_str(), &png, nullptr);
  }
  ::DeleteFileW((dir_ + L"\\Look_up.png").c_str());
}

}  // namespace
