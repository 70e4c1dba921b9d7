// Starting from the command line: the one Tovrel of a working folder, the
// usage box, the check without a window, and what a run asks for before the
// window is made.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/command_line.h"

namespace tovrel {

struct AppContext;

// The request of this start: the arguments after the program name, with the
// list and the output file made full paths against the current directory
// (the folder the scheduler or the batch file starts in).
LaunchRequest ReadLaunchRequest(const wchar_t* commandLine);

// Routes every message of an unattended start to "runs\run-<time>.log" (or
// "check-<time>.log") in the working folder, from now on.
void RouteUnattendedMessages(const AppContext& app, const LaunchRequest& request);

// What ends before the main window is made: a line that cannot be read, the
// usage, the check, a run whose list, template or mode cannot be served.
// Returns the exit code then, or nothing when the window is to be made.
// Loads the catalog and settings (and for a check or run the templates).
std::optional<int> LaunchBeforeWindow(AppContext& app, const LaunchRequest& request);

// The one Tovrel of a working folder: a named mutex, held for the whole life
// of the process.
class InstanceLock {
public:
  explicit InstanceLock(const std::u16string& workingFolder);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // False when another Tovrel holds the folder.
  bool Held() const { return held_; }

private:
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

// Brings the main window of the Tovrel that holds the folder to the front
// (waiting a few seconds for it while that one is still starting).
void BringOtherInstanceToFront(const wchar_t* className, const std::u16string& workingFolder);

// The main window answers the question of a second start: nonzero when it
// works in that folder (the caller then brings it to the front).
bool IsInstanceQuery(UINT message);
LRESULT AnswerInstanceQuery(LPARAM folderHash, const std::u16string& workingFolder);

}  // namespace tovrel
