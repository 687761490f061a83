#pragma once

#include "watcher/controller/WindowFactory.h"
#include "watcher/ui/Platform.h"

namespace corvana {

// Creates the real progress windows on a window system: FormProgressSmall and FormProgress for a
// single optimization.
class ProgressWindowFactory : public WindowFactory {
 public:
  explicit ProgressWindowFactory(ui::Platform& platform) : m_Platform(platform) {}

  // An efficient-frontier series raises 0x8004000A: its windows are not part of this factory.
  std::unique_ptr<SmallWindow> CreateSmallWindow(bool efficientFrontier) override;
  std::unique_ptr<WatcherWindow> CreateWatcherWindow(bool efficientFrontier) override;

 private:
  ui::Platform& m_Platform;
};

}  // namespace corvana
