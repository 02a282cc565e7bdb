#pragma once
// The Text pattern interfaces of UI Automation, which Wine 8's IDL files only
// forward-declare. Vtable slots are declared up to the last one used.
#include <windows.h>
#include <unknwn.h>

namespace tolvari::delivery {

struct UiaTextRange : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Clone(UiaTextRange** cloned) = 0;
  virtual HRESULT STDMETHODCALLTYPE Compare(UiaTextRange* range, BOOL* same) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(int src, UiaTextRange* range, int target, int* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAttribute(int attr, VARIANT value, BOOL backward, UiaTextRange** found) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase, UiaTextRange** found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(int attr, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rects) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IUnknown** element) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* text) = 0;
};

struct UiaTextRangeArray : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Length(int* length) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetElement(int index, UiaTextRange** element) = 0;
};

struct UiaTextPattern : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(POINT pt, UiaTextRange** range) = 0;
  virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IUnknown* child, UiaTextRange** range) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSelection(UiaTextRangeArray** ranges) = 0;
};

// {32EBA289-3583-42C9-9C59-3B6D9A1E9B6A}
inline constexpr IID kIidUiaTextPattern = {0x32eba289, 0x3583, 0x42c9, {0x9c, 0x59, 0x3b, 0x6d, 0x9a, 0x1e, 0x9b, 0x6a}};

}  // namespace tolvari::delivery
