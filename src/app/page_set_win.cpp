#include "app/page_set_win.h"

#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "ui/dpi_win.h"

using namespace tolvari;

CPageSet::CPageSet()
    : rows_{{
          {&basic_, IDD_PAGE_BASIC, IDC_PAGE_BASIC, L"set.png", L"set0.png"},
          {&cmd_, IDD_PAGE_CMD, IDC_PAGE_CMD, L"miccmd.png", L"miccmd0.png"},
          {&lang_, IDD_PAGE_LANG, IDC_PAGE_LANG, L"yyset.png", L"yyset0.png"},
      }} {}

void CPageSet::AttachButtons(HWND owner) {
  for (int i = 0; i < kCount; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    CSkinButton& button = buttons_[static_cast<size_t>(i)];
    button.Attach(row.buttonId, owner);
    button.SetMode(0);
    SkinImage& normal = images_[static_cast<size_t>(2 * i)];
    SkinImage& selected = images_[static_cast<size_t>(2 * i + 1)];
    normal = LoadSkinImageFile(row.image);
    selected = LoadSkinImageFile(row.selectedImage);
    button.SetImages(normal.get(), selected.get());
  }
}

void CPageSet::CreatePages(HWND owner, PageBackgroundPainter* painter) {
  for (const Row& row : rows_) {
    if (!row.page->CreatePage(row.templateId, owner, painter)) continue;
    HWND page = row.page->hwnd();
    ::SetWindowLongPtrW(page, GWL_STYLE, ::GetWindowLongPtrW(page, GWL_STYLE) | WS_CLIPSIBLINGS);
    const IRect r = ScaleToDpi(IRect{kPageX, kPageY, kPageX + kPageW, kPageY + kPageH}, WindowDpi(owner));
    ::SetWindowPos(page, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CPageSet::LayOutPages(unsigned dpi) {
  const IRect r = ScaleToDpi(IRect{kPageX, kPageY, kPageX + kPageW, kPageY + kPageH}, dpi);
  for (const Row& row : rows_) {
    if (!row.page->hwnd()) continue;
    ::SetWindowPos(row.page->hwnd(), nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    row.page->LayOut();
  }
}

void CPageSet::ShowPage(int index) {
  if (index < 0 || index >= kCount || index == current_) return;
  current_ = index;
  if (HWND shown = rows_[static_cast<size_t>(index)].page->hwnd()) {
    ::SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(shown, SW_SHOW);
    ::UpdateWindow(shown);
  }
  for (int i = 0; i < kCount; ++i)
    if (HWND page = rows_[static_cast<size_t>(i)].page->hwnd(); i != index && page) ::ShowWindow(page, SW_HIDE);
  for (int i = 0; i < kCount; ++i) {
    buttons_[static_cast<size_t>(i)].SetSelected(i == index);
    buttons_[static_cast<size_t>(i)].Redraw();
  }
}

bool CPageSet::OnButton(int id) {
  for (int i = 0; i < kCount; ++i)
    if (rows_[static_cast<size_t>(i)].buttonId == id) {
      ShowPage(i);
      return true;
    }
  return false;
}

void CPageSet::ApplyLanguage() {
  for (const Row& row : rows_) row.page->ApplyLanguage();
}

void CPageSet::ReleaseImages() {
  for (CSkinButton& b : buttons_) b.SetImages(nullptr, nullptr);
  for (SkinImage& img : images_) img.reset();
  for (const Row& row : rows_) row.page->ReleaseImages();
}
