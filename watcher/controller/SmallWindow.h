#pragma once

#include "watcher/controller/ProgressWindow.h"

namespace corvana {

// The small progress window of the active shape (FormProgressSmall or FormProgressSmallEF).
// Initialize decides, from Input_SuppressProgressWindow, whether it appears at once.
class SmallWindow : public ProgressWindow {
 public:
  virtual void InitializeAfterFirstTrial() = 0;
  virtual void Update() = 0;
};

}  // namespace corvana
