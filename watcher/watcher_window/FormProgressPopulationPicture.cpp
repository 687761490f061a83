#include "watcher/watcher_window/FormProgress.h"

#include <utility>
#include <vector>

#include "common/ErrorTrap.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"

// The population picture tab: every organism's genes as palette colours. The colours are read
// from the engine only by the update cycle (inside the manager's lock) while the tab shows; a
// damaged picture is redrawn from the stored table through the one-shot timer, never from a paint.

namespace corvana {

namespace {
// Solving methods whose genes lie in a range; the others are coloured by distinct values.
bool HasRange(std::int32_t method) {
  return method == 1 || method == 4;
}
}  // namespace

void FormProgress::ColorGraph_Construct() {
  TimerForColorGraph.Tick = [this] { TimerForColorGraph_Timer(); };
  PopulationColorGraph.MouseMove = [this](int, int, int x, int y) { PopulationColorGraph_MouseMove(x, y); };
}

void FormProgress::ColorGraph_Initialize() {
  if (!m_Manager) return;
  m_ColorTable.Initialize(static_cast<int>(m_Manager->Input_AllGeneNamesCol.Count()),
                          m_Manager->Input_PopulationSize);
}

void FormProgress::KickColorGraphTimer() {
  if (TabMain.SelectedIndex() == TabColorGraph) TimerForColorGraph.SetEnabled(true);
}

void FormProgress::TimerForColorGraph_Timer() {
  TimerForColorGraph.SetEnabled(false);
  if (m_Manager && m_Manager->GotInitializedAfterFirstTrial) ColorGraph_Update(true);
}

void FormProgress::ColorGraph_ReadPopulation() {
  WatcherManager& m = *m_Manager;
  const std::int32_t pop = m.Input_PopHandle;
  const int columns = m_ColorTable.Columns();
  const int rows = m_ColorTable.Rows();
  int column = 0;
  const auto report = [](const char* call, std::int32_t rc) {
    ResumeNext([&] { GdLib::LogGdLibError("ColorGraph_Update", call, rc, false); });
  };
  for (long g = 1; g <= m.Input_GroupNames.Count() && column < columns; ++g) {
    std::int32_t genes = 0;
    ResumeNext([&] { genes = GdLib::GdChrGetGeneCount(pop, static_cast<std::int32_t>(g)); });
    if (genes < 0) {
      report("GdChrGetGeneCount", genes);
      continue;
    }
    std::int32_t method = 0;
    ResumeNext([&] {
      if (g <= m.Input_GroupSolvingMethods.Count()) method = m.Input_GroupSolvingMethods.Item(g).ToLong();
    });
    for (std::int32_t j = 1; j <= genes; ++j) {
      if (++column > columns) return;
      double minimum = 0, maximum = 0;
      if (HasRange(method)) {
        const std::int16_t rc = GdLib::GdGeneGetRange(pop, static_cast<std::int32_t>(g), j, minimum, maximum);
        if (rc != 0) {
          report("GdGeneGetRange", rc);
          continue;
        }
      }
      for (int k = 1; k <= rows; ++k) {
        double value = 0;
        const std::int16_t rc = GdLib::GdGeneGetValue(pop, static_cast<std::int32_t>(g), j, k, value);
        if (rc != 0) {
          report("GdGeneGetValue", rc);
          continue;
        }
        if (HasRange(method))
          m_ColorTable.SetRangeValue(column, k, value, minimum, maximum);
        else
          m_ColorTable.SetDistinctValue(column, k, value);
      }
    }
  }
}

void FormProgress::ColorGraph_Update(bool redrawOnly) {
  if (!m_Manager) return;
  ui::Platform& platform = m_Form.GetPlatform();
  ErrorInfo err;
  ResumeNext(err, [&] {
    const std::uint32_t t0 = platform.TickCount();
    if (!redrawOnly) ResumeNext([&] { ColorGraph_ReadPopulation(); });
    m_ColorTable.Resolve();
    std::vector<ui::FilledRect> rects;
    m_ColorTable.Draw(PopulationColorGraph.ScaleWidth(), PopulationColorGraph.ScaleHeight(), rects);
    PopulationColorGraph.SetRects(std::move(rects));
    const std::uint32_t t1 = platform.TickCount();
    Log("Color table update time: " + std::to_string(t1 - t0) + " milliseconds.");
  });
  if (err) Log("Error in ColorGraph_Update: " + err.Description + " (" + ErrorNumberText(err) + ")");
}

void FormProgress::PopulationColorGraph_MouseMove(int x, int y) {
  ResumeNext([&] {
    std::string tip;
    int column = 0, row = 0;
    if (m_Manager && m_ColorTable.CellAt(x, y, PopulationColorGraph.ScaleWidth(),
                                         PopulationColorGraph.ScaleHeight(), column, row)) {
      tip = m_Manager->Input_AllGeneNamesCol.Item(column).ToString();
      double value = 0;
      if (m_ColorTable.Value(column, row, value))
        tip += ": " + WatcherOLShared::FormatNumberDefault(value).ToString();
    }
    if (tip != PopulationColorGraph.ToolTipText()) PopulationColorGraph.SetToolTipText(tip);
  });
}

}  // namespace corvana
