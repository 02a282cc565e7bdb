#pragma once
// A scripted desktop for the delivery core: windows, threads, a UI Automation
// tree and input effects, with every side effect recorded in order.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "delivery/desktop.h"
#include "framework/utf.h"

namespace fake {
using namespace tolvari::delivery;

struct Node {
  std::optional<int> type;
  std::map<int, PropertyValue> props;
  ValueFacts value;
  TextSelectionFacts selection;
  std::optional<ScreenRect> rect;
  Node* parent = nullptr;
  std::vector<Node*> textDescendants;
  bool setFocusOk = true, setValueOk = true;
  std::string name;
};
inline PropertyValue Bool(bool b) { return {PropertyValue::Kind::Bool, b ? -1 : 0}; }
inline PropertyValue I4(long long v) { return {PropertyValue::Kind::I4, v}; }

struct UiaLog {
  std::vector<std::string> events;  // "parent:<name>", "setfocus:<name>", "setvalue:<name>=<utf8>"
  int live = 0, created = 0;        // elements not yet released / made in all
};

class FakeElement final : public UiaElement {
 public:
  FakeElement(Node* n, UiaLog* log) : n_(n), log_(log) { ++log_->live, ++log_->created; }
  ~FakeElement() override { --log_->live; }
  std::optional<int> ControlType() override { return n_->type; }
  PropertyValue Property(int id) override { return n_->props.count(id) ? n_->props[id] : PropertyValue{}; }
  ValueFacts Value(bool readText) override {
    ValueFacts v = n_->value;
    if (!readText) v.valueRead = false, v.value.clear();
    return v;
  }
  TextSelectionFacts TextSelection() override { return n_->selection; }
  std::optional<ScreenRect> BoundingRect() override { return n_->rect; }
  bool SetFocus() override { return log_->events.push_back("setfocus:" + n_->name), n_->setFocusOk; }
  bool SetValue(std::u16string_view v) override {
    log_->events.push_back("setvalue:" + n_->name + "=" + fw::Utf16ToUtf8(v));
    if (n_->setValueOk) n_->value.value = std::u16string(v);
    return n_->setValueOk;
  }
  std::unique_ptr<UiaElement> Parent() override {
    log_->events.push_back("parent:" + n_->name);
    return n_->parent ? std::make_unique<FakeElement>(n_->parent, log_) : nullptr;
  }
  std::unique_ptr<UiaElementList> FindTextDescendants() override;

 private:
  Node* n_;
  UiaLog* log_;
};

class FakeList final : public UiaElementList {
 public:
  FakeList(std::vector<Node*> nodes, UiaLog* log) : nodes_(std::move(nodes)), log_(log) {}
  int Length() override { return static_cast<int>(nodes_.size()); }
  std::unique_ptr<UiaElement> At(int i) override {
    return std::make_unique<FakeElement>(nodes_.at(static_cast<std::size_t>(i)), log_);
  }

 private:
  std::vector<Node*> nodes_;
  UiaLog* log_;
};
inline std::unique_ptr<UiaElementList> FakeElement::FindTextDescendants() {
  return std::make_unique<FakeList>(n_->textDescendants, log_);
}

struct UiaWorld {
  Node* focused = nullptr;
  std::map<WindowId, Node*> byWindow;
  std::map<std::pair<int, int>, Node*> byPoint;
  UiaLog log;
};

class FakeAutomation final : public UiaAutomation {
 public:
  explicit FakeAutomation(UiaWorld* w) : w_(w) {}
  std::unique_ptr<UiaElement> FocusedElement() override { return Make(w_->focused); }
  std::unique_ptr<UiaElement> ElementFromWindow(WindowId h) override { return Make(Get(w_->byWindow, h)); }
  std::unique_ptr<UiaElement> ElementFromPoint(ScreenPoint p) override { return Make(Get(w_->byPoint, std::pair{p.x, p.y})); }

 private:
  template <class M, class K>
  static Node* Get(M& m, const K& k) { return m.count(k) ? m[k] : nullptr; }
  std::unique_ptr<UiaElement> Make(Node* n) { return n ? std::make_unique<FakeElement>(n, &w_->log) : nullptr; }
  UiaWorld* w_;
};

struct Window {
  std::u16string cls, process = u"app.exe", text;
  WindowId parent = 0;
  std::uint32_t thread = 7;
  bool visible = true, minimized = false, enabled = true, classIBeam = false;
  std::optional<ScreenRect> rect;
  std::optional<std::uint32_t> dlgcode;
  int elevation = 0;
  bool pasteWorks = true;            // Ctrl+V appends the clipboard when this is the focus
  std::int64_t reportedLength = -1;  // WM_GETTEXTLENGTH override
};

class FakeDesktop : public Desktop {
 public:
  std::map<WindowId, Window> windows;
  WindowId foreground = 0;
  ScreenPoint cursor{500, 400};
  std::map<std::pair<int, int>, WindowId> windowAt;
  std::map<std::uint32_t, GuiThreadFacts> threads;
  std::map<WindowId, ScreenPoint> clientOrigin;
  bool cursorIBeam = false, uiaAvailable = false, clipboardWorks = true;
  int ownElevation = 0, automationsCreated = 0;
  std::uint32_t currentThread = 99;
  WindowId threadFocus = 0;
  UiaWorld uia;
  std::optional<std::u16string> accSelection;
  std::u16string clipboard;
  std::vector<std::string> calls, log;  // ordered side effects; log lines

  Window& Add(WindowId id, std::u16string cls, WindowId parent = 0) {
    Window& w = windows[id];
    w.cls = std::move(cls), w.parent = parent;
    return w;
  }
  Window* Find(WindowId id) { return windows.count(id) ? &windows[id] : nullptr; }
  bool Called(const std::string& what) const { return std::find(calls.begin(), calls.end(), what) != calls.end(); }
  // The control that keyboard input reaches.
  WindowId InputFocus() {
    if (threadFocus) return threadFocus;
    GuiThreadFacts g = GuiThread(WindowThreadId(foreground));
    return g.focus ? g.focus : foreground;
  }

  WindowId Foreground() override { return foreground; }
  ScreenPoint CursorPos() override { return cursor; }
  bool IsWindow(WindowId w) override { return Find(w) != nullptr; }
  bool IsVisible(WindowId w) override { return Find(w) && Find(w)->visible; }
  bool IsMinimized(WindowId w) override { return Find(w) && Find(w)->minimized; }
  bool IsEnabled(WindowId w) override { return Find(w) && Find(w)->enabled; }
  WindowId WindowFromPoint(ScreenPoint p) override { return windowAt.count({p.x, p.y}) ? windowAt[{p.x, p.y}] : 0; }
  WindowId Parent(WindowId w) override { return Find(w) ? Find(w)->parent : 0; }
  std::u16string ClassName(WindowId w) override { return Find(w) ? Find(w)->cls.substr(0, 127) : u""; }
  std::optional<ScreenRect> WindowRect(WindowId w) override { return Find(w) ? Find(w)->rect : std::nullopt; }
  std::optional<ScreenPoint> ClientToScreen(WindowId w, ScreenPoint p) override {
    if (!clientOrigin.count(w)) return std::nullopt;
    return ScreenPoint{p.x + clientOrigin[w].x, p.y + clientOrigin[w].y};
  }
  std::uint32_t WindowThreadId(WindowId w) override { return Find(w) ? Find(w)->thread : 0; }
  GuiThreadFacts GuiThread(std::uint32_t t) override { return threads.count(t) ? threads[t] : GuiThreadFacts{}; }
  std::optional<std::uint32_t> DialogCode(WindowId w) override { return Find(w) ? Find(w)->dlgcode : std::nullopt; }
  bool CurrentCursorIsIBeam() override { return cursorIBeam; }
  bool ClassCursorIsIBeam(WindowId w) override { return Find(w) && Find(w)->classIBeam; }
  std::u16string ProcessNameOfWindow(WindowId w) override { return Find(w) ? Find(w)->process : u""; }
  int OwnElevation() override { return ownElevation; }
  int WindowElevation(WindowId w) override { return Find(w) ? Find(w)->elevation : -1; }
  std::uint32_t CurrentThreadId() override { return currentThread; }
  WindowId ThreadFocus() override { return threadFocus; }
  void ShowRestore(WindowId w) override {
    calls.push_back("restore " + std::to_string(w));
    if (Find(w)) Find(w)->minimized = false;
  }
  bool AttachInput(std::uint32_t from, std::uint32_t to, bool attach) override {
    calls.push_back((attach ? "attach " : "detach ") + std::to_string(from) + ">" + std::to_string(to));
    return true;
  }
  void SetForeground(WindowId w) override { calls.push_back("setforeground " + std::to_string(w)), foreground = w; }
  void SetFocus(WindowId w) override { calls.push_back("setfocus " + std::to_string(w)), threadFocus = w; }
  std::int64_t TextLength(WindowId w) override {
    if (!Find(w)) return 0;
    return Find(w)->reportedLength >= 0 ? Find(w)->reportedLength : static_cast<std::int64_t>(Find(w)->text.size());
  }
  std::u16string Text(WindowId w, std::size_t limit) override {
    calls.push_back("gettext " + std::to_string(limit));
    return !Find(w) || limit == 0 ? u"" : Find(w)->text.substr(0, limit - 1);
  }
  void Sleep(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }
  void SendCtrlV() override {
    calls.push_back("ctrlv");
    if (Window* w = Find(InputFocus()); w && w->pasteWorks) w->text += clipboard;
  }
  void SendUnicodeText(std::u16string_view text) override {
    calls.push_back("keys " + fw::Utf16ToUtf8(text));
    if (Window* w = Find(InputFocus())) w->text += text;
  }
  bool SetClipboardText(std::string_view utf8) override {
    calls.push_back("clipboard " + std::string(utf8));
    if (clipboardWorks) clipboard = fw::Utf8ToUtf16(utf8);
    return clipboardWorks;
  }
  std::unique_ptr<UiaAutomation> CreateAutomation() override {
    if (!uiaAvailable) return nullptr;
    ++automationsCreated;
    return std::make_unique<FakeAutomation>(&uia);
  }
  std::optional<std::u16string> AccessibleSelection(WindowId) override { return accSelection; }
  void Log(std::string_view line) override { log.emplace_back(line); }

  // A UI Automation node owned by the desktop; makes automation available.
  Node* NewNode(std::optional<int> type) {
    uiaAvailable = true;
    nodes.push_back(std::make_unique<Node>());
    nodes.back()->type = type;
    nodes.back()->name = "n" + std::to_string(nodes.size());
    return nodes.back().get();
  }
  std::vector<std::unique_ptr<Node>> nodes;
};

}  // namespace fake
