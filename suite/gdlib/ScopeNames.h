#pragma once

#include <cstdint>
#include <string>

namespace gdlib {

// Names of everything this library shares between processes. They derive from the suite runtime
// directory, so two suites (or two test runs) on one machine never meet.
class ScopeNames {
 public:
  // ORRENDEL_RUNTIME_DIR, else $XDG_RUNTIME_DIR/corvana (when that folder exists), else
  // /tmp/corvana-<uid>; created (0700). The same rule as the rest of the suite.
  static std::string RuntimeDirectory();
  // "corvana-gd-<hash of the runtime directory>-pop-" (no leading slash).
  static std::string PopulationPrefix();
  // "/corvana-gd-<hash>-pop-<handle>", a POSIX shared-memory name.
  static std::string PopulationSegment(std::int32_t handle);
  // "<runtime directory>/gdlib8-channels".
  static std::string ChannelFile();
};

}  // namespace gdlib
