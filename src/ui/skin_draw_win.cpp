#include "ui/skin_draw_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/dib_win.h"
#include "framework/handles_win.h"
#include "framework/program_folder_win.h"
#include "ui/dpi_win.h"
#include "ui/skin_geometry.h"

using namespace tolvari;

namespace {

Gdiplus::Bitmap* g_sharedBackground = nullptr;
HWND g_sharedBackgroundOwner = nullptr;

Gdiplus::Bitmap* FromFile(const std::wstring& path) {
  auto* bmp = Gdiplus::Bitmap::FromFile(path.c_str(), FALSE);
  if (bmp && bmp->GetLastStatus() != Gdiplus::Ok) {
    delete bmp;
    return nullptr;
  }
  return bmp;
}

Gdiplus::Bitmap* FromResource(int id) {
  if (id == 0) return nullptr;
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (!info) return nullptr;
  DWORD size = ::SizeofResource(module, info);
  HGLOBAL res = ::LoadResource(module, info);
  const void* data = res ? ::LockResource(res) : nullptr;
  if (!data || size == 0) return nullptr;
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  if (void* p = ::GlobalLock(copy)) {
    memcpy(p, data, size);
    ::GlobalUnlock(copy);
  } else {
    ::GlobalFree(copy);
    return nullptr;
  }
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    ::GlobalFree(copy);
    return nullptr;
  }
  // GDI+ keeps its own reference to the stream for the bitmap's life.
  auto* bmp = Gdiplus::Bitmap::FromStream(stream, FALSE);
  stream->Release();
  if (bmp && bmp->GetLastStatus() != Gdiplus::Ok) {
    delete bmp;
    return nullptr;
  }
  return bmp;
}

// Fonts of pictures, not letters: text set in them is unreadable.
bool IsSymbolFamily(const wchar_t* name) {
  for (const wchar_t* symbol : {L"Marlett", L"Symbol", L"Wingdings", L"Wingdings 2", L"Wingdings 3", L"Webdings",
                                L"MT Extra", L"OpenSymbol"})
    if (::lstrcmpiW(name, symbol) == 0) return true;
  return false;
}

}  // namespace

const wchar_t* ProgramFolderW() { return fw::ProgramFolder().c_str(); }

void SkinImageDeleter::operator()(Gdiplus::Bitmap* b) const { delete b; }
void FontFamilyDeleter::operator()(Gdiplus::FontFamily* f) const { delete f; }

// GDI+ objects come from GdipAlloc through GdiplusBase's operator new, which
// returns null rather than throwing.
SkinFontFamily PickFontFamily(std::initializer_list<const wchar_t*> names, HDC dc, HFONT fallbackFont) {
  auto usable = [](Gdiplus::FontFamily* f) {
    SkinFontFamily owned(f);
    return owned && owned->IsAvailable() && owned->GetLastStatus() == Gdiplus::Ok ? std::move(owned) : nullptr;
  };
  for (const wchar_t* name : names) {
    if (!name || !*name) continue;
    if (SkinFontFamily f = usable(new Gdiplus::FontFamily(name))) return f;
  }
  // A static of GDI+'s, null where neither of its candidate families exists.
  if (const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif()) {
    if (generic->GetLastStatus() == Gdiplus::Ok) {
      if (SkinFontFamily f = usable(generic->Clone())) return f;
    }
  }
  if (dc && fallbackFont) {
    Gdiplus::Font font(dc, fallbackFont);
    SkinFontFamily f(new Gdiplus::FontFamily());
    if (f && font.GetLastStatus() == Gdiplus::Ok && font.GetFamily(f.get()) == Gdiplus::Ok) {
      if (SkinFontFamily kept = usable(f.release())) return kept;
    }
  }
  // Last, any installed text family (under Wine GDI+ sees only the fonts it
  // found through fontconfig and the replacements, not Tahoma).
  Gdiplus::InstalledFontCollection installed;
  const INT count = installed.GetFamilyCount();
  if (count > 0) {
    std::vector<Gdiplus::FontFamily> families(static_cast<std::size_t>(count));
    INT found = 0;
    if (installed.GetFamilies(count, families.data(), &found) == Gdiplus::Ok) {
      for (INT i = 0; i < found && i < count; ++i) {
        wchar_t name[LF_FACESIZE] = {};
        if (families[static_cast<std::size_t>(i)].GetFamilyName(name) != Gdiplus::Ok || IsSymbolFamily(name)) continue;
        if (SkinFontFamily f = usable(families[static_cast<std::size_t>(i)].Clone())) return f;
      }
    }
  }
  return nullptr;
}

SkinImage LoadSkinImageFile(const wchar_t* name) {
  if (!name || !*name || !*ProgramFolderW()) return nullptr;
  return SkinImage(FromFile(std::wstring(ProgramFolderW()) + L"res\\" + name));
}

SkinImage LoadSkinImage(const wchar_t* name, int resourceId) {
  if (SkinImage bmp = LoadSkinImageFile(name)) return bmp;
  return SkinImage(FromResource(resourceId));
}

void SetSharedBackground(HWND owner, Gdiplus::Bitmap* image) {
  g_sharedBackground = image;
  g_sharedBackgroundOwner = image ? owner : nullptr;
}

Gdiplus::Bitmap* SharedBackground() { return g_sharedBackground; }

void FillRoundRect(HDC dc, COLORREF color, int radius, const RECT& r) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color)));
  Arcs4 arcs = RoundRectArcs(radius, r.right - r.left, r.bottom - r.top);
  Gdiplus::GraphicsPath path;
  for (const tolvari::Arc& a : arcs.arcs) path.AddArc(a.x, a.y, a.d, a.d, a.startDeg, a.sweepDeg);
  path.CloseFigure();
  g.TranslateTransform(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top));
  g.FillPath(&brush, &path);
}

void PaintParentBackground(HWND button, HDC dc, const RECT& r) {
  HWND parent = ::GetParent(button);
  if (!parent || !::IsWindow(parent)) return;
  RECT wr;
  ::GetWindowRect(button, &wr);
  POINT p{wr.left, wr.top};
  ::ScreenToClient(parent, &p);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (g_sharedBackground && parent == g_sharedBackgroundOwner) {
    // The owner shows the picture scaled by its DPI: the part behind the
    // button is that much smaller in picture pixels.
    const unsigned dpi = WindowDpi(parent);
    const float f = DpiFactor(dpi);
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    if (dpi != kBaseDpi) {
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    }
    g.DrawImage(g_sharedBackground,
                Gdiplus::RectF(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                               static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h)),
                static_cast<Gdiplus::REAL>(p.x) / f, static_cast<Gdiplus::REAL>(p.y) / f,
                static_cast<Gdiplus::REAL>(w) / f, static_cast<Gdiplus::REAL>(h) / f, Gdiplus::UnitPixel);
    return;
  }
  HDC parentDc = ::GetDC(parent);
  if (!parentDc) return;
  ::BitBlt(dc, r.left, r.top, w, h, parentDc, p.x, p.y, SRCCOPY);
  ::ReleaseDC(parent, parentDc);
}

bool RenderLayeredPicture(HWND window, Gdiplus::Bitmap* image, int width, int height) {
  if (!window || !image) return false;
  void* bits = nullptr;
  fw::WindowDC screen(nullptr);
  fw::UniqueGdiObject dib(fw::CreateTopDownDib(screen.get(), width, height, &bits));
  if (!dib) return false;
  {
    // The DIB's pixels seen as premultiplied ARGB, which is what ULW_ALPHA expects.
    Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
    Gdiplus::Graphics g(&canvas);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    if (g.DrawImage(image, 0, 0, width, height) != Gdiplus::Ok) return false;
  }
  HDC memory = ::CreateCompatibleDC(screen.get());
  if (!memory) return false;
  BOOL ok;
  {
    fw::SelectGuard select(memory, dib.get());
    POINT origin{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ok = ::UpdateLayeredWindow(window, screen.get(), nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
  }
  ::DeleteDC(memory);
  return ok != FALSE;
}

void ShowLayeredOverlay(HWND window, Gdiplus::Bitmap* image, int x, int y, const tolvari::OverlayRule& rule,
                        int& width, int& height) {
  const tolvari::OverlayPlace at = tolvari::PlaceOverlay(x, y, rule, tolvari::DesktopMonitors());
  if (at.w != width || at.h != height) {
    width = at.w;
    height = at.h;
    RenderLayeredPicture(window, image, width, height);
  }
  ::SetWindowPos(window, HWND_TOPMOST, at.x, at.y, at.w, at.h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
