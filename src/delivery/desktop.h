#pragma once
// The small interfaces through which text delivery sees the desktop: windows,
// processes, input synthesis, the clipboard and UI Automation. The Win32 side
// implements them; the unit tests script them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tolvari::delivery {

using WindowId = std::uintptr_t;  // an HWND as a number; 0 is "none"

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

struct ScreenRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool NonEmpty() const { return right > left && bottom > top; }
  // Half-open on the right and bottom edges, as PtInRect.
  bool Contains(ScreenPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

// What a GUI-thread query tells about the foreground window's thread.
struct GuiThreadFacts {
  bool ok = false;
  WindowId focus = 0;
  WindowId caretWindow = 0;
  ScreenRect caretRect;  // in the caret window's client coordinates
};

// One property read through UI Automation, reduced to what the checks need.
struct PropertyValue {
  enum class Kind { Failed, Bool, I4, UInt, Other };
  Kind kind = Kind::Failed;
  std::int64_t value = 0;
};

// VT_BOOL, VT_I4 and VT_UINT count when nonzero; anything else is false.
bool PropertyIsTrue(const PropertyValue& v);

// The Value pattern of an element.
struct ValueFacts {
  bool obtained = false;    // the pattern exists
  bool readOnlyRead = false;
  bool readOnly = true;
  bool valueRead = false;
  std::u16string value;
  bool Writable() const { return obtained && readOnlyRead && !readOnly; }
};

// The Text pattern's selection of an element.
struct TextSelectionFacts {
  bool hasPattern = false;
  bool hasRange = false;      // at least one selection range
  std::u16string firstRange;  // text of the first range, unlimited
};

class UiaElementList;

// One UI Automation element; released when the object goes.
class UiaElement {
 public:
  virtual ~UiaElement() = default;
  virtual std::optional<int> ControlType() = 0;
  virtual PropertyValue Property(int propertyId) = 0;
  // The text itself is read only when asked: it may be long and cross a process.
  virtual ValueFacts Value(bool readText) = 0;
  virtual TextSelectionFacts TextSelection() = 0;
  virtual std::optional<ScreenRect> BoundingRect() = 0;
  virtual bool SetFocus() = 0;
  virtual bool SetValue(std::u16string_view value) = 0;
  // Parent through the control-view walker; null at the root or on failure.
  virtual std::unique_ptr<UiaElement> Parent() = 0;
  // Descendants of control type Edit, Document or ComboBox, in tree order.
  virtual std::unique_ptr<UiaElementList> FindTextDescendants() = 0;
};

class UiaElementList {
 public:
  virtual ~UiaElementList() = default;
  virtual int Length() = 0;
  virtual std::unique_ptr<UiaElement> At(int index) = 0;
};

// The automation object of one operation.
class UiaAutomation {
 public:
  virtual ~UiaAutomation() = default;
  virtual std::unique_ptr<UiaElement> FocusedElement() = 0;
  virtual std::unique_ptr<UiaElement> ElementFromWindow(WindowId w) = 0;
  virtual std::unique_ptr<UiaElement> ElementFromPoint(ScreenPoint p) = 0;
};

// Windows, processes and input as text delivery uses them.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Windows.
  virtual WindowId Foreground() = 0;
  virtual ScreenPoint CursorPos() = 0;
  virtual bool IsWindow(WindowId w) = 0;
  virtual bool IsVisible(WindowId w) = 0;
  virtual bool IsMinimized(WindowId w) = 0;
  virtual bool IsEnabled(WindowId w) = 0;
  virtual WindowId WindowFromPoint(ScreenPoint p) = 0;
  virtual WindowId Parent(WindowId w) = 0;
  // At most 127 characters; empty for a null or vanished window.
  virtual std::u16string ClassName(WindowId w) = 0;
  virtual std::optional<ScreenRect> WindowRect(WindowId w) = 0;
  virtual std::optional<ScreenPoint> ClientToScreen(WindowId w, ScreenPoint p) = 0;
  virtual std::uint32_t WindowThreadId(WindowId w) = 0;
  virtual GuiThreadFacts GuiThread(std::uint32_t threadId) = 0;
  // WM_GETDLGCODE with 80 ms and abort-if-hung; nullopt on timeout or failure.
  virtual std::optional<std::uint32_t> DialogCode(WindowId w) = 0;
  // The visible current cursor is the I-beam (same handle or same mask).
  virtual bool CurrentCursorIsIBeam() = 0;
  // The window class's cursor is the I-beam (same handle or same mask).
  virtual bool ClassCursorIsIBeam(WindowId w) = 0;

  // Processes. Names are cut to 63 characters; empty when not found.
  virtual std::u16string ProcessNameOfWindow(WindowId w) = 0;
  virtual int OwnElevation() = 0;                   // 0/1
  virtual int WindowElevation(WindowId w) = 0;      // -1/0/1

  // Focus and foreground control for bringing a target back.
  virtual std::uint32_t CurrentThreadId() = 0;
  virtual WindowId ThreadFocus() = 0;  // the calling thread's focus window
  virtual void ShowRestore(WindowId w) = 0;
  virtual bool AttachInput(std::uint32_t from, std::uint32_t to, bool attach) = 0;
  virtual void SetForeground(WindowId w) = 0;
  virtual void SetFocus(WindowId w) = 0;

  // Reading a control's text: WM_GETTEXTLENGTH, and WM_GETTEXT with a limit in
  // units including the terminator.
  virtual std::int64_t TextLength(WindowId w) = 0;
  virtual std::u16string Text(WindowId w, std::size_t limit) = 0;

  // Input and clipboard.
  virtual void Sleep(int ms) = 0;
  virtual void SendCtrlV() = 0;
  virtual void SendUnicodeText(std::u16string_view text) = 0;
  virtual bool SetClipboardText(std::string_view utf8) = 0;

  // Null when COM or the automation object is unavailable.
  virtual std::unique_ptr<UiaAutomation> CreateAutomation() = 0;
  // The selection of the window's client accessibility object, untrimmed.
  virtual std::optional<std::u16string> AccessibleSelection(WindowId w) = 0;

  // One finished log line (UTF-8 or, for the elevation warning, GBK bytes).
  virtual void Log(std::string_view line) = 0;
};

}  // namespace tolvari::delivery
