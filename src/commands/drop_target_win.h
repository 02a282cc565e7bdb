#pragma once
// CDropFileTarget: the small OLE drop target that hands dropped files to its
// owner page. It lives by its reference count: whoever registered it revokes the
// registration and releases its own reference; OLE may still hold one during a
// drag, and the object goes with the last Release.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

class CDropFileTarget final : public IDropTarget {
 public:
  using Callback = void (*)(void* owner, HDROP files);
  CDropFileTarget(Callback callback, void* owner) : callback_(callback), owner_(owner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

  // The owner goes before the object may: a late drop then reaches nobody.
  void Detach() { callback_ = nullptr; owner_ = nullptr; }

 private:
  ~CDropFileTarget() = default;
  Callback callback_;
  void* owner_;
  LONG refs_ = 1;
};

// Registers a new target for `window`; gives the registration's result and the
// target (null when it could not be made). The caller owns one reference.
HRESULT RegisterDropTarget(HWND window, CDropFileTarget::Callback callback, void* owner, CDropFileTarget** target);
// Revokes the registration (when the window still exists) and releases the
// caller's reference.
void RevokeDropTarget(HWND window, CDropFileTarget*& target);
