#include "watcher/watcher_window/FormProgress.h"

// The population picture tab: redrawn once after whatever showed it.

namespace corvana {

void FormProgress::KickColorGraphTimer() {
  if (TabMain.SelectedIndex() == TabColorGraph) TimerForColorGraph.SetEnabled(true);
}

}  // namespace corvana
