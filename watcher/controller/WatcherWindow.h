#pragma once

#include <cstdint>
#include <string>

#include "watcher/controller/ProgressWindow.h"
#include "watcher/controller/RunState.h"

namespace corvana {

// The full window of the active shape (FormProgress or FormProgressEF) as the controller drives it.
// Initialize enables TimerUpdate, which drives the run from then on.
class WatcherWindow : public ProgressWindow {
 public:
  // The efficient-frontier window uses only the first count.
  virtual void InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                         std::int32_t numLastTrialsToShow) = 0;
  virtual void Update(bool forceUpdateOfEverything, bool& updateLastResult) = 0;

  virtual void GoToStoppingConfig() = 0;
  // The next `count` ticks tell the add-in on channel 10 that the windows changed.
  virtual void SetResumeSignalTicks(int count) = 0;
  virtual RunState ButtonConfiguration() const = 0;

  // The public StopTimer flag and the TimerUpdate timer.
  virtual bool StopTimer() const = 0;
  virtual void SetStopTimer(bool value) = 0;
  virtual void SetTimerUpdateEnabled(bool enabled) = 0;
  virtual bool OrrGraphModalDialogBeingDisplayed() const = 0;

  // Single-optimization window only; the efficient-frontier window keeps these defaults.
  virtual bool ColorGraphTabSelected() const { return false; }
  virtual void EnableColorGraphTimer() {}
  // Titles the all-trials graph's horizontal axis, scales it 0..axisMaximum and writes it as a PNG picture.
  virtual bool SaveAllTrialsGraphPicture(const std::string& /*axisTitle*/, double /*axisMaximum*/,
                                         const std::string& /*path*/, int /*widthPixels*/,
                                         int /*heightPixels*/) {
    return false;
  }
};

}  // namespace corvana
