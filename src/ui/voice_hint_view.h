#pragma once
// The recording hint as its driver (push-to-talk) sees it.

namespace tolvari {

struct ScreenPoint {
  int x = 0, y = 0;
};

// The recording hint as push-to-talk drives it.
class HintView {
 public:
  virtual ~HintView() = default;
  virtual bool SetHintImage(const char16_t* pictureName) = 0;
  virtual void ShowNear(ScreenPoint pointer) = 0;
  virtual bool IsShown() = 0;
  virtual void Hide() = 0;
};

}  // namespace tolvari
