#include "watcher/watcher_window/FormProgress.h"

#include "common/ErrorTrap.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"

// The population tab: every organism's objective and genes.

namespace corvana {

void FormProgress::Update_ValueTable() {
  WatcherManager& m = *m_Manager;
  ui::Platform& platform = m_Form.GetPlatform();
  const std::uint32_t t0 = platform.TickCount();
  bool genesFailed = false;
  const std::string text = m_PopulationTable->PopulationText(
      m.Input_PopulationSize,
      [&](std::int32_t organism, std::string& objective, std::vector<double>& values) {
        objective = ObjectiveText(m.getGendaraResult(organism));
        // An invalid handle fails for every organism alike: reported once per refresh.
        if (genesFailed) return false;
        const std::int16_t rc = GdLib::GdOrgGetGenes(m.Input_PopHandle, organism, values);
        if (rc == 0) return true;
        genesFailed = true;
        ResumeNext([&] { GdLib::LogGdLibError("Update_ValueTable", "GdOrgGetGenes", rc, false); });
        return false;
      });
  const std::uint32_t t1 = platform.TickCount();
  SGGridPopulation.LoadText(text);
  const std::uint32_t t2 = platform.TickCount();
  Log("Population table update, firststage = " + std::to_string(t1 - t0) +
      " milliseconds, second stage = " + std::to_string(t2 - t1) + " milliseconds");
}

}  // namespace corvana
