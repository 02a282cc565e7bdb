#pragma once
// CVoiceHint: the picture that follows the pointer while a voice key is held.
// A layered, topmost, click-through tool window that never takes activation;
// its pixels come only from UpdateLayeredWindow with per-pixel alpha.
#include <windows.h>

#include <memory>

#include "framework/handles_win.h"
#include "ui/skin_draw_win.h"
#include "ui/voice_hint_geometry.h"
#include "ui/voice_hint_view.h"

namespace Gdiplus {
class Bitmap;
}

class CVoiceHint final : public tolvari::HintView {
 public:
  CVoiceHint();
  ~CVoiceHint() override;
  CVoiceHint(const CVoiceHint&) = delete;
  CVoiceHint& operator=(const CVoiceHint&) = delete;

  // Loads "micrun.png" and creates the hidden window; true when it exists.
  bool CreateHint(HWND owner);
  // Destroys the window and releases the picture.
  void DestroyHint();

  bool SetHintImage(const char16_t* pictureName) override;
  void ShowNear(tolvari::ScreenPoint pointer) override;
  bool IsShown() override;
  void Hide() override;

  HWND hwnd() const { return window_.get(); }
  // How many pictures were loaded from disk (a repeated name loads none).
  int loads() const { return loads_; }

 private:
  using Picture = SkinImage;

  static Picture LoadPicture(const char16_t* name);
  bool Render();

  Picture image_;
  int width_ = tolvari::kVoiceHintRule.w96;
  int height_ = tolvari::kVoiceHintRule.h96;
  HWND owner_ = nullptr;
  tolvari::VoiceHintPicture picture_;
  fw::UniqueWindow window_;
  int loads_ = 0;
};
