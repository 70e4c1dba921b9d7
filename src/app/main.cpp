// Program entry: registers the main window's class, creates the window and
// runs the message loop with the accelerators of table 109.
#include <windows.h>

#include "app/main_window.h"
#include "resource_ids.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  wchar_t title[100] = L"";
  wchar_t className[100] = L"";
  LoadStringW(instance, IDS_APP_TITLE, title, 100);
  LoadStringW(instance, IDS_WINDOW_CLASS, className, 100);

  if (!tovrel::RegisterMainWindowClass(instance, className)) return 0;
  HWND window = tovrel::CreateMainWindow(instance, className, title, showCommand);
  if (!window) return 0;

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
