#pragma once

#include "watcher/controller/WindowFactory.h"
#include "watcher/ui/Platform.h"

namespace corvana {

// Creates the real progress windows on a window system: FormProgressSmall and FormProgress for a
// single optimization, FormProgressSmallEF and FormProgressEF for an efficient-frontier series.
class ProgressWindowFactory : public WindowFactory {
 public:
  explicit ProgressWindowFactory(ui::Platform& platform) : m_Platform(platform) {}

  std::unique_ptr<SmallWindow> CreateSmallWindow(bool efficientFrontier) override;
  std::unique_ptr<WatcherWindow> CreateWatcherWindow(bool efficientFrontier) override;

 private:
  ui::Platform& m_Platform;
};

}  // namespace corvana
