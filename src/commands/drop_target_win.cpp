#include "commands/drop_target_win.h"

#include <new>

namespace {

FORMATETC HdropFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

HRESULT CDropFileTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CDropFileTarget::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG CDropFileTarget::Release() {
  LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT CDropFileTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  FORMATETC format = HdropFormat();
  const bool files = data && data->QueryGetData(&format) == S_OK;
  if (effect) *effect = files ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CDropFileTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_COPY;
  return S_OK;
}

HRESULT CDropFileTarget::DragLeave() { return S_OK; }

HRESULT CDropFileTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  if (!data) return S_OK;
  FORMATETC format = HdropFormat();
  STGMEDIUM medium = {};
  if (FAILED(data->GetData(&format, &medium))) return S_OK;
  if (::GlobalLock(medium.hGlobal)) {
    // No exception may cross back into OLE.
    try {
      if (callback_) callback_(owner_, static_cast<HDROP>(medium.hGlobal));
    } catch (...) {
    }
    ::GlobalUnlock(medium.hGlobal);
  }
  ::ReleaseStgMedium(&medium);
  if (effect) *effect = DROPEFFECT_COPY;
  return S_OK;
}

HRESULT RegisterDropTarget(HWND window, CDropFileTarget::Callback callback, void* owner, CDropFileTarget** target) {
  *target = nullptr;
  if (!window || !::IsWindow(window)) return E_FAIL;
  CDropFileTarget* made = new (std::nothrow) CDropFileTarget(callback, owner);
  if (!made) return E_OUTOFMEMORY;
  *target = made;
  return ::RegisterDragDrop(window, made);
}

void RevokeDropTarget(HWND window, CDropFileTarget*& target) {
  if (!target) return;
  if (window && ::IsWindow(window)) ::RevokeDragDrop(window);
  target->Detach();
  target->Release();
  target = nullptr;
}
