#pragma once

#include <string>

namespace corvana {

// A reference to an object that another process serves on the bus: its bus name and object path.
// An empty path is the reference to nothing.
struct HostObjectRef {
  std::string Service;
  std::string Path;

  bool IsNothing() const noexcept { return Path.empty(); }
  bool operator==(const HostObjectRef&) const = default;
};

}  // namespace corvana
