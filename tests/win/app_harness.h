// Runs the program's main window on a thread of the test process, in a
// scratch working directory, and finds and drives the windows it opens.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace tovrel::test {

// A scratch working directory with the shipped data files copied in.
class Workspace {
public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::wstring& Dir() const { return dir_; }
  std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }
  // Writes a file in UTF-16LE with a byte-order mark.
  void WriteUtf16(const std::wstring& name, const std::wstring& text) const;

private:
  std::wstring dir_;
};

// The program from its start to its end, run on its own thread so that the
// test can drive its modal dialogs and message boxes.
class RunningApp {
public:
  explicit RunningApp(const Workspace& workspace);
  ~RunningApp();  // closes the program if the test did not
  RunningApp(const RunningApp&) = delete;
  RunningApp& operator=(const RunningApp&) = delete;

  HWND Main() const { return main_; }
  HWND Child(int id) const { return GetDlgItem(main_, id); }
  // Sends a notification of the drawing list as the list view does (about
  // no particular row, at `column`) and returns once it is handled.
  void NotifyList(UINT code, int column = -1) const;
  // Sends a command as the menu does, without waiting for it to finish.
  void PostCommand(int id) const;
  // Ends the program as the "End" menu item does and waits for the thread.
  void Exit();
  // The two halves of Exit, for a test that answers a message box between them.
  void RequestExit() const;
  void Join();
  bool Running() const { return thread_.joinable(); }
  // Returns once the program has handled every message posted to it so far
  // (or a command among them has opened a modal dialog or message box).
  void Settle() const;

private:
  std::thread thread_;
  HWND main_ = nullptr;
};

// Waits (up to 10 s) until `condition` holds; false on time-out.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// A visible top-level dialog-class window of this process with this caption
// (any caption when empty), waiting for it to appear; nullptr on time-out.
HWND WaitForDialog(const std::wstring& caption = L"", HWND except = nullptr);
// Every visible top-level window of this process with this caption.
int CountTopLevelWindows(const std::wstring& caption);

std::wstring TextOf(HWND window);
std::wstring ItemText(HWND dialog, int id);
// The body text of a message box.
std::wstring MessageBoxText(HWND box);
// The text of a list view cell (299 characters at most).
std::wstring ListCell(HWND list, int row, int column);
// The rows of a list view, the texts of one of its columns, and setting a cell.
int ListRowCount(HWND list);
std::vector<std::wstring> ListColumn(HWND list, int column);
void SetListCell(HWND list, int row, int column, const std::wstring& text);
// The bytes of a file, read while others may still write it; "" when missing.
std::string FileBytes(const std::wstring& path);
// How often `part` occurs in `text`, overlapping occurrences included.
std::size_t CountOf(const std::string& text, const std::string& part);
std::string Utf8(const std::wstring& text);

// Sets an environment variable of the test process (and so of the programs
// it starts) for the life of the object.
class ScopedEnvironment {
public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) { SetEnvironmentVariableW(name, value); }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
  const wchar_t* name_;
};

// Removes a folder with everything in it.
void RemoveTree(const std::wstring& dir);
// The header text of a list view column; "<none>" when there is no such column.
std::wstring ListHeader(HWND list, int column);
// Creates an empty file (a drawing the tests list), replacing one there.
void TouchFile(const std::wstring& path);
// Writes an end drawing the check before a run takes for a drawing: the
// opening bytes of a DWG file.
void WriteEndDrawing(const std::wstring& path);
// Presses a button of a dialog as a click does, without waiting.
void PressButton(HWND dialog, int id);
// Types keys on the keyboard into the foreground window: every key of
// `keys` goes down in order, then all come up in reverse order.
void PressKeys(HWND foreground, std::initializer_list<WORD> keys);

// A visible top-level window of another process with this class name (any
// class when empty), waiting for it to appear; nullptr on time-out.
HWND WaitForWindowOfProcess(DWORD pid, const std::wstring& className, int timeoutMs = 30000);

// Sets the resolution (dots per inch) that Wine programs started from now on take.
void SetLogPixels(DWORD dpi);

// The folder of the shipped program and its files.
std::wstring DistDir();

// Waits for the shell's folder dialog, waits until it shows `folder`
// selected (asking it to select the folder if it does not by itself), then
// presses OK and waits for it to close. False when any step times out.
bool AcceptFolderDialog(const std::wstring& folder);

// Tovrel.exe of build/dist started with `arguments` in a working directory;
// ended from outside when the test leaves it running.
class Program {
public:
  explicit Program(const std::wstring& workingDir, const std::wstring& arguments = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return started_; }
  HWND WaitForMainWindow() const { return WaitForWindowOfProcess(info_.dwProcessId, L"TOVREL"); }
  // A dialog or message box of the program with this caption.
  HWND WaitForDialog(const std::wstring& caption) const;
  // Ends the program from outside, as a crash or a power cut would.
  void Kill() const;
  // The exit code, or -1 when the program does not end within 30 s.
  long WaitForExit() const;

private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

// The catalog text of the shipped "Tovrel_wchar.ini" for a section and key.
std::wstring CatalogText(const std::wstring& section, const std::wstring& key);

}  // namespace tovrel::test
