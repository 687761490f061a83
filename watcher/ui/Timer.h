#pragma once

#include <functional>
#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

class Platform;

// A timer: while enabled and attached to a platform, Timer fires every Interval ms. An interval of
// 0 never fires. Detaches itself from its platform when destroyed.
class Timer : public Control {
 public:
  explicit Timer(std::string name, int intervalMs = 0, bool enabled = false);
  ~Timer() override;

  bool HasFont() const noexcept override { return false; }

  int Interval() const noexcept { return m_Interval; }
  void SetInterval(int ms);  // negative raises the invalid-argument error
  bool TimerEnabled() const noexcept { return Enabled(); }

  // The platform that runs it (set by Platform::AttachTimer).
  Platform* AttachedPlatform() const noexcept { return m_Platform; }
  void SetAttachedPlatform(Platform* platform) noexcept { m_Platform = platform; }

  // Runs the tick handler with errors trapped: nothing propagates out of a tick.
  void Fire();

  Variant Property(std::string_view name) const override;

  // The tick handler (the form's <Timer>_Timer event).
  std::function<void()> Tick;

 private:
  int m_Interval;
  Platform* m_Platform = nullptr;
};

}  // namespace corvana::ui
