#include "watcher/app/ProgressWindowFactory.h"

#include "watcher/frontier_window/FormProgressEF.h"
#include "watcher/frontier_window/FormProgressSmallEF.h"
#include "watcher/small_window/FormProgressSmall.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {

std::unique_ptr<SmallWindow> ProgressWindowFactory::CreateSmallWindow(bool efficientFrontier) {
  if (efficientFrontier) return std::make_unique<FormProgressSmallEF>(m_Platform);
  return std::make_unique<FormProgressSmall>(m_Platform);
}

std::unique_ptr<WatcherWindow> ProgressWindowFactory::CreateWatcherWindow(bool efficientFrontier) {
  if (efficientFrontier) return std::make_unique<FormProgressEF>(m_Platform);
  return std::make_unique<FormProgress>(m_Platform);
}

}  // namespace corvana
