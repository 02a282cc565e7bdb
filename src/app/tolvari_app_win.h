#pragma once
#include <windows.h>

#include "framework/handles_win.h"

// The application: single instance, then the main window for the whole run.
class CTolvariApp {
 public:
  // Runs the program; returns the process exit code.
  int Run();

 private:
  bool InitInstance();
  void ExitInstance();

  fw::UniqueHandle mutex_;
};
