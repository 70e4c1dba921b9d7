// Drawing-list benchmarks on the real program under Wine: adding a folder
// of 10,000 drawings, sorting 10,000 rows by a column click, starting with a
// kept list of 10,000 rows and saving it at exit. Prints one line each.
//
//   list_bench [add-folder-10000|sort-10000|script-10000|startup-10000|exit-10000]
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <memory>
#include <cstdio>
#include <string>

#include "app_harness.h"
#include "bench_lists.h"
#include "drawing_list/add_drawings.h"
#include "storage/file_system_win32.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/list_view_window.h"
#include "drawing_list/row_insertion.h"
#include "script/script_file.h"
#include "script/script_writer.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "storage/script_template.h"

using namespace tovrel::test;
using tovrel::bench::DrawingName;
using tovrel::bench::FilledList;
using tovrel::bench::kRows;
using tovrel::bench::ShippedTemplates;
using tovrel::bench::Touch;

namespace {


const wchar_t kTemplates[] =
    L"[Title]\r\nt1=Plot\r\n[listview_dt]\r\n"
    L"1,0.m=1\r\n1,0.t=File\r\n1,0.p=1\r\n1,0.w=120\r\n"
    L"1,1.m=1\r\n1,1.t=Folder\r\n1,1.p=2\r\n1,1.w=200\r\n"
    L"1,2.m=1\r\n1,2.t=Date\r\n1,2.p=3\r\n1,2.w=120\r\n"
    L"1,3.m=1\r\n1,3.t=Copies\r\n1,3.p=4\r\n1,3.f=1\r\n"
    L"1,4.m=1\r\n1,4.t=Layout\r\n1,4.p=4\r\n1,4.f=Model\r\n"
    L"1,5.m=1\r\n1,5.t=Printer\r\n1,5.p=4\r\n1,5.f=Office plotter\r\n"
    L"1,6.m=1\r\n1,6.t=Paper\r\n1,6.p=4\r\n1,6.f=ISO A1 (841.00 x 594.00 MM)\r\n"
    L"1,7.m=1\r\n1,7.t=Units\r\n1,7.p=4\r\n1,7.f=Millimeters\r\n"
    L"1,8.m=1\r\n1,8.t=Orientation\r\n1,8.p=4\r\n1,8.f=L Landscape\r\n"
    L"1,9.m=1\r\n1,9.t=Upside down\r\n1,9.p=4\r\n1,9.f=No\r\n"
    L"1,10.m=1\r\n1,10.t=Area\r\n1,10.p=4\r\n1,10.f=E Extents\r\n"
    L"1,11.m=1\r\n1,11.t=Style\r\n1,11.p=4\r\n1,11.f=monochrome.ctb\r\n";

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int g_failures = 0;

// Prints a benchmark's line. A run that did not do what it set out to
// measure (rows missing, nothing written) says so on its line and fails the
// whole program: a figure for work not done would look fine and mean nothing.
void Report(const char* name, double ms, const std::string& figures, const std::string& error) {
  std::printf("%s ms=%.0f %s%s%s\n", name, ms, figures.c_str(), error.empty() ? "" : " error=", error.c_str());
  if (!error.empty()) ++g_failures;
}

std::string RowsError(int rows) {
  return rows == kRows ? std::string() : std::to_string(rows) + "-of-" + std::to_string(kRows) + "-rows";
}

// A kept list as the program writes it: 10,000 rows of 32 columns.
void WriteKeptList(const Workspace& ws) {
  std::wstring text = L"[listliew]\r\nmax_cont=" + std::to_wstring(kRows) + L"\r\n";
  const wchar_t* const cells[] = {L"C:\\projects\\2026\\site-b\\drawings", L"2026/12/06 10:15", L"1",
                                  L"Model", L"Office plotter", L"ISO A1 (841.00 x 594.00 MM)",
                                  L"Millimeters", L"L Landscape", L"No", L"E Extents", L"monochrome.ctb"};
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < 32; ++c) {
      text += std::to_wstring(r) + L"," + std::to_wstring(c) + L"=";
      if (c == 0) text += DrawingName(r);
      else if (c <= 11) text += cells[c - 1];
      text += L"\r\n";
    }
  }
  ws.WriteUtf16(L"listview.ini", text);
}

// The work of the add-folder command once its folder is chosen, on a list
// view made as the main window makes it: scan, insert, repaint.
void AddFolder() {
  Workspace ws;
  const std::wstring folder = ws.Path(L"drawings");
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < kRows; ++i) Touch(folder + L"\\" + DrawingName(i));
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  const std::wstring templateFileName = ws.Path(L"tovrl_set_j.ini");
  const std::u16string templatePath(templateFileName.begin(), templateFileName.end());
  const tovrel::IniFile templateFile(templatePath, tovrel::SystemAnsiCodePage());
  auto templateSet = std::make_unique<tovrel::TemplateSet>();  // too big for the stack
  tovrel::TemplateSet& templates = *templateSet;
  tovrel::LoadTemplates(templateFile.Doc(), templates);

  HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr, nullptr,
                                nullptr, nullptr);
  HWND list = tovrel::CreateDrawingList(parent, templates[1]);
  ShowWindow(parent, SW_SHOW);
  const tovrel::Win32FileSystem files;
  const auto start = std::chrono::steady_clock::now();
  int next = 0;
  {
    const tovrel::ListRedrawPause pause(list);
    tovrel::ListViewRowStore store(list);
    next = tovrel::ScanFolder(files, store, templates[1], std::u16string(folder.begin(), folder.end()),
                              tovrel::DrawingKind::Dwg, 0);
  }
  UpdateWindow(list);
  Report("add-folder-10000", Ms(start), "rows=" + std::to_string(next), RowsError(next));
  DestroyWindow(parent);
}

// Writing the script for 10,000 rows of the shipped Model template, read
// from the real list view, into a real file.
void Script() {
  Workspace ws;  // holds the shipped templates
  const auto templates = ShippedTemplates(ws);
  const tovrel::ScriptTemplate& model = (*templates)[1];
  const FilledList filled(model, L"C:\\projects\\2026\\site-b\\drawings");
  HWND list = filled.list;
  const std::wstring path = ws.Path(L"atcprint.scr");
  tovrel::ListViewRowStore store(list);
  tovrel::ScriptFileSink sink(std::u16string(path.begin(), path.end()));
  const auto start = std::chrono::steady_clock::now();
  const tovrel::ScriptWriteResult result =
      tovrel::WriteScript(store, model, u"C:\\Tovrel\\endfile.dwg", tovrel::kScopeAllRows, sink);
  std::string error = RowsError(Rows(list));
  if (error.empty() && (!result.ok || result.bytesWritten < static_cast<std::size_t>(kRows) * 100)) error = "script-not-written";
  Report("script-10000", Ms(start),
         "ok=" + std::to_string(result.ok ? 1 : 0) + " bytes=" + std::to_string(result.bytesWritten), error);
}

void Sort() {
  Workspace ws;
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  WriteKeptList(ws);
  RunningApp app(ws);
  HWND list = app.Child(300);
  NMLISTVIEW info{};
  info.hdr.hwndFrom = list;
  info.hdr.idFrom = 300;
  info.hdr.code = LVN_COLUMNCLICK;
  info.iItem = -1;
  info.iSubItem = 0;
  const auto start = std::chrono::steady_clock::now();
  SendMessageW(app.Main(), WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&info));
  const double ms = Ms(start);
  const int rows = Rows(list);
  Report("sort-10000", ms, "rows=" + std::to_string(rows), RowsError(rows));
  app.Exit();
}

void StartupAndExit(bool printStartup, bool printExit) {
  Workspace ws;
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  WriteKeptList(ws);
  const auto start = std::chrono::steady_clock::now();
  RunningApp app(ws);
  app.Settle();
  const double startupMs = Ms(start);
  HWND list = app.Child(300);
  const int rows = Rows(list);
  const auto exitStart = std::chrono::steady_clock::now();
  app.Exit();
  const double exitMs = Ms(exitStart);
  if (printStartup) Report("startup-10000", startupMs, "rows=" + std::to_string(rows), RowsError(rows));
  if (printExit) Report("exit-10000", exitMs, "rows=" + std::to_string(rows), RowsError(rows));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which.empty() || which == "add-folder-10000") AddFolder();
  if (which.empty() || which == "sort-10000") Sort();
  if (which.empty() || which == "script-10000") Script();
  if (which.empty()) StartupAndExit(true, true);
  if (which == "startup-10000") StartupAndExit(true, false);
  if (which == "exit-10000") StartupAndExit(false, true);
  std::fflush(stdout);
  return g_failures == 0 ? 0 : 1;
}
