// Program entry.
#include <windows.h>

#include "app/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  return tovrel::RunTovrel(instance, showCommand, commandLine);
}
