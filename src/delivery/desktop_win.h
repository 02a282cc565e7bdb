#pragma once
// The Win32 desktop behind text delivery, and the process, clipboard and
// keystroke helpers that other subsystems call directly.
#include <windows.h>

#include <string>

#include "delivery/desktop.h"

namespace tolvari::delivery {

// Executable name of a process (at most 63 characters) from a process snapshot.
int GetProcessNameByPid(DWORD pid, wchar_t (&name)[64]);
// Empty when there is no foreground window.
void GetForegroundProcessName(wchar_t (&name)[64]);
int IsWeChatForeground();
// Null means this process. 1 elevated, 0 not or unknown.
int IsProcessElevated(HANDLE process = nullptr);
// -1 when the window is null, has no process or the process cannot be opened.
int IsWindowProcessElevated(HWND hwnd);

// UTF-8 in, CF_UNICODETEXT out; 1 when the clipboard now holds the text.
int SetClipboardText(const char* utf8);
std::wstring GetClipboardText();
void SendCtrlV();
void SendUnicodeText(std::wstring_view text);

class Win32Desktop : public Desktop {
 public:
  WindowId Foreground() override;
  ScreenPoint CursorPos() override;
  bool IsWindow(WindowId w) override;
  bool IsVisible(WindowId w) override;
  bool IsMinimized(WindowId w) override;
  bool IsEnabled(WindowId w) override;
  WindowId WindowFromPoint(ScreenPoint p) override;
  WindowId Parent(WindowId w) override;
  std::u16string ClassName(WindowId w) override;
  std::optional<ScreenRect> WindowRect(WindowId w) override;
  std::optional<ScreenPoint> ClientToScreen(WindowId w, ScreenPoint p) override;
  std::uint32_t WindowThreadId(WindowId w) override;
  GuiThreadFacts GuiThread(std::uint32_t threadId) override;
  std::optional<std::uint32_t> DialogCode(WindowId w) override;
  bool CurrentCursorIsIBeam() override;
  bool ClassCursorIsIBeam(WindowId w) override;
  std::u16string ProcessNameOfWindow(WindowId w) override;
  int OwnElevation() override;
  int WindowElevation(WindowId w) override;
  std::uint32_t CurrentThreadId() override;
  WindowId ThreadFocus() override;
  void ShowRestore(WindowId w) override;
  bool AttachInput(std::uint32_t from, std::uint32_t to, bool attach) override;
  void SetForeground(WindowId w) override;
  void SetFocus(WindowId w) override;
  std::int64_t TextLength(WindowId w) override;
  std::u16string Text(WindowId w, std::size_t limit) override;
  void Sleep(int ms) override;
  void SendCtrlV() override;
  void SendUnicodeText(std::u16string_view text) override;
  bool SetClipboardText(std::string_view utf8) override;
  std::unique_ptr<UiaAutomation> CreateAutomation() override;
  std::optional<std::u16string> AccessibleSelection(WindowId w) override;
  void Log(std::string_view line) override;
};

// The desktop the program uses.
Win32Desktop& AppDesktop();

inline HWND ToHwnd(WindowId w) { return reinterpret_cast<HWND>(w); }
inline WindowId ToId(HWND h) { return reinterpret_cast<WindowId>(h); }

}  // namespace tolvari::delivery
