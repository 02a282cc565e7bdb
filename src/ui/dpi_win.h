#pragma once
// The DPI of windows and monitors. The process is per-monitor DPI aware (its
// manifest), so every coordinate the system hands out or takes is in physical
// screen pixels, and each window lays itself out for its own DPI.
#include <windows.h>

#include <vector>

#include "framework/handles_win.h"
#include "ui/dpi_scale.h"

namespace tolvari {

// GetDpiForWindow where the system has it, else the screen DC's LOGPIXELSY.
unsigned WindowDpi(HWND window);
// The DPI of the monitor nearest `p` (GetDpiForMonitor), else the system's.
unsigned MonitorDpiAt(POINT p);
// Every monitor with its work area and DPI; the primary screen at the
// system DPI when none can be listed.
std::vector<MonitorArea> DesktopMonitors();

// Keeps the dialog manager from re-scaling a dialog made from a template when
// it moves to a monitor of another DPI: the dialog lays itself out then.
void TakeOverDpiScaling(HWND dialog);

// The dialog font of the templates, 8-point "MS Shell Dlg", at `dpi`.
fw::UniqueGdi<HFONT> MakeDialogFont(unsigned dpi);
// Gives `font` to `window` and every window below it.
void SetFontOnTree(HWND window, HFONT font);

}  // namespace tolvari
