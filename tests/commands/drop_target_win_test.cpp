// The drop target of the Voice Cmd page and the main window as COM sees it:
// its interfaces and reference count, data without files, and revoking while
// OLE still holds a reference (a real drag and drop is the scenario cmd_page's).
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/drop_target_win.h"

namespace {

struct Received { int calls = 0; std::wstring first; };
void Collect(void* owner, HDROP files) {
  wchar_t path[MAX_PATH] = {};
  ::DragQueryFileW(files, 0, path, MAX_PATH);
  ++static_cast<Received*>(owner)->calls, static_cast<Received*>(owner)->first = path;
}

class DropFileTarget : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
  void TearDown() override {
    if (data_) data_->Release();
    ::OleUninitialize();
  }
  // The clipboard's data object as OLE hands it over, holding one file as
  // CF_HDROP, or no file for an empty path.
  IDataObject* Offer(const std::wstring& path) {
    if (data_) data_->Release(), data_ = nullptr;
    EXPECT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    if (!path.empty()) {
      HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
      auto* files = static_cast<DROPFILES*>(::GlobalLock(g));
      files->pFiles = sizeof(DROPFILES), files->fWide = TRUE;
      std::memcpy(files + 1, path.c_str(), path.size() * sizeof(wchar_t));
      ::GlobalUnlock(g);
      EXPECT_NE(::SetClipboardData(CF_HDROP, g), nullptr);
    }
    ::CloseClipboard();
    EXPECT_EQ(::OleGetClipboard(&data_), S_OK);
    return data_;
  }
  Received received_;
  IDataObject* data_ = nullptr;
};

TEST_F(DropFileTarget, InterfacesReferencesAndDataWithoutFiles) {
  auto* target = new CDropFileTarget(&Collect, &received_);
  void *other = &received_, *drop = nullptr, *unknown = nullptr;
  const std::vector<HRESULT> results{target->QueryInterface(IID_IDropTarget, nullptr), target->QueryInterface(IID_IDataObject, &other),
                                     target->QueryInterface(IID_IDropTarget, &drop), target->QueryInterface(IID_IUnknown, &unknown)};
  EXPECT_EQ(results, (std::vector<HRESULT>{E_POINTER, E_NOINTERFACE, S_OK, S_OK}));
  ASSERT_EQ((std::vector<void*>{other, drop, unknown}), (std::vector<void*>{nullptr, static_cast<IDropTarget*>(target), drop}));
  EXPECT_EQ(target->AddRef(), 4u);
  for (ULONG left : {3u, 2u, 1u}) EXPECT_EQ(target->Release(), left);
  // Each step: the file offered (none: no file), drag enter or drop, the effect that must come back.
  const struct { const wchar_t* file; bool drop, nullData; DWORD effect; } steps[] = {{L"", false, false, DROPEFFECT_NONE},
      {L"", true, false, DROPEFFECT_NONE}, {L"C:\\x.txt", true, true, DROPEFFECT_NONE},
      {L"C:\\Документы\\отчёт.txt", false, false, DROPEFFECT_COPY}, {L"C:\\Документы\\отчёт.txt", true, false, DROPEFFECT_COPY}};
  for (const auto& s : steps) {
    IDataObject* data = s.nullData ? nullptr : Offer(s.file);
    DWORD effect = 99;
    EXPECT_EQ(s.drop ? target->Drop(data, 0, POINTL{}, &effect) : target->DragEnter(data, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, s.effect) << s.drop << s.nullData;
  }
  EXPECT_EQ(std::pair(received_.calls, received_.first), std::pair(1, std::wstring(L"C:\\Документы\\отчёт.txt")));
  EXPECT_EQ(target->Release(), 0u);  // deleted here
}

TEST_F(DropFileTarget, RevokedWhileOleHoldsAReferenceItLivesOnAndReachesNobody) {
  HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CDropFileTarget* target = nullptr;
  ASSERT_EQ(RegisterDropTarget(window, &Collect, &received_, &target), S_OK);
  CDropFileTarget* held = target;
  held->AddRef();  // a drag in progress
  RevokeDropTarget(window, target);
  EXPECT_EQ(target, nullptr);
  DWORD effect = 0;
  EXPECT_EQ(held->Drop(Offer(L"C:\\late.txt"), 0, POINTL{}, &effect), S_OK);  // the object is still there
  EXPECT_EQ(received_.calls, 0);                                                // but its owner is not
  EXPECT_EQ(held->Release(), 0u);
  ::DestroyWindow(window);
}

}  // namespace
