#pragma once

#include <cstdint>

namespace corvana {

class WatcherManager;

// The small progress window of the active shape (FormProgressSmall or FormProgressSmallEF).
class SmallWindow {
 public:
  virtual ~SmallWindow() = default;

  // Decides itself, from Input_SuppressProgressWindow, whether it appears at once.
  virtual void Initialize(WatcherManager& manager) = 0;
  virtual void InitializeAfterFirstTrial() = 0;
  virtual void Update() = 0;
  virtual void Dispose() = 0;
  virtual void ApplyFormLocalization() = 0;

  virtual void GoToRunningConfig() = 0;
  virtual void GoToPausingConfig() = 0;
  virtual void ControlsAfterStopClickedDisableEnable(bool enable) = 0;
  virtual void UpdateRunPauseButtons() = 0;
  virtual void SetExcelUpdateButtonState(bool pressed) = 0;

  virtual void Show(bool modal) = 0;
  virtual void Hide() = 0;
  virtual void Unload() = 0;
  virtual bool Visible() const = 0;
  virtual std::uint64_t WindowId() const = 0;
  virtual double Top() const = 0;  // twips
  virtual void SetTopMost(bool topMost) = 0;
  virtual void Activate() = 0;
  virtual std::int32_t HelpContextID() const = 0;
};

}  // namespace corvana
