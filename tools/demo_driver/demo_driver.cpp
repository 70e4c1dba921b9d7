// Drives one whole batch of Tovrel as a user would, for the demo of run.sh:
// starts Tovrel.exe in the demo workspace, adds the sample drawings through
// the open-file dialog (37845), runs "All start" (37832), waits for the
// AutoCAD stand-in to finish, saves a picture of the main window, then runs
// the same rows through the parallel lane (37863), ends the program (27) and
// prints what the stand-in's journal recorded.
//
// usage: demo_driver.exe WORKSPACE SCREENSHOT.bmp
//
// WORKSPACE holds Tovrel.exe, its data files, Tovrel.ini and samples\; the
// journal is WORKSPACE\acad_journal.jsonl, beside the script. The last line
// printed is "demo plotted=<n> errors=<n> files=<n> distinct_files=<n>" (plots
// written to a file, and how many of them into a file of their own). A
// stand-in left waiting ("hang") counts as an error and is ended. Exit code 0 when every drawing
// was plotted without an error, 2 when the batch ran with errors or missing
// plots, 1 when a step failed or timed out. The line before it is
// "demo-parallel plotted=<n> errors=<n> workers=<n> seconds=<s>": the lane's
// plots and errors, the most stand-ins that ran at once, its time.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "journal_reader.h"

namespace {

constexpr int kListViewId = 300;          // the main window's list view
constexpr int kFileNameComboId = 1148;    // cmb13 of the open-file dialog
constexpr WPARAM kAddDxfFiles = 37845;    // add DXF files picked in the open-file dialog
constexpr WPARAM kRunAll = 37832;         // "All start"
constexpr WPARAM kRunParallel = 37863;    // "Plot in parallel (Core Console)"
constexpr WPARAM kEnd = 27;               // "End"
constexpr DWORD kAnswerTimeoutMs = 5000;  // one SendMessageTimeout
constexpr int kProgressStopNowId = 2106;   // the "Stop now" button of the run's progress window

// Text out as UTF-8, whether stdout is a console, a pipe or a file.
void Print(const std::string& utf8) {
  std::string line = utf8 + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

class Failure {
public:
  explicit Failure(std::string what) : what_(std::move(what)) {}
  const std::string& What() const { return what_; }

private:
  std::string what_;
};

// Polls `condition` every 20 ms until it holds; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void WaitOrFail(const std::function<bool()>& condition, int timeoutMs, const std::string& what) {
  if (!WaitUntil(condition, timeoutMs)) {
    throw Failure("timed out after " + std::to_string(timeoutMs / 1000) + " s waiting " + what);
  }
}

// True once the window's thread has handled everything sent before, that is
// it is back in its message loop.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result) !=
         0;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = L"";
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      kAnswerTimeoutMs, &result);
  return text;
}

// Visible top-level windows of one process and one class.
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className) {
  struct Search {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
  } search{processId, className, {}};
  EnumWindows(
      [](HWND window, LPARAM lParam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lParam);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == s.processId && IsWindowVisible(window) && ClassOf(window) == s.className) {
          s.found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The texts of a message box (its caption and its static texts).
std::string DescribeDialog(HWND dialog) {
  std::wstring text = L"\"" + TextOf(dialog) + L"\"";
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static" && !TextOf(child).empty())
      text += L" \"" + TextOf(child) + L"\"";
  }
  return Utf8(text);
}

// Tovrel.exe, started in the workspace; killed if the driver gives up.
class Program {
public:
  explicit Program(const std::wstring& workspace) {
    const std::wstring exe = workspace + L"\\Tovrel.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workspace.c_str(), &startup, &info_)) {
      throw Failure("cannot start " + Utf8(exe) + " (error " + std::to_string(GetLastError()) +
                    ")");
    }
    CloseHandle(info_.hThread);
  }
  ~Program() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD Id() const { return info_.dwProcessId; }
  bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

  // Fails with the texts of any message box the program shows (the
  // progress window of a run is no message).
  void FailOnMessageBox(HWND except) const {
    if (HWND dialog = MessageBoxShown(except)) throw Failure("Tovrel shows a message: " + DescribeDialog(dialog));
  }
  HWND MessageBoxShown(HWND except) const {
    for (HWND dialog : TopLevelWindows(Id(), L"#32770")) {
      if (dialog != except && GetDlgItem(dialog, kProgressStopNowId) == nullptr) return dialog;
    }
    return nullptr;
  }

private:
  PROCESS_INFORMATION info_{};
};

std::vector<std::wstring> SampleNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*.dxf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

int RowCount(HWND list) {
  DWORD_PTR rows = 0;
  if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                           &rows)) {
    return -1;
  }
  return static_cast<int>(rows);
}

HWND WaitForMainWindow(const Program& program) {
  HWND window = nullptr;
  WaitOrFail(
      [&] {
        if (program.Ended()) throw Failure("Tovrel ended before its window showed");
        const std::vector<HWND> windows = TopLevelWindows(program.Id(), L"TOVREL");
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr && Answers(window);
      },
      30000, "for Tovrel's main window");
  return window;
}

// Picks every sample in the open-file dialog, as typing the quoted names
// into its file-name field and pressing Open does.
void AddSamples(const Program& program, HWND mainWindow, HWND list,
                const std::vector<std::wstring>& names) {
  PostMessageW(mainWindow, WM_COMMAND, kAddDxfFiles, 0);
  HWND dialog = nullptr;
  HWND fileName = nullptr;
  WaitOrFail(
      [&] {
        const std::vector<HWND> dialogs = TopLevelWindows(program.Id(), L"#32770");
        dialog = dialogs.empty() ? nullptr : dialogs.front();
        if (dialog == nullptr) return false;
        fileName = GetDlgItem(dialog, kFileNameComboId);
        // Ready once it shows the folder's files and has handled its start-up.
        return fileName != nullptr &&
               FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr) && Answers(dialog);
      },
      30000, "for the open-file dialog");

  std::wstring text;
  for (const std::wstring& name : names) text += (text.empty() ? L"\"" : L" \"") + name + L"\"";
  DWORD_PTR result = 0;
  WaitOrFail(
      [&] {
        SendMessageTimeoutW(fileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result);
        return TextOf(fileName) == text;
      },
      5000, "for the file names to stand in the open-file dialog");
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));

  const int expected = static_cast<int>(names.size());
  WaitOrFail(
      [&] {
        program.FailOnMessageBox(IsWindow(dialog) ? dialog : nullptr);
        return !IsWindow(dialog) && RowCount(list) >= expected && Answers(mainWindow);
      },
      30000, "for " + std::to_string(expected) + " rows in the list");
  if (RowCount(list) != expected) {
    throw Failure("the list holds " + std::to_string(RowCount(list)) + " rows, not " +
                  std::to_string(expected));
  }
}

// The main window's picture, taken from the screen, as a 24-bit BMP file.
void SaveScreenshot(HWND mainWindow, const std::wstring& path) {
  RedrawWindow(mainWindow, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (!Answers(mainWindow)) throw Failure("Tovrel does not answer before the screenshot");
  RECT rect{};
  GetWindowRect(mainWindow, &rect);
  rect.left = std::max(rect.left, 0L);
  rect.top = std::max(rect.top, 0L);
  rect.right = std::min(rect.right, static_cast<LONG>(GetSystemMetrics(SM_CXSCREEN)));
  rect.bottom = std::min(rect.bottom, static_cast<LONG>(GetSystemMetrics(SM_CYSCREEN)));
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) throw Failure("the main window is not on the screen");

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
  }
  bool written = false;
  if (copied) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
      DWORD done = 0;
      written = WriteFile(out, &file, sizeof file, &done, nullptr) &&
                WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &done, nullptr) &&
                WriteFile(out, bits, info.bmiHeader.biSizeImage, &done, nullptr);
      CloseHandle(out);
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!written) throw Failure("cannot save the screenshot to " + Utf8(path));
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Summary {
  int plots = 0;
  int errors = 0;
  int files = 0;          // plots written to a file
  int distinctFiles = 0;  // of which into a file of their own
  bool ended = false;
};

// One line per plot and per error of the records after `offset`.
Summary PrintJournal(const std::wstring& journalPath, std::uint64_t offset) {
  Summary summary;
  std::vector<std::string> errors;
  std::vector<std::string> files;
  for (const tovrel::journal::Record& record : tovrel::journal::ReadJournal(journalPath, offset)) {
    const std::string type = record.Get("type");
    if (type == "plot") {
      ++summary.plots;
      const std::string file = record.Get("file");
      Print("plot  " + FileNameOf(record.Get("drawing")) + " | " + record.Get("device") + " | " +
            record.Get("paper") + " | " + record.Get("orientation") + " | " + record.Get("area") +
            (file.empty() ? std::string() : " -> " + FileNameOf(file)));
      if (!file.empty()) {
        ++summary.files;
        if (std::find(files.begin(), files.end(), file) == files.end()) ++summary.distinctFiles;
        files.push_back(file);
      }
    } else if (type == "error") {
      ++summary.errors;
      errors.push_back("error line " + record.Get("line") + " in " +
                       FileNameOf(record.Get("drawing")) + ": " + record.Get("prompt") + " \"" +
                       record.Get("answer") + "\": " + record.Get("message"));
    } else if (type == "end") {
      summary.ended = true;
    } else if (type == "hang") {
      ++summary.errors;
      errors.push_back("AutoCAD left waiting at \"" + record.Get("prompt") + "\" after line " +
                       record.Get("line") + " of the script");
    }
  }
  for (const std::string& error : errors) Print(error);
  return summary;
}

// A stand-in that recorded "hang" waits for ever, as AutoCAD would: it is
// ended here, as a user would end AutoCAD, so that Tovrel goes on.
void EndWaitingAutocad(const std::wstring& journal, std::uint64_t offset) {
  const std::vector<tovrel::journal::Record> records = tovrel::journal::ReadJournal(journal, offset);
  if (tovrel::journal::RecordsOf(records, "hang").empty()) return;
  for (const tovrel::journal::Record& start : tovrel::journal::RecordsOf(records, "start")) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(std::stoul(start.Get("pid"))));
    if (process) {
      TerminateProcess(process, 1);
      CloseHandle(process);
    }
  }
}

// The most stand-ins that ran at once among the records after `offset`.
int MostAtOnce(const std::wstring& journal, std::uint64_t offset) {
  int running = 0, most = 0;
  for (const tovrel::journal::Record& record : tovrel::journal::ReadJournal(journal, offset)) {
    const std::string type = record.Get("type");
    if (type == "start") most = std::max(most, ++running);
    if (type == "end" || type == "hang") --running;
  }
  return most;
}

// The same rows through the parallel lane: its line, and whether it was clean.
bool RunParallelDemo(Program& program, HWND mainWindow, const std::wstring& journal, int drawings) {
  const std::uint64_t offset = tovrel::journal::FileSize(journal);
  const auto start = std::chrono::steady_clock::now();
  PostMessageW(mainWindow, WM_COMMAND, kRunParallel, 0);
  HWND runSummary = nullptr;
  WaitOrFail(
      [&] {
        if (program.Ended()) throw Failure("Tovrel ended during the parallel run");
        return (runSummary = program.MessageBoxShown(nullptr)) != nullptr;
      },
      120000, "for the summary of the parallel run");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  Print("parallel run summary: " + DescribeDialog(runSummary));
  PostMessageW(runSummary, WM_COMMAND, IDOK, 0);
  WaitOrFail([&] { return !IsWindow(runSummary) && Answers(mainWindow); }, 30000, "for the summary to close");
  const Summary summary = PrintJournal(journal, offset);
  char secondsText[32];
  snprintf(secondsText, sizeof secondsText, "%.1f", seconds);
  Print("demo-parallel plotted=" + std::to_string(summary.plots) + " errors=" + std::to_string(summary.errors) +
        " workers=" + std::to_string(MostAtOnce(journal, offset)) + " seconds=" + secondsText);
  return summary.errors == 0 && summary.plots == drawings;
}

int RunDemo(const std::wstring& workspace, const std::wstring& screenshot) {
  const std::vector<std::wstring> names = SampleNames(workspace + L"\\samples");
  if (names.empty()) throw Failure("no sample drawings in " + Utf8(workspace) + "\\samples");
  const std::wstring journal = workspace + L"\\acad_journal.jsonl";

  Program program(workspace);
  HWND mainWindow = WaitForMainWindow(program);
  HWND list = GetDlgItem(mainWindow, kListViewId);
  if (list == nullptr) throw Failure("the main window has no list view");
  // Room for the columns that the rules fill.
  SetWindowPos(mainWindow, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               std::min(GetSystemMetrics(SM_CYSCREEN), 640), SWP_NOZORDER);
  const int rowsBefore = RowCount(list);
  if (rowsBefore != 0)
    throw Failure("the list is not empty at start: " + std::to_string(rowsBefore) + " rows");

  AddSamples(program, mainWindow, list, names);
  Print("added " + std::to_string(names.size()) + " drawings from " + Utf8(workspace) +
        "\\samples");

  const std::uint64_t offset = tovrel::journal::FileSize(journal);
  PostMessageW(mainWindow, WM_COMMAND, kRunAll, 0);
  // The window answers while the stand-in runs, behind the run's progress
  // window; the journal's end record marks the end of the batch, and the run
  // ends with its summary.
  WaitOrFail(
      [&] {
        if (program.Ended()) throw Failure("Tovrel ended during the run");
        if (!tovrel::journal::RecordsOf(tovrel::journal::ReadJournal(journal, offset), "hang").empty()) return true;
        if (tovrel::journal::JournalHasEnd(journal, offset)) return true;
        program.FailOnMessageBox(nullptr);
        return false;
      },
      120000, "for the end of the batch in " + Utf8(journal));
  EndWaitingAutocad(journal, offset);
  HWND runSummary = nullptr;
  WaitOrFail([&] { return (runSummary = program.MessageBoxShown(nullptr)) != nullptr; }, 30000,
             "for the summary of the run");
  Print("run summary: " + DescribeDialog(runSummary));
  PostMessageW(runSummary, WM_COMMAND, IDOK, 0);
  WaitOrFail([&] { return !IsWindow(runSummary) && Answers(mainWindow); }, 30000, "for the summary to close");
  program.FailOnMessageBox(nullptr);

  SaveScreenshot(mainWindow, screenshot);
  const Summary summary = PrintJournal(journal, offset);
  const bool parallelClean = RunParallelDemo(program, mainWindow, journal, static_cast<int>(names.size()));

  PostMessageW(mainWindow, WM_COMMAND, kEnd, 0);
  WaitOrFail([&] { return program.Ended(); }, 30000, "for Tovrel to end");
  if (program.ExitCode() != 0) {
    throw Failure("Tovrel ended with exit code " + std::to_string(program.ExitCode()));
  }

  Print("demo plotted=" + std::to_string(summary.plots) + " errors=" + std::to_string(summary.errors) +
        " files=" + std::to_string(summary.files) + " distinct_files=" + std::to_string(summary.distinctFiles));
  const bool complete = summary.ended && summary.errors == 0 &&
                        summary.plots == static_cast<int>(names.size()) &&
                        summary.distinctFiles == summary.files && parallelClean;
  return complete ? 0 : 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  if (argc != 3) {
    Print("usage: demo_driver.exe WORKSPACE SCREENSHOT.bmp");
    return 1;
  }
  try {
    return RunDemo(argv[1], argv[2]);
  } catch (const Failure& failure) {
    Print("demo failed: " + failure.What());
  } catch (const std::exception& error) {
    Print(std::string("demo failed: ") + error.what());
  }
  return 1;
}
