#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "watcher/ui/IsgGridDataSource.h"
#include "watcher/watcher_window/SolutionTable.h"

namespace corvana {

// The population grid's rows, read from the engine and formatted only when the grid draws them:
// row 0 is organism N (row header 1), then objective and genes. Rows once formatted are kept until
// the population moves on, so a tick with nothing new costs nothing per organism.
class PopulationTableSource : public ui::IsgGridDataSource {
 public:
  // Organism i's objective, as shown.
  using ObjectiveReader = std::function<std::string(std::int32_t organism)>;
  // Organism i's genes; false when the engine cannot give them. After a failure the genes of the
  // other organisms are not asked for until the next generation: the engine fails for all alike.
  using GenesReader = std::function<bool(std::int32_t organism, std::vector<double>& values)>;
  // Runs the reads of one organism; none: they run as they are.
  using ReadGuard = std::function<void(const std::function<void()>& reads)>;

  PopulationTableSource(SolutionTable table, ObjectiveReader objective, GenesReader genes,
                        ReadGuard guard = {});

  // The population has `size` organisms at `generation` (any figure that changes whenever the
  // engine may have replaced organisms). Returns true when the rows formatted so far were dropped.
  bool SetPopulation(std::int32_t size, double generation);

  std::int32_t IsgGridDataSource_GetRowCount() override { return m_Size; }
  void IsgGridDataSource_GetRowData(std::int32_t row, std::int32_t column,
                                    std::vector<Variant>& values) override;

 private:
  const std::vector<std::string>& Row(std::int32_t row);

  SolutionTable m_Table;
  ObjectiveReader m_Objective;
  GenesReader m_Genes;
  ReadGuard m_Guard;
  std::int32_t m_Size = 0;
  double m_Generation = -1;
  bool m_GenesFailed = false;
  std::vector<std::vector<std::string>> m_Rows;  // empty until drawn
  std::vector<double> m_Values;
};

}  // namespace corvana
