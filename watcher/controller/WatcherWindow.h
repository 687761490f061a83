#pragma once

#include <cstdint>
#include <string>

namespace corvana {

class WatcherManager;

// The full window of the active shape (FormProgress or FormProgressEF) as the controller drives it.
class WatcherWindow {
 public:
  virtual ~WatcherWindow() = default;

  // Enables TimerUpdate, which drives the run from then on.
  virtual void Initialize(WatcherManager& manager) = 0;
  // The efficient-frontier window uses only the first count.
  virtual void InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                         std::int32_t numLastTrialsToShow) = 0;
  virtual void Update(bool forceUpdateOfEverything, bool& updateLastResult) = 0;
  virtual void Dispose() = 0;
  virtual void ApplyFormLocalization() = 0;

  virtual void GoToRunningConfig() = 0;
  virtual void GoToPausingConfig() = 0;
  virtual void GoToStoppingConfig() = 0;
  virtual void ControlsAfterStopClickedDisableEnable(bool enable) = 0;
  virtual void UpdateRunPauseButtons() = 0;
  // The next `count` ticks tell the add-in on channel 10 that the windows changed.
  virtual void SetResumeSignalTicks(int count) = 0;
  // 1 running, 2 pausing, 3 stopping.
  virtual int ButtonConfiguration() const = 0;
  virtual void SetExcelUpdateButtonState(bool pressed) = 0;

  // The public StopTimer flag and the TimerUpdate timer.
  virtual bool StopTimer() const = 0;
  virtual void SetStopTimer(bool value) = 0;
  virtual void SetTimerUpdateEnabled(bool enabled) = 0;
  virtual bool OrrGraphModalDialogBeingDisplayed() const = 0;

  // Window-system side. Show(true) returns when the user has closed the window.
  virtual void Show(bool modal) = 0;
  virtual void Hide() = 0;
  virtual void Unload() = 0;
  virtual bool Visible() const = 0;
  virtual std::uint64_t WindowId() const = 0;
  virtual double Top() const = 0;  // twips
  // Changes the z-order only: size, position and painting stay as they are.
  virtual void SetTopMost(bool topMost) = 0;
  virtual void Activate() = 0;
  virtual std::int32_t HelpContextID() const = 0;

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
