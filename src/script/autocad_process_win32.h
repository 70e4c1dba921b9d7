// AutoCAD as a process of a run, never waited for in a loop: it starts in
// the run's job object, which ends it when Tovrel ends (killed or not), and
// a registered wait posts a message to the owning window when it ends, so
// that any message loop - the main one or a modal box's - carries the run.
// Even the start leaves the window thread: CreateProcess waits until the
// new process is up, which on a loaded machine takes seconds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
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

struct PendingStart;

class AutocadProcess {
public:
  AutocadProcess() = default;
  ~AutocadProcess();
  AutocadProcess(const AutocadProcess&) = delete;
  AutocadProcess& operator=(const AutocadProcess&) = delete;

  // Starts `program` with `commandLine` in `job` on a thread of the pool;
  // `startedMessage` is posted to `window` with `cookie` when it is up
  // (lParam 1) or could not be started (lParam 0). False when the start
  // cannot even be handed over.
  bool BeginStart(const std::u16string& program, const std::u16string& commandLine, const RunJob& job, HWND window,
                  UINT startedMessage, WPARAM cookie);
  // On the started message: true when AutoCAD runs; its end is then posted
  // as `endedMessage` with the same cookie.
  bool TakeStarted(UINT endedMessage);
  bool Starting() const { return pending_ != nullptr; }
  bool Running() const { return process_ != nullptr; }
  bool Ended() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
  // Asks the process to end; its end is posted as any other.
  void End();
  // The exit code once it has ended; then lets the process go.
  std::uint32_t Finish();

private:
  void Release();
  static void CALLBACK OnEnded(void* context, BOOLEAN timedOut);

  std::shared_ptr<PendingStart> pending_;
  HANDLE process_ = nullptr;
  HANDLE wait_ = nullptr;
  HWND window_ = nullptr;
  UINT message_ = 0;
  WPARAM cookie_ = 0;
};

}  // namespace tovrel
