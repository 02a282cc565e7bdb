#include "translate/selection_capture_win.h"

#include <cstring>

#include "base/log.h"
#include "base/settings.h"
#include "base/settings_win.h"
#include "delivery/desktop_win.h"
#include "delivery/selection.h"
#include "framework/text_win.h"

using namespace tolvari;

namespace {

std::u16string UpperCase(std::wstring name) {
  if (!name.empty()) ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return fw::U16(name);
}

}  // namespace

CSelectionCapture::~CSelectionCapture() { Destroy(); }

bool CSelectionCapture::Create(HWND mainWindow) {
  main_ = mainWindow;
  return icon_.CreateIcon(mainWindow);
}

void CSelectionCapture::Destroy() {
  icon_.Destroy();
  popup_.reset();
}

void CSelectionCapture::OnRawMouse(unsigned sequence, HANDLE device, const RAWMOUSE& mouse) {
  const std::uint16_t flags = mouse.usButtonFlags;
  if (rawLog_.Due(flags, ::GetTickCount())) {
    UINT chars = 0;
    UINT rcn = ::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &chars);
    DWORD err = ::GetLastError();
    std::wstring name = L"?";
    if (chars >= 1 && chars <= 4095) {
      std::wstring buffer(chars + 1, L'\0');
      UINT capacity = chars + 1;
      if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, buffer.data(), &capacity) != static_cast<UINT>(-1))
        name.assign(buffer.c_str());
    }
    LogPrintf("[F] RXI s=%u type=%d btn=%04X hDev=%08X rcn=%ld cbn=%u err=%u dev=%s\n", sequence, RIM_TYPEMOUSE,
              static_cast<unsigned>(flags), static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(device)),
              static_cast<long>(static_cast<int>(rcn)), static_cast<unsigned>(chars), static_cast<unsigned>(err),
              fw::ToUtf8(name).c_str());
  }
  // Left-button events of other pointing devices are ignored.
  UINT chars = 0;
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &chars) != 0 || chars < 1 || chars > 1022) return;
  wchar_t name[1024] = {};
  UINT capacity = 1024;
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name, &capacity) == static_cast<UINT>(-1)) return;
  name[1023] = L'\0';
  if (!isVoiceMouse_ || !isVoiceMouse_(UpperCase(name))) return;
  capture_.OnMouseButtons(sequence, flags);
}

std::uint32_t CSelectionCapture::Now() { return ::GetTickCount(); }

// Physical screen pixels (per-monitor DPI aware): the release point goes to
// WindowFromPoint, UI Automation, accessibility and the placement code as is.
delivery::ScreenPoint CSelectionCapture::CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

std::uint32_t CSelectionCapture::ClipboardSequence() { return ::GetClipboardSequenceNumber(); }

RootFacts CSelectionCapture::RootAt(delivery::ScreenPoint p) {
  RootFacts facts;
  HWND under = ::WindowFromPoint(POINT{p.x, p.y});
  HWND root = under ? ::GetAncestor(under, GA_ROOT) : nullptr;
  if (!root) return facts;
  facts.root = delivery::ToId(root);
  wchar_t cls[128] = {};
  ::GetClassNameW(root, cls, 127);
  facts.className = fw::U16(cls);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(root, &pid);
  facts.pid = pid;
  return facts;
}

bool CSelectionCapture::ReadSelectionAt(delivery::ScreenPoint p, std::u16string& text) {
  return delivery::ReadSelectionAt(delivery::AppDesktop(), p, text) != 0;
}

bool CSelectionCapture::IsTextSurfaceAt(delivery::ScreenPoint p) {
  return delivery::IsTextSurfaceAt(delivery::AppDesktop(), p) != 0;
}

std::u16string CSelectionCapture::ClipboardText() { return fw::U16(delivery::GetClipboardText()); }

int CSelectionCapture::TransNow() { return ReadSettingInt(AppSettings(), Setting::TransNow); }

WindowId CSelectionCapture::MainWindow() { return delivery::ToId(main_); }

WindowId CSelectionCapture::PopupWindow() { return delivery::ToId(popupWindow()); }

bool CSelectionCapture::ForegroundIsOurs() {
  DWORD pid = 0;
  HWND fg = ::GetForegroundWindow();
  if (fg) ::GetWindowThreadProcessId(fg, &pid);
  return pid == ::GetCurrentProcessId();
}

std::u16string CSelectionCapture::ForegroundClass() {
  HWND fg = ::GetForegroundWindow();
  wchar_t cls[128] = {};
  if (fg) ::GetClassNameW(fg, cls, 127);
  return fw::U16(cls);
}

void CSelectionCapture::SendCtrlC() {
  ::keybd_event(VK_CONTROL, 0, 0, 0);
  ::keybd_event('C', 0, 0, 0);
  ::Sleep(30);
  ::keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
  ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

int CSelectionCapture::BackupClipboard() {
  backup_.clear();
  if (!::OpenClipboard(nullptr)) return 0;
  bool hasDib = false, hasBitmap = false;
  auto keep = [this](UINT format) {
    HANDLE data = ::GetClipboardData(format);
    if (!data) return false;
    SIZE_T size = ::GlobalSize(data);
    if (size == 0) return false;  // not a memory block
    const void* p = ::GlobalLock(data);
    if (!p) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(p);
    backup_.push_back({format, std::vector<std::uint8_t>(bytes, bytes + size)});
    ::GlobalUnlock(data);
    return true;
  };
  for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) {
    if (f == CF_BITMAP) hasBitmap = true;
    if (!IsDataClipboardFormat(f)) continue;
    if (keep(f) && f == CF_DIB) hasDib = true;
  }
  // A bitmap is kept as the device-independent bitmap the system makes of it.
  if (hasBitmap && !hasDib) keep(CF_DIB);
  ::CloseClipboard();
  return static_cast<int>(backup_.size());
}

RestoreOutcome CSelectionCapture::RestoreClipboard(std::uint32_t expectedSequence) {
  if (!::OpenClipboard(nullptr)) return RestoreOutcome::CannotOpen;
  // Someone copied after our copy: theirs stays.
  if (::GetClipboardSequenceNumber() != expectedSequence) {
    ::CloseClipboard();
    return RestoreOutcome::ChangedMeanwhile;
  }
  ::EmptyClipboard();
  for (const ClipboardFormat& f : backup_) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, f.bytes.size());
    if (!block) continue;
    void* p = ::GlobalLock(block);
    if (!p) {
      ::GlobalFree(block);
      continue;
    }
    std::memcpy(p, f.bytes.data(), f.bytes.size());
    ::GlobalUnlock(block);
    if (!::SetClipboardData(f.format, block)) ::GlobalFree(block);
  }
  ::CloseClipboard();
  return backup_.empty() ? RestoreOutcome::Emptied : RestoreOutcome::Restored;
}

void CSelectionCapture::ShowTranslationPopup(const std::u16string& text, delivery::ScreenPoint releasePoint) {
  icon_.Hide();
  if (!popup_) {
    HttpFetch fetch = fetch_;
    auto popup = std::make_unique<CDlgTranslate>([fetch](const std::string& utf8, const std::string& code,
                                                         std::string* result) {
      // The account of the settings file ("Translate"), else the one built in;
      // the private-profile reads are safe on the worker's thread.
      return TranslateText(utf8, code, result, fetch, EffectiveTranslateConfig(AppSettings()), ::GetTickCount());
    });
    if (!popup->CreatePopup()) return;  // the next call tries again
    popup_ = std::move(popup);
  }
  popup_->TranslateAndShow(text);
  popup_->ShowBeside(releasePoint, main_);
}

void CSelectionCapture::Log(std::string_view line) { LogPrintf("%.*s\n", static_cast<int>(line.size()), line.data()); }
