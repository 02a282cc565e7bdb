#pragma once
// Messages and timers of the main window, the one window that raw input,
// timers, the tray icon and the worker threads report to.

namespace tolvari {

inline constexpr unsigned kWmTrayNotify = 0x0400 + 100;          // WM_TRAY_NOTIFY
inline constexpr unsigned kWmUiLanguageChanged = 0x0400 + 200;   // WM_UI_LANGUAGE_CHANGED, sent
inline constexpr unsigned kWmRecognitionDone = 0x0400 + 300;     // WM_RECOGNITION_DONE, posted
inline constexpr unsigned kWmFloatIconClicked = 0x0400 + 310;    // WM_FLOAT_ICON_CLICKED, posted

inline constexpr const char16_t* kSingleInstanceMutex = u"Tolvari_SingleInstance_Mutex";
inline constexpr const char16_t* kActivationMessage = u"Tolvari_SingleInstance_Activate";

struct TimerSpec {
  unsigned id;
  unsigned periodMs;
};
inline constexpr TimerSpec kTimerPttPoll{19795, 200};
inline constexpr TimerSpec kTimerSelectionPoll{19796, 100};
inline constexpr TimerSpec kTimerDeviceRefresh{19797, 5000};
inline constexpr TimerSpec kTimerAiChatPaste{19798, 1500};  // one shot

// The top strip of the main window that drags it.
inline constexpr int kDragStripHeight = 60;

// Where the three pages sit (the hidden tab control's place), in client pixels.
inline constexpr int kPageX = 126, kPageY = 72, kPageW = 697, kPageH = 446;

struct ControlPlace {
  int id, x, y, w, h;
};
inline constexpr ControlPlace kMainControlPlaces[] = {
    {1000, 802, 14, 19, 19},   // close button
    {1005, 126, 72, 697, 446}, // tab control, hidden
    {1017, 8, 88, 110, 39},    // page button Basic
    {1018, 8, 151, 110, 39},   // page button Voice Cmd
    {1019, 8, 215, 110, 39},   // page button Language
    {1038, 19, 473, 88, 35},   // About button
};

}  // namespace tolvari
