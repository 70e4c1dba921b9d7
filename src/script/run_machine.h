// The decisions of a run, whatever its mode: which rows go to which start of
// AutoCAD, when a start has run past its time, what Stop does, and what
// each row's result is. The window layer tells it what happened (AutoCAD
// ended with a code, a tick of the clock, Stop, the pause ended) and does
// what it answers: start a unit, end the process, wait the pause, finish.
// Nothing here waits; the clock is the caller's (awake milliseconds, so
// that a sleeping machine does not time a drawing out).
#pragma once

#include <cstdint>
#include <vector>

#include "script/run_journal.h"

namespace tovrel {

// The rows of a run split into starts of AutoCAD: `batchSize` rows to each
// (0 = all in one). Every unit holds indexes into the run's rows.
std::vector<std::vector<int>> SplitIntoBatches(int itemCount, int batchSize);

struct ItemOutcome {
  RowResult result = RowResult::NotStarted;
  std::uint32_t exitCode = 0;
  FailReason reason = FailReason::None;
  bool final = false;  // the result will not change any more
};

class RunMachine {
public:
  enum class Do {
    StartUnit,   // write the script of unit `unit` and start AutoCAD on it
    EndProcess,  // end the running AutoCAD, then say ProcessEnded (or EndFailed)
    Pause,       // wait `pauseMs`, then say PauseEnded
    Finish,      // the run is over: every item has its final result
    Nothing,     // go on waiting
  };
  struct Step {
    Do what = Do::Nothing;
    int unit = -1;
  };

  // `units` from SplitIntoBatches; `perItemTimeoutMs` 0: no limit (a unit
  // gets its rows times the limit).
  RunMachine(std::vector<std::vector<int>> units, int itemCount, std::uint64_t perItemTimeoutMs, int pauseMs);

  Step Begin();
  // AutoCAD of the current unit is running since `nowMs`.
  void Started(std::uint64_t nowMs);
  // The current unit's rows that cannot run (their drawing is missing):
  // they get this result now and are left out of the unit's script.
  void LeaveOut(int item, RowResult result);
  // The current unit has nothing left to run (every row left out).
  Step UnitSkipped();
  // The unit's script could not be written, or AutoCAD could not be started.
  Step StartFailed(FailReason reason);
  // A row of a unit that cannot be written in a run that passes over it
  // (the timer-driven run) rather than ending.
  Step ScriptFailedPassOver();
  Step ProcessEnded(std::uint32_t exitCode);
  // AutoCAD was told to end but did not: the run stops, no other starts.
  Step EndFailed();
  Step Tick(std::uint64_t nowMs);
  Step StopAfterThis();
  Step StopNow();
  Step PauseEnded();
  // Ends the run at once (the session ends, an error): the running unit is
  // stopped, the rest not started.
  void Abort();

  bool Running() const { return phase_ == Phase::Running; }
  // AutoCAD of the current unit is to be ended (a time-out, Stop now).
  bool Ending() const { return phase_ == Phase::Ending; }
  bool Over() const { return phase_ == Phase::Over; }
  int UnitCount() const { return static_cast<int>(units_.size()); }
  int CurrentUnit() const { return current_; }
  const std::vector<int>& Unit(int unit) const { return units_[static_cast<std::size_t>(unit)]; }
  const ItemOutcome& Outcome(int item) const { return items_[static_cast<std::size_t>(item)]; }
  // The items whose result became final since the last call, in order.
  std::vector<int> TakeFinished();
  std::uint64_t UnitLimitMs(int unit) const;
  int PauseMs() const { return pauseMs_; }

private:
  enum class Phase { Idle, Running, Ending, Pausing, Over };
  void Settle(int item, RowResult result, std::uint32_t exitCode = 0, FailReason reason = FailReason::None);
  Step NextUnit();
  Step FinishRest();

  std::vector<std::vector<int>> units_;
  std::vector<ItemOutcome> items_;
  std::vector<int> finished_;
  std::uint64_t perItemTimeoutMs_;
  int pauseMs_;
  int current_ = -1;
  Phase phase_ = Phase::Idle;
  std::uint64_t startedMs_ = 0;
  bool started_ = false;  // the unit's AutoCAD is up (its start may take a while)
  RowResult endingAs_ = RowResult::TimedOut;
  bool stopAfterThis_ = false;
};

}  // namespace tovrel
