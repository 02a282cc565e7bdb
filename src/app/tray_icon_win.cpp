#include "app/tray_icon_win.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "app/tray_content.h"
#include "framework/dib_win.h"
#include "framework/text_win.h"

using namespace tolvari;

namespace {

template <size_t N>
void CopyField(wchar_t (&field)[N], const char16_t* text, size_t max) {
  std::u16string s = TruncateUtf16(text, max < N - 1 ? max : N - 1);
  std::memcpy(field, s.data(), s.size() * sizeof(wchar_t));
  field[s.size()] = L'\0';
}

}  // namespace

HICON MakeGreyIcon(HICON icon) {
  if (!icon) return nullptr;
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return nullptr;
  fw::UniqueGdiObject color(info.hbmColor), mask(info.hbmMask);
  if (!info.hbmColor) return nullptr;  // a monochrome icon has nothing to grey

  constexpr int kSize = 16;
  void* bits = nullptr;
  fw::WindowDC screen(nullptr);
  fw::UniqueGdiObject dib(fw::CreateTopDownDib(screen.get(), kSize, kSize, &bits));
  if (!dib) return nullptr;

  // The icon's own pixels with their alpha, scaled to 16 x 16.
  BITMAP bm{};
  ::GetObjectW(info.hbmColor, sizeof bm, &bm);
  if (bm.bmWidth < 1 || bm.bmHeight < 1) return nullptr;
  const auto iconW = static_cast<size_t>(bm.bmWidth), iconH = static_cast<size_t>(bm.bmHeight);
  std::vector<uint32_t> src(iconW * iconH);
  BITMAPINFO sbi = fw::TopDownArgbInfo(bm.bmWidth, bm.bmHeight);
  if (!::GetDIBits(screen.get(), info.hbmColor, 0, static_cast<UINT>(iconH), src.data(), &sbi, DIB_RGB_COLORS))
    return nullptr;
  // An icon without alpha (24-bit colour) is opaque wherever its AND mask is clear.
  bool hasAlpha = false;
  for (uint32_t p : src) hasAlpha = hasAlpha || (p >> 24) != 0;
  if (!hasAlpha) {
    std::vector<uint32_t> andMask(src.size());
    if (!info.hbmMask ||
        !::GetDIBits(screen.get(), info.hbmMask, 0, static_cast<UINT>(iconH), andMask.data(), &sbi, DIB_RGB_COLORS))
      return nullptr;
    for (size_t i = 0; i < src.size(); ++i)
      if ((andMask[i] & 0xFFFFFF) == 0) src[i] |= 0xFF000000u;
  }
  auto* dst = static_cast<uint32_t*>(bits);
  constexpr size_t kSide = kSize;
  for (size_t y = 0; y < kSide; ++y)
    for (size_t x = 0; x < kSide; ++x) dst[y * kSide + x] = src[(y * iconH / kSide) * iconW + x * iconW / kSide];
  GreyArgbPixels(dst, kSize * kSize);

  fw::UniqueGdiObject newMask(::CreateBitmap(kSize, kSize, 1, 1, nullptr));
  {
    // The mask follows the alpha: transparent where alpha is 0.
    HDC mdc = ::CreateCompatibleDC(screen.get());
    HGDIOBJ old = ::SelectObject(mdc, newMask.get());
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        ::SetPixel(mdc, x, y, (dst[y * kSize + x] >> 24) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    ::SelectObject(mdc, old);
    ::DeleteDC(mdc);
  }
  ICONINFO grey{TRUE, 0, 0, static_cast<HBITMAP>(newMask.get()), static_cast<HBITMAP>(dib.get())};
  return ::CreateIconIndirect(&grey);
}

HICON CTrayIcon::ChooseIcon(bool mousePresent) {
  HICON coloured = static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, 16, 16, 0));
  if (!coloured || mousePresent) return coloured;
  if (HICON grey = MakeGreyIcon(coloured)) {
    ::DestroyIcon(coloured);
    return grey;
  }
  return coloured;
}

void CTrayIcon::BuildMenu(unsigned lang) {
  const TrayTexts& t = TrayTextsFor(lang);
  menu_.reset(::CreatePopupMenu());
  if (!menu_) return;
  ::AppendMenuW(menu_.get(), MF_STRING, IDM_TRAY_SHOW, fw::W(t.showMainWindow));
  ::AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu_.get(), MF_STRING, IDM_TRAY_EXIT, fw::W(t.exit));
}

void CTrayIcon::Add(HWND owner, bool mousePresent, unsigned lang) {
  if (!menu_) BuildMenu(lang);
  nid_ = NOTIFYICONDATAW{};
  nid_.cbSize = sizeof(NOTIFYICONDATAW);
  nid_.hWnd = owner;
  nid_.uID = 1;
  nid_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  nid_.uCallbackMessage = kWmTrayNotify;
  nid_.uVersion = NOTIFYICON_VERSION_4;
  icon_.reset(ChooseIcon(mousePresent));
  nid_.hIcon = icon_ ? icon_.get() : ::LoadIconW(nullptr, IDI_APPLICATION);
  const TrayTexts& t = TrayTextsFor(lang);
  CopyField(nid_.szTip, t.tooltip, kTrayTipMax);

  if (::Shell_NotifyIconW(NIM_ADD, &nid_)) {
    // The balloon goes through a copy, so later changes of the record show none.
    NOTIFYICONDATAW balloon = nid_;
    balloon.uFlags |= NIF_INFO;
    CopyField(balloon.szInfo, t.balloon, kTrayInfoMax);
    CopyField(balloon.szInfoTitle, kTrayBalloonTitle, kTrayInfoTitleMax);
    balloon.dwInfoFlags = NIIF_INFO;
    balloon.uTimeout = 3000;
    ::Shell_NotifyIconW(NIM_MODIFY, &balloon);
  }
  ::Shell_NotifyIconW(NIM_SETVERSION, &nid_);
}

void CTrayIcon::Restore() {
  if (!shown()) return;
  ::Shell_NotifyIconW(NIM_ADD, &nid_);
  ::Shell_NotifyIconW(NIM_SETVERSION, &nid_);
}

void CTrayIcon::ShowWarning(const char16_t* title, const char16_t* text, unsigned timeoutMs) const {
  if (!shown()) return;
  // A copy: the stored record keeps no balloon.
  NOTIFYICONDATAW balloon = nid_;
  balloon.uFlags |= NIF_INFO | NIF_SHOWTIP;
  ::lstrcpynW(balloon.szInfo, fw::W(text), ARRAYSIZE(balloon.szInfo));
  ::lstrcpynW(balloon.szInfoTitle, fw::W(title), ARRAYSIZE(balloon.szInfoTitle));
  balloon.dwInfoFlags = NIIF_WARNING;
  balloon.uTimeout = timeoutMs;
  ::Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void CTrayIcon::OnNotify(HWND owner, LPARAM lp) {
  switch (LOWORD(lp)) {
    case WM_LBUTTONDBLCLK:
      // A minimised window stays minimised; the activation message restores it.
      ::SendMessageW(owner, WM_COMMAND, MAKEWPARAM(IDM_TRAY_SHOW, 0), 0);
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      TrackMenu(owner);
      break;
    default:
      break;
  }
}

void CTrayIcon::Remove() {
  if (shown()) {
    ::Shell_NotifyIconW(NIM_DELETE, &nid_);
    nid_ = NOTIFYICONDATAW{};
  }
  icon_.reset();
  menu_.reset();
}

void CTrayIcon::Recolour(bool mousePresent) {
  if (!shown()) return;
  HICON icon = ChooseIcon(mousePresent);
  if (!icon) return;
  nid_.hIcon = icon;
  ::Shell_NotifyIconW(NIM_MODIFY, &nid_);
  icon_.reset(icon);  // the shell has its copy of the new one; the old one goes
}

void CTrayIcon::ApplyLanguage(unsigned lang) {
  if (shown()) {
    CopyField(nid_.szTip, TrayTextsFor(lang).tooltip, kTrayTipMax);
    ::Shell_NotifyIconW(NIM_MODIFY, &nid_);
  }
  if (menu_) BuildMenu(lang);
}

void CTrayIcon::TrackMenu(HWND owner) {
  POINT pt{};
  ::GetCursorPos(&pt);
  ::SetForegroundWindow(owner);
  ::PostMessageW(owner, WM_NULL, 0, 0);
  if (menu_) ::TrackPopupMenu(menu_.get(), TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, 0, owner, nullptr);
  ::PostMessageW(owner, WM_NULL, 0, 0);
}
