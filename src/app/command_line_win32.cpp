#include "app/command_line_win32.h"

#include <cstdint>
#include <cwchar>
#include <vector>

#include "app/app_context.h"
#include "app/app_files_win32.h"
#include "drawing_list/list_columns.h"
#include "drawing_list/list_file_win32.h"
#include "drawing_list/row_store.h"
#include "script/preflight.h"
#include "script/parallel_lane_win32.h"
#include "script/preflight_win32.h"
#include "script/script_writer.h"
#include "storage/file_io.h"
#include "storage/text_codec.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// Messages of a start that cannot be served; the switch or value they are
// about goes under the text. 82 to 87 and 89 follow the order of
// CommandLineError.
constexpr int kMessageListUnreadable = 91;
constexpr int kMessageTemplateNotInUse = 92;
constexpr int kMessageLaneNotAvailable = 93;
constexpr int kMessageFileNotWritten = 94;
constexpr int kMessageUsage = 90;
// Code texts 71 to 74: the usage under message 90.
constexpr int kFirstUsageText = 71;

std::u16string FullPath(const std::u16string& path) {
  if (path.empty()) return path;
  std::vector<wchar_t> buffer(32768);
  const DWORD n = GetFullPathNameW(W(path), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  return n == 0 || n >= buffer.size() ? path : U(buffer.data());
}

std::u16string Code(int number) { return U(LookUpText(TextTable::Code, number)); }

// The message of a start that cannot be served; its exit code.
int CannotStart(int messageNumber, const std::u16string& argument) {
  ShowMessageWithDetail(nullptr, messageNumber, argument);
  return kExitCouldNotStart;
}

int ErrorMessageNumber(CommandLineError error) {
  return error == CommandLineError::WrongAction ? 89 : 81 + static_cast<int>(error);
}

std::u16string TimeStamp() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t text[32];
  swprintf(text, 32, L"%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return U(text);
}

std::u16string RunsFolder(const AppContext& app) { return PathInWorkingDirectory(app, kRunsFolderName); }

void ShowUsage() {
  std::u16string text =
      u"Tovrel.exe /run [LIST]\r\n    [/mode all|selected|perrow|parallel]\r\n    [/template N] [/anyway] [/exit]\r\n    " +
      Code(kFirstUsageText) + u"\r\n    " + Code(kFirstUsageText + 1) +
      u"\r\n\r\nTovrel.exe /check LIST [/template N] [/out FILE]\r\n    " + Code(kFirstUsageText + 2) +
      u"\r\n\r\nTovrel.exe /?\r\n\r\n" + Code(kFirstUsageText + 3);
  ShowMessageWithDetail(nullptr, kMessageUsage, text, MB_ICONINFORMATION);
}

// The rows of the list walked through AutoCAD's prompts, the findings
// written as CSV: 0 clean, 1 rows listed, 2 could not check.
int CheckList(AppContext& app, const LaunchRequest& request) {
  const ScriptTemplate& tmpl = app.ActiveTemplate();
  MemoryRowStore rows(static_cast<int>(DisplayedSlots(tmpl).size()));
  std::u16string error;
  if (!LoadListFile(request.list, rows, &error)) return CannotStart(kMessageListUnreadable, request.list + u"  " + error);
  if (rows.RowCount() == 0) {
    ShowMessage(nullptr, kMessageListEmpty);
    return kExitCouldNotStart;
  }
  const PreflightReport report =
      CheckList(nullptr, rows, kScopeAllRows, PreflightContext{tmpl, app.printers, app.settings});
  std::u16string out = request.out;
  if (out.empty()) {
    CreateDirectoryW(W(RunsFolder(app)), nullptr);
    out = RunsFolder(app) + u"\\check-" + TimeStamp() + u".csv";
  }
  const std::u16string csv =
      FindingsCsv(report, [](PreflightProblem problem) { return Code(ProblemTextNumber(problem)); });
  if (!WriteFileAtomically(out, "\xEF\xBB\xBF" + Utf16ToUtf8(csv), &error)) {
    return CannotStart(kMessageFileNotWritten, out + u"  " + error);
  }
  return report.Clean() ? kExitAllPlotted : kExitSomeNotPlotted;
}

UINT InstanceQueryMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tovrel.WorkingFolderQuery");
  return message;
}

// A number for the folder that fits a message's parameter.
LPARAM FolderHash(const std::u16string& workingFolder) {
  std::uint32_t hash = 2166136261u;
  for (const char16_t c : InstanceMutexName(workingFolder)) hash = (hash ^ c) * 16777619u;
  return static_cast<LPARAM>(hash & 0x7FFFFFFF);
}

struct InstanceSearch {
  const wchar_t* className;
  LPARAM hash;
  HWND found;
};

BOOL CALLBACK AskWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<InstanceSearch*>(lParam);
  wchar_t name[100] = L"";
  GetClassNameW(window, name, 100);
  DWORD_PTR answer = 0;
  if (std::wcscmp(name, search->className) == 0 &&
      SendMessageTimeoutW(window, InstanceQueryMessage(), 0, search->hash, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000,
                          &answer) != 0 &&
      answer == 1) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

LaunchRequest ReadLaunchRequest(const wchar_t* commandLine) {
  LaunchRequest request = ParseCommandLine(commandLine ? U(commandLine) : std::u16string());
  request.list = FullPath(request.list);
  request.out = FullPath(request.out);
  return request;
}

void RouteUnattendedMessages(const AppContext& app, const LaunchRequest& request) {
  if (!request.Unattended()) return;
  const std::u16string kind = request.action == LaunchAction::Check ? u"\\check-" : u"\\run-";
  SendMessagesToLog(RunsFolder(app) + kind + TimeStamp() + u".log", request.anyway);
}

std::optional<int> LaunchBeforeWindow(AppContext& app, const LaunchRequest& request) {
  if (request.action == LaunchAction::Window && !request.Failed()) return std::nullopt;
  LoadCatalogFile(app);
  LoadSettingsFile(app);
  if (request.Failed()) return CannotStart(ErrorMessageNumber(request.error), request.errorArgument);
  if (request.action == LaunchAction::Usage) {
    ShowUsage();
    return kExitAllPlotted;
  }
  LoadTemplateFile(app);
  if (request.templateNumber > 0) {
    if (!app.templates[request.templateNumber - 1].inUse) {
      const std::wstring n = std::to_wstring(request.templateNumber);
      return CannotStart(kMessageTemplateNotInUse, std::u16string(n.begin(), n.end()));
    }
    app.settings.autocad_type = static_cast<std::int8_t>(request.templateNumber - 1);
  }
  // The settings name no Core Console for a lane that runs drawings side by side.
  if (request.mode == LaunchMode::Parallel && CoreConsoleProgram(app.settings).empty()) {
    return CannotStart(kMessageLaneNotAvailable, u"");
  }
  if (request.action == LaunchAction::Check) return CheckList(app, request);
  if (!request.list.empty() && ReadWholeFile(request.list).status != ReadStatus::Ok) {
    return CannotStart(kMessageListUnreadable, request.list);
  }
  return std::nullopt;
}

InstanceLock::InstanceLock(const std::u16string& workingFolder) {
  mutex_ = CreateMutexW(nullptr, FALSE, W(InstanceMutexName(workingFolder)));
  const DWORD error = GetLastError();
  // Another user's Tovrel on the folder is seen as a mutex this one may not open.
  held_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

InstanceLock::~InstanceLock() {
  if (mutex_) CloseHandle(mutex_);
}

void BringOtherInstanceToFront(const wchar_t* className, const std::u16string& workingFolder) {
  InstanceSearch search{className, FolderHash(workingFolder), nullptr};
  // The other one may still be making its window.
  for (int attempt = 0; attempt < 25 && !search.found; ++attempt) {
    if (attempt > 0) Sleep(200);
    EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&search));
  }
  if (!search.found) return;
  if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
  SetForegroundWindow(search.found);
}

bool IsInstanceQuery(UINT message) { return message == InstanceQueryMessage(); }

LRESULT AnswerInstanceQuery(LPARAM folderHash, const std::u16string& workingFolder) {
  return folderHash == FolderHash(workingFolder) ? 1 : 0;
}

}  // namespace tovrel
