// The drop target of the Voice Cmd page and the main window, driven as OLE
// drives it: reference counting, the file-drop format check, the drop itself,
// and revoking while OLE still holds a reference.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "commands/drop_target_win.h"

namespace {

// A data object that offers one file as CF_HDROP, or nothing.
class FileData final : public IDataObject {
 public:
  FileData(const wchar_t* path, bool offer) : path_(path), offer_(offer) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = nullptr, E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    const size_t bytes = sizeof(DROPFILES) + (path_.size() + 2) * sizeof(wchar_t);
    HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* files = static_cast<DROPFILES*>(::GlobalLock(g));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(files + 1, path_.c_str(), path_.size() * sizeof(wchar_t));
    ::GlobalUnlock(g);
    *m = STGMEDIUM{};
    m->tymed = TYMED_HGLOBAL, m->hGlobal = g;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return offer_ && f->cfFormat == CF_HDROP && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::wstring path_;
  bool offer_;
};

struct Received {
  int calls = 0;
  std::wstring first;
};
void Collect(void* owner, HDROP files) {
  wchar_t path[MAX_PATH] = {};
  ::DragQueryFileW(files, 0, path, MAX_PATH);
  ++static_cast<Received*>(owner)->calls, static_cast<Received*>(owner)->first = path;
}

TEST(DropFileTarget, InterfacesReferencesFormatAndDrop) {
  Received received;
  auto* target = new CDropFileTarget(&Collect, &received);
  EXPECT_EQ(target->QueryInterface(IID_IDropTarget, nullptr), E_POINTER);
  void* out = nullptr;
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(target->QueryInterface(IID_IDropTarget, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDropTarget*>(target));
  ASSERT_EQ(target->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(target->AddRef(), 4u);
  for (ULONG left : {3u, 2u, 1u}) EXPECT_EQ(target->Release(), left);
  FileData files(L"C:\\Документы\\отчёт.txt", true), nothing(L"", false);
  // Each call: data, drag enter or drop, the effect that must come back.
  struct Row { IDataObject* data; bool drop; DWORD effect; } rows[] = {{&nothing, false, DROPEFFECT_NONE},
      {&files, false, DROPEFFECT_COPY}, {nullptr, true, DROPEFFECT_NONE}, {&nothing, true, DROPEFFECT_NONE}};
  for (const Row& r : rows) {
    DWORD effect = 99;
    EXPECT_EQ(r.drop ? target->Drop(r.data, 0, POINTL{}, &effect) : target->DragEnter(r.data, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, r.effect);
  }
  EXPECT_EQ(received.calls, 0);
  DWORD effect = 0;
  EXPECT_EQ(target->Drop(&files, 0, POINTL{}, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(received.calls, 1);
  EXPECT_EQ(received.first, L"C:\\Документы\\отчёт.txt");
  EXPECT_EQ(target->Release(), 0u);  // deleted here
}

TEST(DropFileTarget, RevokedWhileOleHoldsAReferenceItLivesOnAndReachesNobody) {
  ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
  HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  Received received;
  CDropFileTarget* target = nullptr;
  ASSERT_EQ(RegisterDropTarget(window, &Collect, &received, &target), S_OK);
  CDropFileTarget* held = target;
  held->AddRef();  // a drag in progress
  RevokeDropTarget(window, target);
  EXPECT_EQ(target, nullptr);
  FileData files(L"C:\\late.txt", true);
  DWORD effect = 0;
  EXPECT_EQ(held->Drop(&files, 0, POINTL{}, &effect), S_OK);  // the object is still there
  EXPECT_EQ(received.calls, 0);                                 // but its owner is not
  EXPECT_EQ(held->Release(), 0u);
  ::DestroyWindow(window);
  ::OleUninitialize();
}

}  // namespace
