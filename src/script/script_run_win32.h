// A run of AutoCAD over rows of the list, driven by the owning window's own
// messages: AutoCAD's end arrives as kRunProcessEnded (a registered wait
// posts it), a clock timer gives the time-outs and the progress figures, a
// pause timer the gap between two starts, and the progress window posts
// Stop. No code waits, so a message box or dialog open meanwhile, whose
// loop dispatches the same messages, never holds the run up. What happens
// next is decided by the RunMachine; this class only does it: writes the
// scripts, starts and ends AutoCAD in the run's job object, checks the
// output files, and writes the journal and the resume record line by line.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "script/autocad_process_win32.h"
#include "script/run_machine.h"
#include "script/script_runner_win32.h"

namespace tovrel {

class ProgressWindow;
class RunJournalFile;
class ResumeRecordFile;
class KeepAwake;

// Messages and timers of the owning window that belong to the run.
inline constexpr UINT kRunProcessEnded = WM_APP + 20;  // wParam: the start it ends
inline constexpr UINT kRunStop = WM_APP + 21;          // wParam 1: now, 0: after this drawing
inline constexpr UINT kRunNotice = WM_APP + 22;        // wParam: a message number to show
inline constexpr UINT kRunProcessStarted = WM_APP + 23;  // wParam: the start; lParam 0: it failed
inline constexpr UINT_PTR kRunPauseTimer = 2;
inline constexpr UINT_PTR kRunClockTimer = 41;
inline constexpr UINT_PTR kRunEndCheckTimer = 42;

// Catalog messages of a run.
inline constexpr int kMessageAutocadNotEnded = 66;
inline constexpr int kMessageResumeNotWritten = 67;
inline constexpr int kMessageResumeUnreadable = 68;

struct RunRequest {
  RunMode mode = RunMode::WholeList;
  std::vector<int> rows;    // the list rows, in the order the run takes them
  bool clearMarks = false;  // rows lose their selection marks as their script is written
  int batchSize = 0;        // a whole-list run: rows per start of AutoCAD, 0 for all
};

class ScriptRun {
public:
  ScriptRun(HWND window, HWND list, const ScriptRunContext& context, RunRequest request);
  ~ScriptRun();
  ScriptRun(const ScriptRun&) = delete;
  ScriptRun& operator=(const ScriptRun&) = delete;

  void Start();
  void OnProcessStarted(WPARAM start, bool ok);
  void OnProcessEnded(WPARAM start);
  // True when the timer was the run's.
  bool OnTimer(UINT_PTR id);
  void OnStop(bool now);
  // Ends the run at once: AutoCAD is ended, the journal completed.
  void Abort();
  // The journal and the resume record on the disk (the session ends).
  void Flush();

  bool Over() const { return over_; }
  RunMode Mode() const { return request_.mode; }
  // What the run did, and the messages to show after it (message numbers).
  RunReport Report() const;
  const std::vector<int>& MessagesAfter() const { return messagesAfter_; }
  const std::u16string& JournalError() const { return journalError_; }

private:
  void Do(RunMachine::Step step);
  RunMachine::Step StartUnit(int unit);
  void EndProcess();
  void Finish();
  void WriteFinished();
  void ShowFigures();

  HWND window_;
  HWND list_;
  AppSettings settings_;
  ScriptTemplate template_;
  int templateIndex_;
  std::u16string runsFolder_;
  RunRequest request_;
  RunMachine machine_;
  std::vector<RunRecord> records_;
  std::vector<std::vector<std::u16string>> outputs_;
  std::unique_ptr<RunJob> job_;
  AutocadProcess process_;
  WPARAM startCount_ = 0;
  std::unique_ptr<ProgressWindow> progress_;
  std::unique_ptr<RunJournalFile> journal_;
  std::unique_ptr<ResumeRecordFile> resume_;
  std::unique_ptr<KeepAwake> awake_;
  ClockTime started_{};
  ULONGLONG startTick_ = 0;
  ULONGLONG unitTick_ = 0;
  FILETIME unitFileTime_{};
  int done_ = 0;
  bool over_ = false;
  bool journalFailed_ = false;
  std::vector<int> messagesAfter_;
  std::u16string journalError_;
};

}  // namespace tovrel
