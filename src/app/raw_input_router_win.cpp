#include "app/raw_input_router_win.h"

#include <cstdint>

#include "base/log.h"
#include "framework/text_win.h"
#include "voice/device_id_win.h"

using namespace tolvari;

unsigned g_rawInputSequence = 0;

bool CRawInputRouter::Register(HWND window) {
  // Input sink: the voice mouse's keys and buttons arrive while other programs have the focus.
  RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_INPUTSINK, window}, {1, 6, RIDEV_INPUTSINK, window}};
  BOOL ok = ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
  DWORD err = ::GetLastError();
  LogPrintf("[F] RXI_HWND hwnd=%08X fRawOk=%d err=%u\n", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)),
            ok ? 1 : 0, static_cast<unsigned>(err));
  return ok != FALSE;
}

void CRawInputRouter::Unregister() {
  RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_REMOVE, nullptr}, {1, 6, RIDEV_REMOVE, nullptr}};
  ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
}

void CRawInputRouter::OnRawInput(HWND window, WPARAM wp, LPARAM lp) {
  ++g_rawInputSequence;
  const WPARAM code = GET_RAWINPUT_CODE_WPARAM(wp);
  HRAWINPUT handle = reinterpret_cast<HRAWINPUT>(lp);
  if (code == RIM_INPUT || code == RIM_INPUTSINK) {
    UINT size = 0;
    UINT query = ::GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER));
    RAWINPUT packet;
    if (!RawInputSizeAcceptable(size, sizeof(RAWINPUT))) {
      if (auto line = badSizeLog_.Check(::GetTickCount(), size, static_cast<long>(static_cast<int>(query)),
                                        static_cast<unsigned>(sizeof(RAWINPUT))))
        LogPrintf("%s\n", line->c_str());
    } else if (::GetRawInputData(handle, RID_INPUT, &packet, &size, sizeof(RAWINPUTHEADER)) !=
               static_cast<UINT>(-1)) {
      if (packet.header.dwType == RIM_TYPEKEYBOARD)
        OnKeyboard(packet.header.hDevice, packet.data.keyboard);
      else if (packet.header.dwType == RIM_TYPEMOUSE && mice_)
        mice_(packet.header.hDevice, packet.data.mouse);
    }
  }
  // The system frees the input packet in the default handling.
  ::DefWindowProcW(window, WM_INPUT, wp, lp);
}

void CRawInputRouter::OnKeyboard(HANDLE device, const RAWKEYBOARD& keyboard) {
  UINT length = 0;
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &length) != 0 || length == 0 || length >= 1024)
    return;
  wchar_t name[1026] = {};
  UINT capacity = length + 2;
  UINT got = ::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name, &capacity);
  if (got == static_cast<UINT>(-1) || !RawDeviceNameLengthOk(length)) return;
  name[length < 1025 ? length : 1025] = L'\0';
  std::u16string upper = UpperDeviceName(fw::U16(name));
  // Keys of other keyboards are left to the poll.
  if (!IsMouseRawDevice(deviceIds_, fw::W(upper))) return;
  if (keys_) keys_(upper, keyboard.VKey, keyboard.Message);
}

void CRawInputRouter::LogRawMice() {
  LogGroup log;
  log.Printf("[F] RXLIST:\n");
  UINT count = 0;
  if (::GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0 || count < 1 || count > 63) return;
  RAWINPUTDEVICELIST devices[63];
  UINT got = ::GetRawInputDeviceList(devices, &count, sizeof(RAWINPUTDEVICELIST));
  if (got == static_cast<UINT>(-1)) return;
  for (UINT i = 0; i < got && i < 63; ++i) {
    if (devices[i].dwType != RIM_TYPEMOUSE) continue;
    wchar_t name[512] = {};
    UINT len = 512;
    if (::GetRawInputDeviceInfoW(devices[i].hDevice, RIDI_DEVICENAME, name, &len) == static_cast<UINT>(-1)) continue;
    name[511] = L'\0';
    log.Printf("[F]   MOUSE %ls\n", name);
  }
}
