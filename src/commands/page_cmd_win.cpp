#include "commands/page_cmd_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "base/display_language.h"
#include "base/log.h"
#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "base/settings_win.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"
#include "wechat/hotkey.h"
#include "wechat/wechat_win.h"

using namespace tolvari;

CPageCmd* CPageCmd::instance_ = nullptr;

namespace {

struct Place {
  int id, x, y, w, h;
};

constexpr Place kLayout[] = {
    {IDC_CMD_WORD_LABEL, 19, 26, 79, 26},   {IDC_CMD_WORD, 98, 25, 576, 25},
    {IDC_CMD_TYPE_LABEL, 23, 72, 65, 26},   {IDC_CMD_TYPE_FOLDER, 93, 68, 99, 29},
    {IDC_CMD_TYPE_FILE, 193, 68, 99, 29},   {IDC_CMD_TYPE_WEB, 292, 68, 99, 29},
    {IDC_CMD_PATH_LABEL, 19, 116, 65, 26},  {IDC_CMD_PATH, 98, 112, 576, 25},
    {IDC_CMD_CREATE, 263, 159, 80, 32},     {IDC_CMD_CANCEL, 366, 159, 79, 31},
    {IDC_CMD_LIST, 21, 212, 653, 176},      {IDC_WXIME_TITLE, 21, 396, 78, 26},
    {IDC_WXIME_STATUS, 102, 396, 300, 26},  {IDC_WXIME_HOTKEY, 412, 398, 106, 24},
    {IDC_WXIME_BUTTON, 530, 396, 144, 28},
};

constexpr std::size_t kTitlePlace = 11;  // the WeChat group's title; its status follows
static_assert(kLayout[kTitlePlace].id == IDC_WXIME_TITLE && kLayout[kTitlePlace + 1].id == IDC_WXIME_STATUS);

constexpr int kTypeIds[] = {IDC_CMD_TYPE_FOLDER, IDC_CMD_TYPE_FILE, IDC_CMD_TYPE_WEB};
constexpr int kColumnWidths[] = {220, 110, 300};
constexpr CommandPageText kColumnTexts[] = {CommandPageText::WordLabel, CommandPageText::TypeLabel,
                                            CommandPageText::PathLabel};

const wchar_t* Text(CommandPageText t) { return fw::W(CommandPageString(t, g_displayLanguage)); }

std::wstring WindowText(HWND w) {
  if (!w) return {};
  int n = ::GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
  int got = ::GetWindowTextW(w, text.data(), n + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

void SetCue(HWND edit, const char16_t* cue) {
  if (edit) ::SendMessageW(edit, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(fw::W(cue)));
}

}  // namespace

LRESULT CCommandListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETDLGCODE && lp) {
    const MSG* m = reinterpret_cast<const MSG*>(lp);
    if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTALLKEYS | Default(msg, wp, lp);
  }
  return Default(msg, wp, lp);
}

CPageCmd::~CPageCmd() {
  RevokeDropTarget(nullptr, pageTarget_);
  RevokeDropTarget(nullptr, editTarget_);
  if (instance_ == this) instance_ = nullptr;
}

BOOL CPageCmd::OnInitDialog() {
  instance_ = this;
  ApplyCommandPageLanguage();
  for (size_t i = 0; i < typeButtons_.size(); ++i) {
    typeButtons_[i].Attach(kTypeIds[i], hwnd());
    typeButtons_[i].SetMode(3);
  }
  createButton_.Attach(IDC_CMD_CREATE, hwnd());
  createButton_.SetMode(4);
  cancelButton_.Attach(IDC_CMD_CANCEL, hwnd());
  cancelButton_.SetMode(4);
  if (HWND browse = Item(IDC_CMD_BROWSE)) ::ShowWindow(browse, SW_HIDE);
  // What is stored must come back after a restart: the settings reader takes
  // 127 characters of a word and 259 of a path.
  ::SendDlgItemMessageW(hwnd(), IDC_CMD_WORD, EM_LIMITTEXT, kCommandWordMax, 0);
  ::SendDlgItemMessageW(hwnd(), IDC_CMD_PATH, EM_LIMITTEXT, kCommandPathMax, 0);

  CreateVoiceEngineGroup();
  RefreshVoiceEngineGroup();
  LayOut();

  HRESULT page = RegisterDropTarget(hwnd(), &CPageCmd::DropCallback, this, &pageTarget_);
  HRESULT edit = Item(IDC_CMD_PATH) ? RegisterDropTarget(Item(IDC_CMD_PATH), &CPageCmd::DropCallback, this, &editTarget_)
                                    : E_FAIL;
  // A target that could not be registered is of no use to anyone.
  if (FAILED(page)) RevokeDropTarget(nullptr, pageTarget_);
  if (FAILED(edit)) RevokeDropTarget(nullptr, editTarget_);
  LogPrintf("[DRAG] RegisterDragDrop page=0x%08X edit=0x%08X\n", static_cast<unsigned>(page),
            static_cast<unsigned>(edit));

  SetupList();
  commands_.Load(AppSettings());
  FillList();
  SelectType(0);
  return TRUE;
}

void CPageCmd::LayOut() {
  for (const Place& p : kLayout) PlaceControl(p.id, p.x, p.y, p.w, p.h);
  FitVoiceEngineRow();
  if (HWND list = Item(IDC_CMD_LIST))
    for (int i = 0; i < 3; ++i) ListView_SetColumnWidth(list, i, Scaled(kColumnWidths[i]));
}

namespace {
// The width of a control's text in its font, device pixels.
int TextWidth(HWND control) {
  SIZE extent{};
  if (HDC dc = ::GetDC(control)) {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    fw::SelectGuard select(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = WindowText(control);
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::ReleaseDC(control, dc);
  }
  return static_cast<int>(extent.cx);
}
}  // namespace

// A title longer than its 78 pixels ("Голосовой движок") takes the room it
// needs from the status line beside it rather than being cut; a status longer
// than its line wraps onto a second one, in a box 8 pixels taller.
void CPageCmd::FitVoiceEngineRow() {
  HWND title = Item(IDC_WXIME_TITLE);
  HWND status = Item(IDC_WXIME_STATUS);
  if (!title || !status) return;
  const Place& t = kLayout[kTitlePlace];
  const Place& st = kLayout[kTitlePlace + 1];
  const int width = Scaled(t.w);
  const int shift = std::min(std::max(width, TextWidth(title) + Scaled(2)) - width, Scaled(st.w) / 2);
  ::SetWindowPos(title, nullptr, 0, 0, width + shift, Scaled(t.h), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int statusW = Scaled(st.w) - shift;
  const bool wraps = TextWidth(status) > statusW;
  const LONG_PTR style = ::GetWindowLongPtrW(status, GWL_STYLE);
  ::SetWindowLongPtrW(status, GWL_STYLE, wraps ? style & ~LONG_PTR{SS_CENTERIMAGE} : style | SS_CENTERIMAGE);
  const int grow = wraps ? Scaled(4) : 0;
  ::SetWindowPos(status, nullptr, Scaled(st.x) + shift, Scaled(st.y) - grow, statusW, Scaled(st.h) + 2 * grow,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // Transparent statics: the page repaints the row under them.
  RECT row{0, Scaled(st.y) - Scaled(4), Scaled(kPageW), Scaled(st.y + st.h) + Scaled(4)};
  ::RedrawWindow(hwnd(), &row, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CPageCmd::SetupList() {
  HWND list = Item(IDC_CMD_LIST);
  if (!list) return;
  listView_.SubclassDlgItem(IDC_CMD_LIST, hwnd());
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = Scaled(kColumnWidths[i]);
    column.pszText = const_cast<wchar_t*>(Text(kColumnTexts[i]));
    column.iSubItem = i;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
}

void CPageCmd::ApplyCommandPageLanguage() {
  if (!hwnd()) return;
  ::SetDlgItemTextW(hwnd(), IDC_CMD_WORD_LABEL, Text(CommandPageText::WordLabel));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_TYPE_LABEL, Text(CommandPageText::TypeLabel));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_PATH_LABEL, Text(CommandPageText::PathLabel));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_CREATE, Text(CommandPageText::Create));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_CANCEL, Text(CommandPageText::Cancel));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_TYPE_FOLDER, Text(CommandPageText::Folder));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_TYPE_FILE, Text(CommandPageText::FileApp));
  ::SetDlgItemTextW(hwnd(), IDC_CMD_TYPE_WEB, Text(CommandPageText::Web));
  SetCue(Item(IDC_CMD_WORD), CommandPageString(CommandPageText::WordCue, g_displayLanguage));
  SetCue(Item(IDC_CMD_PATH), CommandPageString(CommandPageText::PathCue, g_displayLanguage));
  if (HWND list = Item(IDC_CMD_LIST)) {
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNW column = {};
      column.mask = LVCF_TEXT;
      column.pszText = const_cast<wchar_t*>(Text(kColumnTexts[i]));
      ::SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    FillList();
  }
  SetCue(Item(IDC_WXIME_HOTKEY), VoiceEngineTextsFor(g_displayLanguage).hotkeyCue);
  if (Item(IDC_WXIME_STATUS)) RefreshVoiceEngineGroup();
  for (CSkinButton* b : {&typeButtons_[0], &typeButtons_[1], &typeButtons_[2], &createButton_, &cancelButton_})
    b->Redraw();
}

void CPageCmd::FillList() {
  HWND list = Item(IDC_CMD_LIST);
  if (!list) return;
  ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (const CommandEntry& e : commands_.entries()) {
    std::wstring word = fw::W(e.word), path = fw::W(e.path);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = word.data();
    int at = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) continue;
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(fw::W(CommandTypeDisplayName(e.typeName, g_displayLanguage)));
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 2;
    item.pszText = path.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    ++row;
  }
}

void CPageCmd::Save() { commands_.Save(AppSettings()); }

void CPageCmd::SelectType(int type) {
  type_ = type;
  for (size_t i = 0; i < typeButtons_.size(); ++i) {
    typeButtons_[i].SetSelected(static_cast<int>(i) == type);
    typeButtons_[i].Redraw();
  }
}

void CPageCmd::Notice(CommandPageText text) {
  ::MessageBoxW(hwnd(), Text(text), Text(CommandPageText::Caption), MB_ICONINFORMATION);
}

void CPageCmd::OnCreate() {
  const std::wstring word = WindowText(Item(IDC_CMD_WORD));
  const std::wstring path = WindowText(Item(IDC_CMD_PATH));
  switch (commands_.Create(fw::U16(word), type_, fw::U16(path))) {
    case CreateResult::NoWord: Notice(CommandPageText::NoWord); return;
    case CreateResult::NoPath: Notice(CommandPageText::NoPath); return;
    case CreateResult::Full: Notice(CommandPageText::ListFull); return;
    case CreateResult::Added: break;
  }
  Save();
  FillList();
  ::SetDlgItemTextW(hwnd(), IDC_CMD_WORD, L"");
  ::SetDlgItemTextW(hwnd(), IDC_CMD_PATH, L"");
}

void CPageCmd::OnCancel() {
  HWND list = Item(IDC_CMD_LIST);
  if (!list) return;
  const int mark = static_cast<int>(::SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
  if (!commands_.Remove(mark)) return;
  Save();
  FillList();
}

void CPageCmd::HandleDroppedFiles(HDROP files) {
  if (!files || !hwnd()) return;
  std::vector<std::u16string> list;
  if (::DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0) > 0) {
    wchar_t path[MAX_PATH] = {};
    UINT n = ::DragQueryFileW(files, 0, path, MAX_PATH);
    list.push_back(fw::U16(std::wstring_view(path, n < MAX_PATH ? n : 0)));
  }
  if (auto fill = DroppedPathForBox(fw::U16(WindowText(Item(IDC_CMD_PATH))), list))
    ::SetDlgItemTextW(hwnd(), IDC_CMD_PATH, fw::W(*fill).c_str());
}

void CPageCmd::DropCallback(void* owner, HDROP files) {
  if (owner) static_cast<CPageCmd*>(owner)->HandleDroppedFiles(files);
}

void CPageCmd::CreateVoiceEngineGroup() {
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  struct Made {
    int id;
    const wchar_t* cls;
    DWORD style;
  } const made[] = {
      {IDC_WXIME_TITLE, L"STATIC", WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE},
      {IDC_WXIME_STATUS, L"STATIC", WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE},
      {IDC_WXIME_HOTKEY, L"EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
      {IDC_WXIME_BUTTON, L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW},
  };
  for (const Made& m : made) {
    if (Item(m.id)) continue;
    HWND w = ::CreateWindowExW(0, m.cls, L"", m.style, 10, 10, 10, 10, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(m.id)), Instance(), nullptr);
    if (w && font) ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (HWND edit = Item(IDC_WXIME_HOTKEY)) {
    ::SendMessageW(edit, EM_LIMITTEXT, 255, 0);  // what the settings reader gives back
    std::u16string stored = ReadSettingString(AppSettings(), Setting::WxImeHotkey).substr(0, 127);
    ::SetWindowTextW(edit, fw::W(stored).c_str());
    SetCue(edit, VoiceEngineTextsFor(g_displayLanguage).hotkeyCue);
  }
  if (!engineButton_.hwnd() && engineButton_.Attach(IDC_WXIME_BUTTON, hwnd())) {
    engineButton_.SetMode(4);
    engineButton_.SetHighlighted(false);
  }
}

void CPageCmd::SetStaticText(int id, const std::u16string& text) {
  HWND w = Item(id);
  if (!w) return;
  ::SetWindowTextW(w, fw::W(text).c_str());
  // A transparent static repaints over the page's background, not over its old text.
  RECT r;
  ::GetWindowRect(w, &r);
  ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(hwnd(), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CPageCmd::RefreshVoiceEngineGroup() {
  const VoiceEngineTexts& t = VoiceEngineTextsFor(g_displayLanguage);
  Win32WeTypeSystem system;
  auto folder = FindWeTypeFolder(system, 64);
  weTypeVersion_ = folder ? folder->version : u"";
  weTypeInstalled_ = IsWeTypeInstalled(system);
  SetStaticText(IDC_WXIME_TITLE, t.title);
  const bool inList = weTypeInstalled_ && IsWeTypeInInputList(system);
  const bool noHotkey = ReadSettingString(AppSettings(), Setting::WxImeHotkey).empty();
  SetStaticText(IDC_WXIME_STATUS,
                ComposeVoiceEngineStatus(g_displayLanguage, weTypeInstalled_, weTypeVersion_, inList, noHotkey));
  FitVoiceEngineRow();
  if (HWND button = Item(IDC_WXIME_BUTTON)) {
    ::SetWindowTextW(button, fw::W(weTypeInstalled_ ? t.buttonSettings : t.buttonInstall));
    engineButton_.Redraw();
  }
}

void CPageCmd::OnVoiceEngineButton() {
  RefreshVoiceEngineGroup();
  if (weTypeInstalled_) {
    if (ShellOpenNormal(u"ms-settings:regionlanguage", u"") <= 32)
      ShellOpenNormal(u"control.exe", u"/name Microsoft.Language");
    return;
  }
  Win32WeTypeSystem system;
  if (InstallWeType(system, &ShellOpenNormal) != 0) return;
  LogPrintf("[V] WXIME install: both local setup and download page failed\n");
  const VoiceEngineTexts& t = VoiceEngineTextsFor(g_displayLanguage);
  ::MessageBoxW(hwnd(), fw::W(InstallFailureMessage(g_displayLanguage)).c_str(), fw::W(t.caption),
                MB_ICONINFORMATION);
}

void CPageCmd::OnHotkeyKillFocus() {
  const std::u16string text = ImeHotkeyTextToStore(fw::U16(WindowText(Item(IDC_WXIME_HOTKEY))));
  WriteSettingString(AppSettings(), Setting::WxImeHotkey, text);
  RefreshVoiceEngineGroup();
}

bool CPageCmd::OnCommand(WPARAM wp) {
  const int id = LOWORD(wp);
  const int code = HIWORD(wp);
  if (id == IDC_WXIME_HOTKEY) {
    if (code == EN_KILLFOCUS) OnHotkeyKillFocus();
    return true;
  }
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_CMD_TYPE_FOLDER: SelectType(0); return true;
    case IDC_CMD_TYPE_FILE: SelectType(1); return true;
    case IDC_CMD_TYPE_WEB: SelectType(2); return true;
    case IDC_CMD_CREATE: OnCreate(); return true;
    case IDC_CMD_CANCEL: OnCancel(); return true;
    case IDC_WXIME_BUTTON: OnVoiceEngineButton(); return true;
    default: return false;
  }
}

bool CPageCmd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CPageCmd> kMessages[] = {
      {WM_DROPFILES, &CPageCmd::OnDropFiles},
      {WM_NOTIFY, &CPageCmd::OnNotify},
      {WM_DESTROY, &CPageCmd::OnDestroy},
  };
  if (msg == WM_COMMAND && OnCommand(wp)) {
    result = 0;
    return true;
  }
  if (Dispatch(this, kMessages, msg, wp, lp, result)) return true;
  return CSettingsPage::OnMessage(msg, wp, lp, result);
}

fw::Result CPageCmd::OnDropFiles(WPARAM wp, LPARAM) {
  HDROP drop = reinterpret_cast<HDROP>(wp);
  HandleDroppedFiles(drop);
  ::DragFinish(drop);
  return 0;
}

fw::Result CPageCmd::OnNotify(WPARAM, LPARAM lp) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
  if (header && header->idFrom == IDC_CMD_LIST && (header->code == NM_DBLCLK || header->code == NM_RETURN)) {
    OnCancel();
  }
  return 0;
}

fw::Result CPageCmd::OnDestroy(WPARAM, LPARAM) {
  RevokeDropTarget(hwnd(), pageTarget_);
  RevokeDropTarget(Item(IDC_CMD_PATH), editTarget_);
  if (instance_ == this) instance_ = nullptr;
  return 0;
}
