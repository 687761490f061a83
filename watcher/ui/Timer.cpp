#include "watcher/ui/Timer.h"

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "watcher/ui/Platform.h"

namespace corvana::ui {

Timer::Timer(std::string name, int intervalMs, bool enabled)
    : Control(ControlKind::Timer, std::move(name)), m_Interval(intervalMs < 0 ? 0 : intervalMs) {
  SetVisible(false);
  SetEnabled(enabled);
}

Timer::~Timer() {
  if (m_Platform) m_Platform->DetachTimer(*this);
}

void Timer::SetInterval(int ms) {
  if (ms < 0) RaiseError(kErrInvalidArgument, "Timer.Interval", "Invalid property value.");
  if (m_Interval == ms) return;
  m_Interval = ms;
  NotifyChanged("Interval");
}

void Timer::Fire() {
  if (Tick) ResumeNext([&] { Tick(); });
}

Variant Timer::Property(std::string_view name) const {
  if (name == "Interval") return Variant(static_cast<std::int32_t>(m_Interval));
  return Control::Property(name);
}

}  // namespace corvana::ui
