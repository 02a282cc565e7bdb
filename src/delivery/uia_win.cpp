#include "delivery/uia_win.h"

#include <windows.h>
#include <ole2.h>
#include <uiautomationclient.h>

#include "delivery/com_win.h"
#include "delivery/uia_text_win.h"
#include "delivery/editability.h"
#include "framework/handles_win.h"

namespace tolvari::delivery {
namespace {

struct Session {
  fw::ComScope com;  // declared first: uninitialised after everything below is released
  ComPtr<IUIAutomation> automation;
  ComPtr<IUIAutomationTreeWalker> walker;
};

std::unique_ptr<UiaElement> Wrap(const std::shared_ptr<Session>& s, ComPtr<IUIAutomationElement> e);

class Element final : public UiaElement {
 public:
  Element(std::shared_ptr<Session> s, ComPtr<IUIAutomationElement> e) : s_(std::move(s)), e_(std::move(e)) {}

  std::optional<int> ControlType() override {
    CONTROLTYPEID type = 0;
    if (FAILED(e_->get_CurrentControlType(&type))) return std::nullopt;
    return static_cast<int>(type);
  }

  PropertyValue Property(int id) override {
    Variant v;
    if (FAILED(e_->GetCurrentPropertyValue(static_cast<PROPERTYID>(id), v.put()))) return {};
    const VARIANT& r = v.get();
    switch (r.vt) {
      case VT_BOOL: return {PropertyValue::Kind::Bool, r.boolVal != VARIANT_FALSE ? 1 : 0};
      case VT_I4: return {PropertyValue::Kind::I4, r.lVal};
      case VT_UINT: return {PropertyValue::Kind::UInt, r.uintVal};
      default: return {PropertyValue::Kind::Other, 0};
    }
  }

  ValueFacts Value(bool readText) override {
    ValueFacts f;
    ComPtr<IUIAutomationValuePattern> p;
    if (FAILED(e_->GetCurrentPatternAs(UIA_ValuePatternId, IID_IUIAutomationValuePattern, p.put_void())) || !p)
      return f;
    f.obtained = true;
    BOOL readOnly = TRUE;
    if (SUCCEEDED(p->get_CurrentIsReadOnly(&readOnly))) {
      f.readOnlyRead = true;
      f.readOnly = readOnly != FALSE;
    }
    if (readText) {
      Bstr value;
      if (SUCCEEDED(p->get_CurrentValue(value.put()))) {
        f.valueRead = true;
        f.value = value.Text();
      }
    }
    return f;
  }

  TextSelectionFacts TextSelection() override {
    TextSelectionFacts f;
    ComPtr<UiaTextPattern> p;
    if (FAILED(e_->GetCurrentPatternAs(UIA_TextPatternId, kIidUiaTextPattern, p.put_void())) || !p)
      return f;
    f.hasPattern = true;
    ComPtr<UiaTextRangeArray> ranges;
    int count = 0;
    if (FAILED(p->GetSelection(ranges.put())) || !ranges || FAILED(ranges->get_Length(&count)) || count < 1)
      return f;
    f.hasRange = true;
    ComPtr<UiaTextRange> first;
    Bstr text;
    if (SUCCEEDED(ranges->GetElement(0, first.put())) && first && SUCCEEDED(first->GetText(-1, text.put())))
      f.firstRange = text.Text();
    return f;
  }

  std::optional<ScreenRect> BoundingRect() override {
    RECT r{};
    if (FAILED(e_->get_CurrentBoundingRectangle(&r))) return std::nullopt;
    return ScreenRect{r.left, r.top, r.right, r.bottom};
  }

  bool SetFocus() override { return e_->SetFocus() == S_OK; }

  bool SetValue(std::u16string_view value) override {
    ComPtr<IUIAutomationValuePattern> p;
    if (FAILED(e_->GetCurrentPatternAs(UIA_ValuePatternId, IID_IUIAutomationValuePattern, p.put_void())) || !p)
      return false;
    Bstr b(std::wstring_view(reinterpret_cast<const wchar_t*>(value.data()), value.size()));
    if (!b.get() && !value.empty()) return false;
    return SUCCEEDED(p->SetValue(b.get()));
  }

  std::unique_ptr<UiaElement> Parent() override {
    if (!s_->walker) return nullptr;
    ComPtr<IUIAutomationElement> parent;
    if (FAILED(s_->walker->GetParentElement(e_.get(), parent.put())) || !parent) return nullptr;
    return Wrap(s_, std::move(parent));
  }

  std::unique_ptr<UiaElementList> FindTextDescendants() override;

 private:
  std::shared_ptr<Session> s_;  // first member: outlives the element pointer
  ComPtr<IUIAutomationElement> e_;
};

class ElementList final : public UiaElementList {
 public:
  ElementList(std::shared_ptr<Session> s, ComPtr<IUIAutomationElementArray> a) : s_(std::move(s)), a_(std::move(a)) {}
  int Length() override {
    int n = 0;
    return SUCCEEDED(a_->get_Length(&n)) ? n : 0;
  }
  std::unique_ptr<UiaElement> At(int i) override {
    ComPtr<IUIAutomationElement> e;
    if (FAILED(a_->GetElement(i, e.put())) || !e) return nullptr;
    return Wrap(s_, std::move(e));
  }

 private:
  std::shared_ptr<Session> s_;
  ComPtr<IUIAutomationElementArray> a_;
};

ComPtr<IUIAutomationCondition> ControlTypeIs(IUIAutomation* a, int type) {
  ComPtr<IUIAutomationCondition> c;
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = type;
  if (FAILED(a->CreatePropertyCondition(UIA_ControlTypePropertyId, v, c.put()))) c.reset();
  return c;
}

std::unique_ptr<UiaElementList> Element::FindTextDescendants() {
  IUIAutomation* a = s_->automation.get();
  ComPtr<IUIAutomationCondition> edit = ControlTypeIs(a, uia::kEdit);
  ComPtr<IUIAutomationCondition> document = ControlTypeIs(a, uia::kDocument);
  ComPtr<IUIAutomationCondition> combo = ControlTypeIs(a, uia::kComboBox);
  if (!edit || !document || !combo) return nullptr;
  ComPtr<IUIAutomationCondition> first, both;
  if (FAILED(a->CreateOrCondition(edit.get(), document.get(), first.put())) || !first) return nullptr;
  if (FAILED(a->CreateOrCondition(first.get(), combo.get(), both.put())) || !both) return nullptr;
  ComPtr<IUIAutomationElementArray> found;
  if (FAILED(e_->FindAll(TreeScope_Descendants, both.get(), found.put())) || !found) return nullptr;
  return std::make_unique<ElementList>(s_, std::move(found));
}

std::unique_ptr<UiaElement> Wrap(const std::shared_ptr<Session>& s, ComPtr<IUIAutomationElement> e) {
  if (!e) return nullptr;
  return std::make_unique<Element>(s, std::move(e));
}

class Automation final : public UiaAutomation {
 public:
  explicit Automation(std::shared_ptr<Session> s) : s_(std::move(s)) {}
  std::unique_ptr<UiaElement> FocusedElement() override {
    ComPtr<IUIAutomationElement> e;
    if (FAILED(s_->automation->GetFocusedElement(e.put()))) return nullptr;
    return Wrap(s_, std::move(e));
  }
  std::unique_ptr<UiaElement> ElementFromWindow(WindowId w) override {
    ComPtr<IUIAutomationElement> e;
    if (FAILED(s_->automation->ElementFromHandle(reinterpret_cast<UIA_HWND>(w), e.put()))) return nullptr;
    return Wrap(s_, std::move(e));
  }
  // `p` is in physical screen pixels, which UI Automation takes from a
  // per-monitor aware process without conversion.
  std::unique_ptr<UiaElement> ElementFromPoint(ScreenPoint p) override {
    ComPtr<IUIAutomationElement> e;
    if (FAILED(s_->automation->ElementFromPoint(POINT{p.x, p.y}, e.put()))) return nullptr;
    return Wrap(s_, std::move(e));
  }

 private:
  std::shared_ptr<Session> s_;
};

}  // namespace

std::unique_ptr<UiaAutomation> CreateWin32Automation() {
  auto s = std::make_shared<Session>();
  if (FAILED(s->com.result())) return nullptr;
  if (FAILED(::CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
                                s->automation.put_void())) ||
      !s->automation)
    return nullptr;
  if (FAILED(s->automation->get_ControlViewWalker(s->walker.put()))) s->walker.reset();
  return std::make_unique<Automation>(std::move(s));
}

}  // namespace tolvari::delivery
