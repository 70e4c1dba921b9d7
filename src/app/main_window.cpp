#include "app/main_window.h"

#include <windowsx.h>

#include "resource_ids.h"

namespace tovrel {

namespace {

struct MainWindowState {
  HINSTANCE instance = nullptr;
  HMENU menu = nullptr;
};

BOOL OnCreate(HWND hwnd, LPCREATESTRUCTW create) {
  auto* state = static_cast<MainWindowState*>(create->lpCreateParams);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->menu = LoadMenuW(state->instance, MAKEINTRESOURCEW(IDM_MENU_JAPANESE));
  SetMenu(hwnd, state->menu);
  return TRUE;
}

void OnCommand(HWND hwnd, int id, HWND, UINT) {
  switch (id) {
    case IDM_END:
    case IDM_EXIT:
      DestroyWindow(hwnd);
      break;
    default:
      break;
  }
}

void OnDestroy(HWND) { PostQuitMessage(0); }

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<LPCREATESTRUCTW>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  switch (message) {
    HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
    HANDLE_MSG(hwnd, WM_COMMAND, OnCommand);
    HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOVREL));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  wc.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
  return RegisterClassExW(&wc) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                      int showCommand) {
  static MainWindowState state;  // one main window per process
  state.instance = instance;
  HWND hwnd = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                              CW_USEDEFAULT, 0, nullptr, nullptr, instance, &state);
  if (!hwnd) return nullptr;
  ShowWindow(hwnd, showCommand);
  UpdateWindow(hwnd);
  return hwnd;
}

}  // namespace tovrel
