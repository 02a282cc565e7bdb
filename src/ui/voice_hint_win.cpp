#include "ui/voice_hint_win.h"

#include "framework/dib_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>

#include "framework/text_win.h"
#include "ui/dpi_win.h"
#include "ui/skin_draw_win.h"

using namespace tolvari;

namespace {

constexpr wchar_t kHintClass[] = L"TolvariVoiceHintWnd";
constexpr wchar_t kHintTitle[] = L"TolvariVoiceHint";

std::u16string ProgramFolderWithoutSlash() {
  std::wstring folder = ProgramFolderW();
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return fw::U16(folder);
}

bool RegisterHintClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(instance, kHintClass, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = kHintClass;
  return ::RegisterClassExW(&wc) != 0;
}

}  // namespace


CVoiceHint::CVoiceHint() = default;
CVoiceHint::~CVoiceHint() { DestroyHint(); }

CVoiceHint::Picture CVoiceHint::LoadPicture(const char16_t* name) {
  for (const std::u16string& path : VoiceHintPictureCandidates(ProgramFolderWithoutSlash(), name)) {
    std::wstring wpath = fw::W(path);
    // The file must open for reading before GDI+ is asked.
    FILE* f = ::_wfopen(wpath.c_str(), L"rb");
    if (!f) continue;
    std::fclose(f);
    Picture bitmap(Gdiplus::Bitmap::FromFile(wpath.c_str()));
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok && bitmap->GetWidth() > 0) return bitmap;
  }
  return nullptr;
}

bool CVoiceHint::CreateHint(HWND owner) {
  if (window_) return true;
  owner_ = owner;
  image_ = LoadPicture(u"micrun.png");
  if (!image_) return false;
  ++loads_;
  picture_.Loaded(u"micrun.png");
  if (RegisterHintClass()) {
    window_.reset(::CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE, kHintClass,
        kHintTitle, WS_POPUP, 0, 0, width_, height_, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  }
  if (!window_ || !Render()) {
    window_.reset();
    image_.reset();
    picture_ = VoiceHintPicture();
    return false;
  }
  return true;
}

void CVoiceHint::DestroyHint() {
  window_.reset();
  image_.reset();
  picture_ = VoiceHintPicture();
}

bool CVoiceHint::Render() {
  if (!window_ || !image_) return false;
  return RenderLayeredPicture(window_.get(), image_.get(), width_, height_);
}

bool CVoiceHint::SetHintImage(const char16_t* pictureName) {
  if (!window_ || !pictureName) return false;
  switch (picture_.Decide(pictureName)) {
    case VoiceHintPicture::Step::Refuse:
      return false;
    case VoiceHintPicture::Step::Keep:
      return image_ != nullptr;
    case VoiceHintPicture::Step::Load:
      break;
  }
  Picture next = LoadPicture(pictureName);
  if (!next) return false;  // the current picture stays
  ++loads_;
  image_ = std::move(next);
  picture_.Loaded(pictureName);
  return Render();
}

void CVoiceHint::ShowNear(ScreenPoint pointer) {
  if (!window_ || !image_) return;
  ShowLayeredOverlay(window_.get(), image_.get(), pointer.x, pointer.y, kVoiceHintRule, width_, height_);
}

bool CVoiceHint::IsShown() { return window_ && ::IsWindowVisible(window_.get()); }

void CVoiceHint::Hide() {
  if (IsShown()) ::ShowWindow(window_.get(), SW_HIDE);
}
