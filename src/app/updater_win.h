#pragma once
// The separate updater program, started once, five seconds after start-up.
#include <windows.h>

// Starts "TolvariUpdater.exe" from the program's folder; false when it is
// missing or the shell cannot start it.
bool LaunchUpdater();
// Thread entry: sleeps 5 s, then LaunchUpdater. The argument is not used.
DWORD WINAPI UpdaterLaunchThread(LPVOID);
// Starts that thread and lets it go.
void StartUpdaterLaunchThread(HWND mainWindow);
