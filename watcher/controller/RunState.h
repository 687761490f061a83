#pragma once

namespace corvana {

// Where the run buttons of a progress window stand. The values are the ones the add-in's windows
// have always used for their button configuration.
enum class RunState : int {
  Running = 1,
  Pausing = 2,
  Stopping = 3,
};

}  // namespace corvana
