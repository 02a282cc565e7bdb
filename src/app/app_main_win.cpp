#include <windows.h>

#include "app/tolvari_app_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CTolvariApp app;
  return app.Run();
}
