#include "watcher/watcher_window/FormProgress.h"

#include <functional>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"

// The population tab: every organism's objective and genes, formatted as the grid draws them.

namespace corvana {

std::unique_ptr<PopulationTableSource> FormProgress::NewPopulationSource(SolutionTable table) {
  return std::make_unique<PopulationTableSource>(
      std::move(table),
      [this](std::int32_t organism) { return ObjectiveText(m_Manager->getGendaraResult(organism)); },
      [this](std::int32_t organism, std::vector<double>& values) {
        const std::int16_t rc = GdLib::GdOrgGetGenes(m_Manager->Input_PopHandle, organism, values);
        if (rc == 0) return true;
        ResumeNext([&] { GdLib::LogGdLibError("Update_ValueTable", "GdOrgGetGenes", rc, false); });
        return false;
      },
      // The grid draws rows when it paints, outside the update's lock: an organism is read under
      // the lock of its own, so that its row never mixes it with the organism replacing it.
      [this](const std::function<void()>& reads) {
        if (!m_Manager) return;  // a window let go draws nothing new
        const std::int32_t pop = m_Manager->Input_PopHandle;
        ResumeNext([&] { GdLib::GdPopLock(pop); });
        ErrorInfo err;
        ResumeNext(err, reads);
        ResumeNext([&] { GdLib::GdPopUnlock(pop); });
        if (err) RaiseError(err.Number, err.Source, err.Description);
      });
}

void FormProgress::Update_ValueTable() {
  if (!m_PopulationTable) return;
  WatcherManager& m = *m_Manager;
  ui::Platform& platform = m_Form.GetPlatform();
  const std::uint32_t t0 = platform.TickCount();
  // Organisms are replaced only as trials run: the same trial count is the same population.
  const bool changed = m_PopulationTable->SetPopulation(m.Input_PopulationSize, m_TrialCount);
  const std::uint32_t t1 = platform.TickCount();
  if (SGGridPopulation.DataSource() != m_PopulationTable.get())
    SGGridPopulation.SetDataSource(m_PopulationTable.get());
  else if (changed)
    SGGridPopulation.RefreshRows();
  const std::uint32_t t2 = platform.TickCount();
  Log("Population table update, firststage = " + std::to_string(t1 - t0) +
      " milliseconds, second stage = " + std::to_string(t2 - t1) + " milliseconds");
}

}  // namespace corvana
