#pragma once

#include <string>

namespace corvana {

// The suite's folders as every process of one user sees them. Each comes from its ORRENDEL_...
// variable when set, otherwise from the XDG defaults.
class SuiteFolders {
 public:
  // Engine libraries, resources and help: ORRENDEL_SYSTEM_DIR, else the first of
  // $XDG_DATA_HOME/corvana, $XDG_DATA_DIRS/corvana that exists (else the first candidate).
  static std::string SystemDirectory();
  // Diagnostic logs and the logging marker: ORRENDEL_LOG_DIR, else $XDG_STATE_HOME/corvana/log
  // (~/.local/state/corvana/log). Created on demand; a folder that cannot be created is still
  // returned, and writing into it then fails with the ordinary file error.
  static std::string LoggingFolder();
  // Lock files and shared-segment names: ORRENDEL_RUNTIME_DIR, else $XDG_RUNTIME_DIR/corvana,
  // else /tmp/corvana-<uid>. Created on demand with owner-only access; a folder that is not this
  // user's raises 0x8004000A.
  static std::string RuntimeDirectory();
  // Default trial logs, which grow by hundreds of megabytes a minute and so do not belong in the
  // runtime folder (often a small in-memory file system): "trials" in the logging folder. Created
  // on demand with owner-only access.
  static std::string TrialLogFolder();
  // The resources folder inside the system directory.
  static std::string ResourceDirectory();
};

}  // namespace corvana
