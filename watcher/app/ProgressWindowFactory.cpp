#include "watcher/app/ProgressWindowFactory.h"

#include "suite/objectlib/ErrorRaising.h"
#include "watcher/small_window/FormProgressSmall.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {

namespace {
constexpr const char* kNoEfficientFrontier = "The efficient-frontier windows are not available.";
}

std::unique_ptr<SmallWindow> ProgressWindowFactory::CreateSmallWindow(bool efficientFrontier) {
  if (efficientFrontier)
    RaiseApplicationError("ProgressWindowFactory.CreateSmallWindow", kNoEfficientFrontier);
  return std::make_unique<FormProgressSmall>(m_Platform);
}

std::unique_ptr<WatcherWindow> ProgressWindowFactory::CreateWatcherWindow(bool efficientFrontier) {
  if (efficientFrontier)
    RaiseApplicationError("ProgressWindowFactory.CreateWatcherWindow", kNoEfficientFrontier);
  return std::make_unique<FormProgress>(m_Platform);
}

}  // namespace corvana
