#include "win32/file_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageFileDialogFailed = 55;
constexpr int kMessageTooManyFiles = 56;

FileDialogResult Ask(const FileDialogOptions& options, bool save) {
  const DWORD size = options.multiSelect ? kMultiSelectBufferSize : 32768u;
  std::vector<wchar_t> buffer(size, L'\0');
  const std::size_t n = std::min<std::size_t>(options.initialName.size(), size - 1);
  std::copy_n(options.initialName.begin(), n, buffer.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = options.owner;
  ofn.lpstrFilter = options.filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = size;
  ofn.lpstrInitialDir = options.initialFolder.empty() ? nullptr : W(options.initialFolder);
  ofn.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
  // The process's current folder must stay where the program's own files are.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (options.multiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
  if (options.mustExist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  FileDialogResult result;
  if (!ok) {
    result.error = CommDlgExtendedError();
    result.outcome = result.error == 0 ? FileDialogOutcome::Cancelled : FileDialogOutcome::Failed;
    return result;
  }
  // The result ends at the first double null (several files) or null (one).
  std::size_t end = 0;
  while (end + 1 < buffer.size() && !(buffer[end] == L'\0' && (buffer[end + 1] == L'\0' || !options.multiSelect))) {
    ++end;
  }
  result.buffer.assign(reinterpret_cast<const char16_t*>(buffer.data()), end + 1);
  result.fileOffset = ofn.nFileOffset;
  result.outcome = FileDialogOutcome::Chosen;
  return result;
}

}  // namespace

FileDialogResult AskOpenFile(const FileDialogOptions& options) { return Ask(options, false); }
FileDialogResult AskSaveFile(const FileDialogOptions& options) { return Ask(options, true); }

void ReportFileDialogFailure(HWND owner, const FileDialogResult& result) {
  if (result.outcome != FileDialogOutcome::Failed) return;
  if (result.error == FNERR_BUFFERTOOSMALL) {
    ShowMessage(owner, kMessageTooManyFiles);
    return;
  }
  wchar_t code[32];
  std::swprintf(code, 32, L"0x%04lX", static_cast<unsigned long>(result.error));
  ShowMessageWithDetail(owner, kMessageFileDialogFailed, U(code));
}

}  // namespace tovrel
