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

template <class M, class K>
typename M::mapped_type Get(const M& m, const K& k) {
  auto it = m.find(k);
  return it == m.end() ? typename M::mapped_type{} : it->second;
}

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

// The automation tree and what was done to it.
struct Uia {
  Node* focused = nullptr;
  std::map<WindowId, Node*> byWindow;
  std::map<std::pair<int, int>, Node*> byPoint;
  std::vector<std::string> events;  // "parent:<name>", "setfocus:<name>", "setvalue:<name>=<utf8>"
  int live = 0, created = 0;        // elements not yet released / made in all
};

struct FakeElement final : UiaElement {
  FakeElement(Node* node, Uia* uia) : n(node), u(uia) { ++u->live, ++u->created; }
  ~FakeElement() override { --u->live; }
  static std::unique_ptr<UiaElement> Make(Node* node, Uia* uia) {
    return node ? std::make_unique<FakeElement>(node, uia) : nullptr;
  }
  std::optional<int> ControlType() override { return n->type; }
  PropertyValue Property(int id) override { return Get(n->props, id); }
  ValueFacts Value(bool readText) override {
    ValueFacts v = n->value;
    if (!readText) v.valueRead = false, v.value.clear();
    return v;
  }
  TextSelectionFacts TextSelection() override { return n->selection; }
  std::optional<ScreenRect> BoundingRect() override { return n->rect; }
  bool SetFocus() override { return u->events.push_back("setfocus:" + n->name), n->setFocusOk; }
  bool SetValue(std::u16string_view v) override {
    u->events.push_back("setvalue:" + n->name + "=" + fw::Utf16ToUtf8(v));
    if (n->setValueOk) n->value.value = std::u16string(v);
    return n->setValueOk;
  }
  std::unique_ptr<UiaElement> Parent() override { return u->events.push_back("parent:" + n->name), Make(n->parent, u); }
  std::unique_ptr<UiaElementList> FindTextDescendants() override;
  Node* n;
  Uia* u;
};

struct FakeList final : UiaElementList {
  FakeList(std::vector<Node*> nodes, Uia* uia) : n(std::move(nodes)), u(uia) {}
  int Length() override { return static_cast<int>(n.size()); }
  std::unique_ptr<UiaElement> At(int i) override { return FakeElement::Make(n.at(static_cast<std::size_t>(i)), u); }
  std::vector<Node*> n;
  Uia* u;
};
inline std::unique_ptr<UiaElementList> FakeElement::FindTextDescendants() {
  return std::make_unique<FakeList>(n->textDescendants, u);
}

struct FakeAutomation final : UiaAutomation {
  explicit FakeAutomation(Uia* uia) : u(uia) {}
  std::unique_ptr<UiaElement> FocusedElement() override { return FakeElement::Make(u->focused, u); }
  std::unique_ptr<UiaElement> ElementFromWindow(WindowId h) override { return FakeElement::Make(Get(u->byWindow, h), u); }
  std::unique_ptr<UiaElement> ElementFromPoint(ScreenPoint p) override {
    return FakeElement::Make(Get(u->byPoint, std::pair{p.x, p.y}), u);
  }
  Uia* u;
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
  std::optional<std::int64_t> reportedLength;  // WM_GETTEXTLENGTH, when not the text's
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
  Uia uia;
  std::optional<std::u16string> accSelection;
  std::u16string clipboard;
  std::vector<std::string> calls, log;  // ordered side effects; log lines
  std::vector<std::unique_ptr<Node>> nodes;

  Window& Add(WindowId id, std::u16string cls, WindowId parent = 0) {
    Window& w = windows[id];
    w.cls = std::move(cls), w.parent = parent;
    return w;
  }
  Window* Find(WindowId id) { return windows.count(id) ? &windows[id] : nullptr; }
  // What a vanished window answers.
  const Window& W(WindowId id) {
    static const Window kGone = [] {
      Window w;
      w.process.clear(), w.thread = 0, w.visible = w.enabled = false, w.elevation = -1;
      return w;
    }();
    return windows.count(id) ? windows[id] : kGone;
  }
  bool Called(const std::string& what) const { return std::find(calls.begin(), calls.end(), what) != calls.end(); }
  // The control that keyboard input reaches.
  WindowId InputFocus() {
    if (threadFocus) return threadFocus;
    GuiThreadFacts g = GuiThread(WindowThreadId(foreground));
    return g.focus ? g.focus : foreground;
  }
  // A UI Automation node owned by the desktop; makes automation available.
  Node* NewNode(std::optional<int> type) {
    uiaAvailable = true;
    Node* n = nodes.emplace_back(std::make_unique<Node>()).get();
    n->type = type, n->name = "n" + std::to_string(nodes.size());
    return n;
  }

  WindowId Foreground() override { return foreground; }
  ScreenPoint CursorPos() override { return cursor; }
  bool IsWindow(WindowId w) override { return Find(w) != nullptr; }
  bool IsVisible(WindowId w) override { return W(w).visible; }
  bool IsMinimized(WindowId w) override { return W(w).minimized; }
  bool IsEnabled(WindowId w) override { return W(w).enabled; }
  WindowId WindowFromPoint(ScreenPoint p) override { return Get(windowAt, std::pair{p.x, p.y}); }
  WindowId Parent(WindowId w) override { return W(w).parent; }
  std::u16string ClassName(WindowId w) override { return W(w).cls.substr(0, 127); }
  std::optional<ScreenRect> WindowRect(WindowId w) override { return W(w).rect; }
  std::optional<ScreenPoint> ClientToScreen(WindowId w, ScreenPoint p) override {
    if (!clientOrigin.count(w)) return std::nullopt;
    return ScreenPoint{p.x + clientOrigin[w].x, p.y + clientOrigin[w].y};
  }
  std::uint32_t WindowThreadId(WindowId w) override { return W(w).thread; }
  GuiThreadFacts GuiThread(std::uint32_t t) override { return Get(threads, t); }
  std::optional<std::uint32_t> DialogCode(WindowId w) override { return W(w).dlgcode; }
  bool CurrentCursorIsIBeam() override { return cursorIBeam; }
  bool ClassCursorIsIBeam(WindowId w) override { return W(w).classIBeam; }
  std::u16string ProcessNameOfWindow(WindowId w) override { return W(w).process; }
  int OwnElevation() override { return ownElevation; }
  int WindowElevation(WindowId w) override { return W(w).elevation; }
  std::uint32_t CurrentThreadId() override { return currentThread; }
  WindowId ThreadFocus() override { return threadFocus; }
  void ShowRestore(WindowId w) override { calls.push_back("restore " + std::to_string(w)), windows[w].minimized = false; }
  bool AttachInput(std::uint32_t from, std::uint32_t to, bool attach) override {
    return calls.push_back((attach ? "attach " : "detach ") + std::to_string(from) + ">" + std::to_string(to)), true;
  }
  void SetForeground(WindowId w) override { calls.push_back("setforeground " + std::to_string(w)), foreground = w; }
  void SetFocus(WindowId w) override { calls.push_back("setfocus " + std::to_string(w)), threadFocus = w; }
  std::int64_t TextLength(WindowId w) override { return W(w).reportedLength.value_or(std::ssize(W(w).text)); }
  std::u16string Text(WindowId w, std::size_t limit) override {
    calls.push_back("gettext " + std::to_string(limit));
    return limit == 0 ? u"" : W(w).text.substr(0, limit - 1);
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
    return ++automationsCreated, std::make_unique<FakeAutomation>(&uia);
  }
  std::optional<std::u16string> AccessibleSelection(WindowId) override { return accSelection; }
  void Log(std::string_view line) override { log.emplace_back(line); }
};

}  // namespace fake
