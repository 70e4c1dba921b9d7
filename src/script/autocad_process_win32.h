// AutoCAD as a process of a run, never waited for in a loop: it starts in
// the run's job object, which ends it when Tovrel ends (killed or not), and
// a registered wait posts a message to the owning window when it ends, so
// that any message loop - the main one or a modal box's - carries the run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tovrel {

// The job object of a run: every AutoCAD started in it ends when the job's
// last handle closes, that is when the run ends or Tovrel does.
class RunJob {
public:
  RunJob();
  ~RunJob();
  RunJob(const RunJob&) = delete;
  RunJob& operator=(const RunJob&) = delete;
  HANDLE Handle() const { return job_; }

private:
  HANDLE job_ = nullptr;
};

class AutocadProcess {
public:
  AutocadProcess() = default;
  ~AutocadProcess();
  AutocadProcess(const AutocadProcess&) = delete;
  AutocadProcess& operator=(const AutocadProcess&) = delete;

  // Starts `program` with `commandLine` in `job`; when it ends, `message`
  // is posted to `window` with `cookie` as wParam. False when it cannot be
  // started.
  bool Start(const std::u16string& program, const std::u16string& commandLine, const RunJob& job, HWND window,
             UINT message, WPARAM cookie);
  bool Running() const { return process_ != nullptr; }
  bool Ended() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
  // Asks the process to end; its end is posted as any other.
  void End();
  // The exit code once it has ended; then lets the process go.
  std::uint32_t Finish();
  DWORD Id() const { return id_; }

private:
  void Release();
  static void CALLBACK OnEnded(void* context, BOOLEAN timedOut);

  HANDLE process_ = nullptr;
  HANDLE wait_ = nullptr;
  DWORD id_ = 0;
  HWND window_ = nullptr;
  UINT message_ = 0;
  WPARAM cookie_ = 0;
};

}  // namespace tovrel
