#include "script/autocad_process_win32.h"

#include <atomic>
#include <vector>

namespace tovrel {

RunJob::RunJob() : job_(CreateJobObjectW(nullptr, nullptr)) {
  if (!job_) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

RunJob::~RunJob() {
  if (job_) CloseHandle(job_);
}

// What the pool thread is given and hands back. Shared by both sides, so
// that a run ended meanwhile leaves nothing dangling: the job handle it
// holds keeps the job until the process is in it, and the last owner's
// close ends an AutoCAD nobody waits for any more.
struct PendingStart {
  std::u16string program, commandLine;
  HANDLE job = nullptr;
  HWND window = nullptr;
  UINT message = 0;
  WPARAM cookie = 0;
  HANDLE process = nullptr;
  std::atomic<bool> abandoned{false};

  ~PendingStart() {
    if (process) {
      TerminateProcess(process, 1);
      CloseHandle(process);
    }
    if (job) CloseHandle(job);
  }
};

namespace {

DWORD WINAPI StartOnPool(void* context) {
  const std::unique_ptr<std::shared_ptr<PendingStart>> owner(static_cast<std::shared_ptr<PendingStart>*>(context));
  PendingStart& start = **owner;
  std::vector<wchar_t> line(start.commandLine.begin(), start.commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // The executable is passed as the program, so a path with blanks needs no
  // quotes. It starts suspended, so that it is in the job before it runs.
  const bool ok = CreateProcessW(reinterpret_cast<const wchar_t*>(start.program.c_str()), line.data(), nullptr,
                                 nullptr, FALSE, NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr, nullptr,
                                 &startup, &info) != 0;
  if (ok) {
    if (start.job) AssignProcessToJobObject(start.job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    start.process = info.hProcess;
  }
  if (!start.abandoned) PostMessageW(start.window, start.message, start.cookie, ok ? 1 : 0);
  return 0;
}

}  // namespace

AutocadProcess::~AutocadProcess() { Release(); }

bool AutocadProcess::BeginStart(const std::u16string& program, const std::u16string& commandLine, const RunJob& job,
                                HWND window, UINT startedMessage, WPARAM cookie) {
  Release();
  auto start = std::make_shared<PendingStart>();
  start->program = program;
  start->commandLine = commandLine;
  if (job.Handle()) {
    DuplicateHandle(GetCurrentProcess(), job.Handle(), GetCurrentProcess(), &start->job, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  }
  start->window = window;
  start->message = startedMessage;
  start->cookie = cookie;
  auto* handedOver = new std::shared_ptr<PendingStart>(start);
  if (!QueueUserWorkItem(StartOnPool, handedOver, WT_EXECUTELONGFUNCTION)) {
    delete handedOver;
    return false;
  }
  pending_ = std::move(start);
  window_ = window;
  cookie_ = cookie;
  return true;
}

bool AutocadProcess::TakeStarted(UINT endedMessage) {
  if (!pending_) return false;
  process_ = pending_->process;
  pending_->process = nullptr;
  pending_.reset();
  if (!process_) return false;
  message_ = endedMessage;
  if (!RegisterWaitForSingleObject(&wait_, process_, OnEnded, this, INFINITE, WT_EXECUTEONLYONCE)) {
    wait_ = nullptr;
    PostMessageW(window_, message_, cookie_, 0);  // the run looks at the process itself
  }
  return true;
}

void CALLBACK AutocadProcess::OnEnded(void* context, BOOLEAN) {
  const auto* self = static_cast<const AutocadProcess*>(context);
  PostMessageW(self->window_, self->message_, self->cookie_, 0);
}

void AutocadProcess::End() {
  if (process_) TerminateProcess(process_, 1);
}

std::uint32_t AutocadProcess::Finish() {
  DWORD code = 0;
  if (process_) GetExitCodeProcess(process_, &code);
  Release();
  return code;
}

void AutocadProcess::Release() {
  if (pending_) {
    pending_->abandoned = true;  // its AutoCAD ends with the last owner
    pending_.reset();
  }
  // The wait's callback may run at this moment: it is over before the
  // process handle and this object go.
  if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
  wait_ = nullptr;
  if (process_) CloseHandle(process_);
  process_ = nullptr;
}

}  // namespace tovrel
