#include "script/autocad_process_win32.h"

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

AutocadProcess::~AutocadProcess() { Release(); }

bool AutocadProcess::Start(const std::u16string& program, const std::u16string& commandLine, const RunJob& job,
                           HWND window, UINT message, WPARAM cookie) {
  Release();
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // The executable is passed as the program, so a path with blanks needs no
  // quotes. It starts suspended, so that it is in the job before it runs.
  if (!CreateProcessW(reinterpret_cast<const wchar_t*>(program.c_str()), line.data(), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  if (job.Handle()) AssignProcessToJobObject(job.Handle(), info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
  window_ = window;
  message_ = message;
  cookie_ = cookie;
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
  // The wait's callback may run at this moment: it is over before the
  // process handle and this object go.
  if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
  wait_ = nullptr;
  if (process_) CloseHandle(process_);
  process_ = nullptr;
}

}  // namespace tovrel
