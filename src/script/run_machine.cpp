#include "script/run_machine.h"

#include <algorithm>
#include <utility>

namespace tovrel {

std::vector<std::vector<int>> SplitIntoBatches(int itemCount, int batchSize) {
  std::vector<std::vector<int>> units;
  if (itemCount <= 0) return units;
  const int size = batchSize <= 0 ? itemCount : batchSize;
  for (int first = 0; first < itemCount; first += size) {
    std::vector<int> unit;
    for (int i = first; i < std::min(itemCount, first + size); ++i) unit.push_back(i);
    units.push_back(std::move(unit));
  }
  return units;
}

RunMachine::RunMachine(std::vector<std::vector<int>> units, int itemCount, std::uint64_t perItemTimeoutMs,
                       int pauseMs)
    : units_(std::move(units)),
      items_(static_cast<std::size_t>(std::max(itemCount, 0))),
      perItemTimeoutMs_(perItemTimeoutMs),
      pauseMs_(pauseMs) {}

std::uint64_t RunMachine::UnitLimitMs(int unit) const {
  std::uint64_t rows = 0;
  for (const int item : Unit(unit)) rows += items_[static_cast<std::size_t>(item)].final ? 0 : 1;
  return perItemTimeoutMs_ * std::max<std::uint64_t>(rows, 1);
}

void RunMachine::Settle(int item, RowResult result, std::uint32_t exitCode, FailReason reason) {
  ItemOutcome& outcome = items_[static_cast<std::size_t>(item)];
  if (outcome.final) return;
  outcome = ItemOutcome{result, exitCode, reason, true};
  finished_.push_back(item);
}

std::vector<int> RunMachine::TakeFinished() { return std::exchange(finished_, {}); }

RunMachine::Step RunMachine::Begin() {
  current_ = -1;
  return NextUnit();
}

RunMachine::Step RunMachine::NextUnit() {
  if (stopAfterThis_ || current_ + 1 >= UnitCount()) return FinishRest();
  ++current_;
  phase_ = Phase::Running;
  startedMs_ = 0;
  started_ = false;
  return Step{Do::StartUnit, current_};
}

RunMachine::Step RunMachine::FinishRest() {
  for (std::size_t i = 0; i < items_.size(); ++i) Settle(static_cast<int>(i), RowResult::NotStarted);
  phase_ = Phase::Over;
  return Step{Do::Finish, -1};
}

void RunMachine::Started(std::uint64_t nowMs) {
  startedMs_ = nowMs;
  started_ = true;
}

void RunMachine::LeaveOut(int item, RowResult result) { Settle(item, result); }

RunMachine::Step RunMachine::UnitSkipped() { return NextUnit(); }

RunMachine::Step RunMachine::StartFailed(FailReason reason) {
  // The unit's rows are not started: the reason goes with them, and the
  // run ends, since the next start would fail as this one did.
  for (const int item : Unit(current_)) Settle(item, RowResult::NotStarted, 0, reason);
  return FinishRest();
}

RunMachine::Step RunMachine::ScriptFailedPassOver() {
  for (const int item : Unit(current_)) Settle(item, RowResult::Failed, 0, FailReason::ScriptNotWritten);
  return NextUnit();
}

RunMachine::Step RunMachine::ProcessEnded(std::uint32_t exitCode) {
  if (phase_ != Phase::Running && phase_ != Phase::Ending) return Step{};
  const bool ending = phase_ == Phase::Ending;
  for (const int item : Unit(current_)) {
    if (ending) {
      Settle(item, endingAs_);
    } else {
      Settle(item, exitCode == 0 ? RowResult::Plotted : RowResult::Failed, exitCode);
    }
  }
  if (ending && endingAs_ == RowResult::Stopped) return FinishRest();
  if (stopAfterThis_ || current_ + 1 >= UnitCount()) return FinishRest();
  phase_ = Phase::Pausing;
  return Step{Do::Pause, current_};
}

RunMachine::Step RunMachine::EndFailed() {
  for (const int item : Unit(current_)) Settle(item, RowResult::Failed, 0, FailReason::NotEnded);
  return FinishRest();
}

RunMachine::Step RunMachine::Tick(std::uint64_t nowMs) {
  if (phase_ != Phase::Running || !started_ || perItemTimeoutMs_ == 0) return Step{};
  if (nowMs < startedMs_ || nowMs - startedMs_ < UnitLimitMs(current_)) return Step{};
  phase_ = Phase::Ending;
  endingAs_ = RowResult::TimedOut;
  return Step{Do::EndProcess, current_};
}

RunMachine::Step RunMachine::StopAfterThis() {
  stopAfterThis_ = true;
  if (phase_ == Phase::Pausing) return FinishRest();
  return Step{};
}

RunMachine::Step RunMachine::StopNow() {
  stopAfterThis_ = true;
  if (phase_ == Phase::Pausing || phase_ == Phase::Idle) return FinishRest();
  if (phase_ == Phase::Ending) {
    endingAs_ = RowResult::Stopped;  // being ended already: the stop is its reason now
    return Step{};
  }
  if (phase_ != Phase::Running) return Step{};
  phase_ = Phase::Ending;
  endingAs_ = RowResult::Stopped;
  return Step{Do::EndProcess, current_};
}

RunMachine::Step RunMachine::PauseEnded() {
  if (phase_ != Phase::Pausing) return Step{};
  return NextUnit();
}

void RunMachine::Abort() {
  if (phase_ == Phase::Running || phase_ == Phase::Ending) {
    for (const int item : Unit(current_)) Settle(item, RowResult::Stopped);
  }
  FinishRest();
}

}  // namespace tovrel
