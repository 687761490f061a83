#pragma once

#include <cstdint>

namespace corvana {

class WatcherManager;

// What the controller does alike to the small and the full window of the active shape.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  virtual void Initialize(WatcherManager& manager) = 0;
  virtual void Dispose() = 0;
  virtual void ApplyFormLocalization() = 0;

  virtual void GoToRunningConfig() = 0;
  virtual void GoToPausingConfig() = 0;
  virtual void ControlsAfterStopClickedDisableEnable(bool enable) = 0;
  virtual void UpdateRunPauseButtons() = 0;
  virtual void SetExcelUpdateButtonState(bool pressed) = 0;

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
};

}  // namespace corvana
