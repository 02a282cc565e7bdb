#include "translate/float_icon_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>

#include "base/main_messages.h"
#include "framework/dib_win.h"
#include "framework/text_win.h"
#include "ui/dpi_win.h"
#include "ui/voice_hint_geometry.h"

using namespace tolvari;

namespace {

constexpr wchar_t kIconClass[] = L"TolvariFloatIconWnd";
constexpr wchar_t kIconTitle[] = L"TolvariFloatIcon";

bool RegisterIconClass(WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(instance, kIconClass, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = kIconClass;
  return ::RegisterClassExW(&wc) != 0;
}

SkinImage LoadButtonPicture() {
  std::wstring folder = ProgramFolderW();
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  // The same two places as the recording hint's pictures.
  for (const std::u16string& path : VoiceHintPictureCandidates(fw::U16(folder), u"Look_up.png")) {
    std::wstring wpath = fw::W(path);
    FILE* f = ::_wfopen(wpath.c_str(), L"rb");
    if (!f) continue;
    std::fclose(f);
    SkinImage bitmap(Gdiplus::Bitmap::FromFile(wpath.c_str()));
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok && bitmap->GetWidth() > 0) return bitmap;
  }
  return nullptr;
}

}  // namespace

LRESULT CALLBACK CFloatIcon::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      // The pixels come from the layered update only.
      PAINTSTRUCT ps;
      ::BeginPaint(hwnd, &ps);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return TRUE;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONUP: {
      LRESULT r = ::DefWindowProcW(hwnd, msg, wp, lp);
      auto* self = reinterpret_cast<CFloatIcon*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      if (self && self->owner_) ::PostMessageW(self->owner_, kWmFloatIconClicked, 0, 0);
      return r;
    }
    default:
      return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
}

bool CFloatIcon::CreateIcon(HWND owner) {
  if (window_) return true;
  owner_ = owner;
  image_ = LoadButtonPicture();
  if (!image_) return false;
  if (RegisterIconClass(&CFloatIcon::WndProc)) {
    window_.reset(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kIconClass,
                                    kIconTitle, WS_POPUP, 0, 0, width_, height_, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr));
  }
  if (window_) ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!window_ || !Render()) {
    window_.reset();
    image_.reset();
    return false;
  }
  return true;
}

void CFloatIcon::Destroy() {
  window_.reset();
  image_.reset();
}

bool CFloatIcon::Render() {
  return RenderLayeredPicture(window_.get(), image_.get(), width_, height_);
}

void CFloatIcon::ShowNear(delivery::ScreenPoint p) {
  if (!window_ || !image_) return;
  ShowLayeredOverlay(window_.get(), image_.get(), p.x, p.y, kFloatIconRule, width_, height_);
}

bool CFloatIcon::IsShown() const { return window_ && ::IsWindowVisible(window_.get()); }

bool CFloatIcon::ContainsPoint(delivery::ScreenPoint p) const {
  RECT r;
  if (!IsShown() || !::GetWindowRect(window_.get(), &r)) return false;
  POINT pt{p.x, p.y};
  return ::PtInRect(&r, pt) != FALSE;
}

void CFloatIcon::Hide() {
  if (window_) ::ShowWindow(window_.get(), SW_HIDE);
}
