#pragma once

#include <cstdint>

#include "watcher/controller/HostObjectRef.h"

namespace corvana {

// The suite's application object that shows help topics (Input_NETApplication).
class HelpHost {
 public:
  virtual ~HelpHost() = default;
  virtual HostObjectRef Reference() const = 0;
  // Interop.ShowHelp
  virtual void ShowHelp(std::int32_t helpContextID) = 0;
};

}  // namespace corvana
