#include "app_harness.h"

#include <vector>

#include <commctrl.h>
#include <shlobj.h>

#include "app/main_window.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

#ifndef TOVREL_DIST_DIR
#error "TOVREL_DIST_DIR names the folder of the shipped files"
#endif

namespace tovrel::test {

namespace {

std::wstring Widen(const char* utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

}  // namespace

// The dist folder as a Windows path (the build passes a Unix path).
std::wstring DistDir() {
  std::wstring unix = Widen(TOVREL_DIST_DIR);
  if (!unix.empty() && unix[0] == L'/') {
    std::wstring dos = L"Z:" + unix;
    for (wchar_t& c : dos) {
      if (c == L'/') c = L'\\';
    }
    return dos;
  }
  return unix;
}

namespace {

struct FindArgs {
  std::wstring caption;
  bool anyCaption;
  HWND except;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM lParam) {
  auto* args = reinterpret_cast<FindArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || window == args->except) return TRUE;
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  if (wcscmp(cls, L"#32770") != 0) return TRUE;
  if (args->anyCaption || TextOf(window) == args->caption) args->found.push_back(window);
  return TRUE;
}

}  // namespace

Workspace::Workspace() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  dir_ = std::wstring(temp) + L"tovrel-ws-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter);
  RemoveTree(dir_);
  CreateDirectoryW(dir_.c_str(), nullptr);
  // The shipped data files, as an installation has them beside the program.
  WIN32_FIND_DATAW found;
  const std::wstring dist = DistDir();
  HANDLE h = FindFirstFileW((dist + L"\\*.ini").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      CopyFileW((dist + L"\\" + found.cFileName).c_str(), Path(found.cFileName).c_str(), FALSE);
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
}

Workspace::~Workspace() { RemoveTree(dir_); }

void Workspace::WriteUtf16(const std::wstring& name, const std::wstring& text) const {
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  HANDLE h = CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

RunningApp::RunningApp(const Workspace& workspace) {
  SetCurrentDirectoryW(workspace.Dir().c_str());
  thread_ = std::thread([] { RunTovrel(GetModuleHandleW(nullptr), SW_SHOW); });
  WaitUntil([] { return MainWindowHandle() != nullptr && IsWindowVisible(MainWindowHandle()); });
  main_ = MainWindowHandle();
}

RunningApp::~RunningApp() {
  if (thread_.joinable()) Exit();
}

void RunningApp::NotifyList(UINT code, int column) const {
  NMITEMACTIVATE info{};
  info.hdr.hwndFrom = Child(300);
  info.hdr.idFrom = 300;
  info.hdr.code = code;
  info.iItem = -1;
  info.iSubItem = column;
  SendMessageW(main_, WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&info));
}

void RunningApp::PostCommand(int id) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// Posted messages are handled in the order they were posted, but a sent
// message overtakes them; so the mark that shows the program got this far is
// itself posted: a harmless setting of the list view, read back until it
// has taken effect (or a modal loop of the command has taken it).
void RunningApp::Settle() const {
  static LPARAM mark = 1000;
  HWND list = GetDlgItem(main_, 300);
  if (!list) {
    SendMessageW(main_, WM_NULL, 0, 0);
    return;
  }
  const LRESULT original = SendMessageW(list, LVM_GETHOVERTIME, 0, 0);
  const LPARAM expected = ++mark;
  PostMessageW(list, LVM_SETHOVERTIME, 0, expected);
  WaitUntil([&] { return SendMessageW(list, LVM_GETHOVERTIME, 0, 0) == expected; }, 60000);
  SendMessageW(list, LVM_SETHOVERTIME, 0, original);
}

void RunningApp::Exit() {
  RequestExit();
  Join();
}

void RunningApp::RequestExit() const {
  if (IsWindow(main_)) PostCommand(27);
}

void RunningApp::Join() {
  if (thread_.joinable()) thread_.join();
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (!condition()) {
    if (GetTickCount64() > end) return false;
    Sleep(10);  // polling interval, not a synchronisation
  }
  return true;
}

HWND WaitForDialog(const std::wstring& caption, HWND except) {
  HWND result = nullptr;
  WaitUntil([&] {
    FindArgs args{caption, caption.empty(), except, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&args));
    if (args.found.empty()) return false;
    result = args.found.front();
    return true;
  });
  return result;
}

namespace {

struct ProcessWindowArgs {
  DWORD pid;
  const std::wstring* className;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
  auto* args = reinterpret_cast<ProcessWindowArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  if (pid == args->pid && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr &&
      (args->className->empty() || *args->className == cls)) {
    args->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForWindowOfProcess(DWORD pid, const std::wstring& className, int timeoutMs) {
  ProcessWindowArgs args{pid, &className, nullptr};
  WaitUntil([&] {
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&args));
    return args.found != nullptr;
  }, timeoutMs);
  return args.found;
}

int CountTopLevelWindows(const std::wstring& caption) {
  FindArgs args{caption, false, nullptr, {}};
  EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&args));
  return static_cast<int>(args.found.size());
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[1024] = L"";
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

std::wstring ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

int ListRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::wstring> ListColumn(HWND list, int column) {
  std::vector<std::wstring> out;
  for (int row = 0; row < ListRowCount(list); ++row) out.push_back(ListCell(list, row, column));
  return out;
}

void SetListCell(HWND list, int row, int column, const std::wstring& text) {
  std::wstring value = text;
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = value.data();
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

std::wstring ListHeader(HWND list, int column) {
  wchar_t text[64] = L"";
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT;
  c.pszText = text;
  c.cchTextMax = 64;
  if (!SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c))) return L"<none>";
  return text;
}

std::string FileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes(static_cast<std::size_t>(GetFileSize(file, nullptr)), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void TouchFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

void WriteEndDrawing(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  static const char kDwgStart[16] = "AC1032";
  DWORD written = 0;
  WriteFile(h, kDwgStart, sizeof kDwgStart, &written, nullptr);
  CloseHandle(h);
}

std::wstring MessageBoxText(HWND box) { return ItemText(box, 0xFFFF); }

std::wstring ListCell(HWND list, int row, int column) {
  wchar_t text[300] = L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 300;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressKeys(HWND foreground, std::initializer_list<WORD> keys) {
  SetForegroundWindow(foreground);
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *--it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool AcceptFolderDialog(const std::wstring& folder) {
  HWND dialog = WaitForDialog();
  if (!dialog) return false;
  const std::wstring leaf = folder.substr(folder.find_last_of(L'\\') + 1);
  auto selectedText = [&] {
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    if (!tree) return std::wstring();
    wchar_t text[260] = L"";
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item.hItem) return std::wstring();
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return std::wstring(text);
  };
  if (!WaitUntil([&] { return selectedText() == leaf; }, 3000)) {
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    if (!WaitUntil([&] { return selectedText() == leaf; })) return false;
  }
  PressButton(dialog, IDOK);
  return WaitUntil([&] { return !IsWindow(dialog); });
}

void SetLogPixels(DWORD dpi) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

std::wstring CatalogText(const std::wstring& section, const std::wstring& key) {
  const std::wstring path = DistDir() + L"\\Tovrel_wchar.ini";
  IniFile catalog(std::u16string(path.begin(), path.end()), SystemAnsiCodePage());
  const std::u16string text = catalog.GetString(std::u16string(section.begin(), section.end()),
                                                std::u16string(key.begin(), key.end()), u"", 64);
  return std::wstring(text.begin(), text.end());
}

namespace {

struct DialogArgs {
  DWORD pid;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM lParam) {
  auto* args = reinterpret_cast<DialogArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[32] = L"", caption[128] = L"";
  GetClassNameW(window, cls, 32);
  GetWindowTextW(window, caption, 128);
  if (pid == args->pid && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window) &&
      wcscmp(caption, args->caption) == 0) {
    args->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

Program::Program(const std::wstring& workingDir, const std::wstring& arguments) {
  const std::wstring exe = DistDir() + L"\\Tovrel.exe";
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            workingDir.c_str(), &startup, &info_) != 0;
}

Program::~Program() {
  if (!started_) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

HWND Program::WaitForDialog(const std::wstring& caption) const {
  DialogArgs args{info_.dwProcessId, caption.c_str(), nullptr};
  WaitUntil([&] {
    EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&args));
    return args.found != nullptr;
  }, 30000);
  return args.found;
}

void Program::Kill() const {
  TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 10000);
}

long Program::WaitForExit() const {
  if (WaitForSingleObject(info_.hProcess, 30000) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

}  // namespace tovrel::test
