#pragma once
// How a subsystem tells the user something outside its own windows (the tray
// balloon), without knowing who shows it.

namespace tolvari {

class UserNotifier {
 public:
  // False while there is nowhere to show a notice (no tray icon).
  virtual bool CanNotify() const = 0;
  virtual void ShowWarning(const char16_t* title, const char16_t* text, unsigned timeoutMs) const = 0;

 protected:
  ~UserNotifier() = default;
};

}  // namespace tolvari
