// The common open and save dialogs as every command of the program uses them:
// owned by the window that asked, never moving the process's current folder,
// with a result buffer large enough for thousands of picked files, and
// failures told apart from a cancel.
#pragma once

#include <windows.h>

#include <string>

namespace tovrel {

struct FileDialogOptions {
  HWND owner = nullptr;
  std::wstring title;
  const wchar_t* filter = nullptr;  // pairs of texts, ended by an empty text
  std::u16string initialFolder;
  std::u16string initialName;       // "*.ini", or a path the dialog starts on
  bool multiSelect = false;
  bool mustExist = false;           // open dialogs: only an existing file is accepted
};

enum class FileDialogOutcome { Chosen, Cancelled, Failed };

struct FileDialogResult {
  FileDialogOutcome outcome = FileDialogOutcome::Cancelled;
  // The dialog's result as it filled its buffer: one path, or for several
  // picked files the folder and the names, each ended by a null.
  std::u16string buffer;
  WORD fileOffset = 0;
  DWORD error = 0;  // CommDlgExtendedError when the dialog failed

  bool Chosen() const { return outcome == FileDialogOutcome::Chosen; }
  // The single chosen path (the buffer up to its first null).
  std::u16string Path() const { return buffer.substr(0, buffer.find(u'\0')); }
};

// Room for at least 5,000 picked drawings with long names.
inline constexpr DWORD kMultiSelectBufferSize = 2u * 1024u * 1024u;

FileDialogResult AskOpenFile(const FileDialogOptions& options);
FileDialogResult AskSaveFile(const FileDialogOptions& options);

// Tells the user that a file dialog failed (a result that did not fit, or a
// dialog that could not open), with the dialog's error code. Nothing else is
// done by the command.
void ReportFileDialogFailure(HWND owner, const FileDialogResult& result);

}  // namespace tovrel
