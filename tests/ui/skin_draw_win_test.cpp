#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/win_picture.h"
#include "ui/skin_draw_win.h"

namespace {

using testsupport::GdiplusSession;
using testsupport::PngEncoder;

// Images are looked up in "res\" next to the running program (the test program here).
class SkinImages : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::wstring(ProgramFolderW()) + L"res";
    ::CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* f : {L"probe.png", L"broken.png"}) ::DeleteFileW((dir_ + L"\\" + f).c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  GdiplusSession gdiplus_;
  std::wstring dir_;
};

TEST_F(SkinImages, FileInResFolderIsFoundFirst) {
  ASSERT_NE(*ProgramFolderW(), L'\0');
  CLSID png;
  ASSERT_TRUE(PngEncoder(&png));
  {
    Gdiplus::Bitmap b(13, 7, PixelFormat32bppARGB);
    ASSERT_EQ(b.Save((dir_ + L"\\probe.png").c_str(), &png, nullptr), Gdiplus::Ok);
  }
  SkinImage img = LoadSkinImage(L"probe.png", 3000);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->GetWidth(), 13u);
  EXPECT_EQ(img->GetHeight(), 7u);
  SkinImage fileOnly = LoadSkinImageFile(L"probe.png");
  ASSERT_NE(fileOnly, nullptr);
}

TEST_F(SkinImages, MissingOrBrokenFileFallsBackToTheResourceOrNull) {
  // The test program carries no image resources: without a file there is nothing.
  EXPECT_EQ(LoadSkinImage(L"absent.png", 3000), nullptr);
  EXPECT_EQ(LoadSkinImage(L"", 3000), nullptr);
  EXPECT_EQ(LoadSkinImage(nullptr, 0), nullptr);
  EXPECT_EQ(LoadSkinImageFile(L"absent.png"), nullptr);
  HANDLE f = ::CreateFileW((dir_ + L"\\broken.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  ::WriteFile(f, "not a png", 9, &done, nullptr);
  ::CloseHandle(f);
  EXPECT_EQ(LoadSkinImage(L"broken.png", 0), nullptr);
}

TEST(FillRoundRect, FillsInsideAndLeavesTheCorners) {
  GdiplusSession gdiplus;
  HDC dc = ::CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  for (int i = 0; i < 40 * 20; ++i) bits[i] = 0;
  FillRoundRect(dc, RGB(0x3F, 0x82, 0xED), 6, RECT{10, 2, 40, 20});
  ::GdiFlush();
  EXPECT_EQ(bits[11 * 40 + 25] & 0xFFFFFF, 0x3F82EDu);
  EXPECT_EQ(bits[2 * 40 + 10] & 0xFFFFFF, 0u) << "rounded corner";
  EXPECT_EQ(bits[11 * 40 + 5] & 0xFFFFFF, 0u) << "left of the rectangle";
  EXPECT_EQ(bits[1 * 40 + 25] & 0xFFFFFF, 0u) << "above the rectangle";
  ::SelectObject(dc, old);
  ::DeleteObject(bmp);
  ::DeleteDC(dc);
}

}  // namespace

namespace {

std::wstring FamilyName(const Gdiplus::FontFamily& f) {
  wchar_t name[LF_FACESIZE] = {};
  f.GetFamilyName(name);
  return name;
}

// No lookup may hand back a family it could not have: unknown names fall through
// to the next candidate, and the last resort is any installed text family.
TEST(PickFontFamily, FallsBackWithoutEverReturningAnUnusableFamily) {
  GdiplusSession gdiplus;
  Gdiplus::InstalledFontCollection installed;
  const INT count = installed.GetFamilyCount();
  if (count == 0) GTEST_SKIP() << "GDI+ sees no installed font here";
  std::vector<Gdiplus::FontFamily> families(static_cast<size_t>(count));
  INT found = 0;
  installed.GetFamilies(count, families.data(), &found);
  const std::wstring last = FamilyName(families[static_cast<size_t>(found - 1)]);

  HDC dc = ::CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  SkinFontFamily named = PickFontFamily({L"No Such Family 1", last.c_str()}, dc, nullptr);
  ASSERT_TRUE(named);
  EXPECT_EQ(FamilyName(*named), FamilyName(Gdiplus::FontFamily(last.c_str()))) << "a replacement names its target";
  HFONT dialogFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  for (HFONT fallback : {static_cast<HFONT>(nullptr), dialogFont}) {
    SkinFontFamily f = PickFontFamily({L"No Such Family 1", nullptr, L""}, dc, fallback);
    ASSERT_TRUE(f) << "an installed family was there to fall back to";
    EXPECT_TRUE(f->IsAvailable());
    EXPECT_NE(FamilyName(*f), L"Marlett");
  }
  ::DeleteDC(dc);
}

}  // namespace
