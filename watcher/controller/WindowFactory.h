#pragma once

#include <memory>

#include "watcher/controller/SmallWindow.h"
#include "watcher/controller/WatcherWindow.h"

namespace corvana {

// Creates the windows of one shape for InitializeForms; the program's composition root hands the
// real one to each controller.
class WindowFactory {
 public:
  virtual ~WindowFactory() = default;
  virtual std::unique_ptr<SmallWindow> CreateSmallWindow(bool efficientFrontier) = 0;
  virtual std::unique_ptr<WatcherWindow> CreateWatcherWindow(bool efficientFrontier) = 0;
};

}  // namespace corvana
