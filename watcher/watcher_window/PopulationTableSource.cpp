#include "watcher/watcher_window/PopulationTableSource.h"

#include <algorithm>

namespace corvana {

PopulationTableSource::PopulationTableSource(SolutionTable table, ObjectiveReader objective,
                                             GenesReader genes, ReadGuard guard)
    : m_Table(std::move(table)),
      m_Objective(std::move(objective)),
      m_Genes(std::move(genes)),
      m_Guard(std::move(guard)) {}

bool PopulationTableSource::SetPopulation(std::int32_t size, double generation) {
  size = std::max<std::int32_t>(0, size);
  if (size == m_Size && generation == m_Generation) return false;
  m_Size = size;
  m_Generation = generation;
  m_GenesFailed = false;
  m_Rows.assign(static_cast<std::size_t>(size), {});
  return true;
}

const std::vector<std::string>& PopulationTableSource::Row(std::int32_t row) {
  std::vector<std::string>& kept = m_Rows[static_cast<std::size_t>(row)];
  if (!kept.empty()) return kept;
  // Built aside: a read that raises leaves the row to be asked for again, not half kept.
  const std::int32_t organism = m_Size - row;
  std::vector<std::string> texts;
  texts.reserve(m_Table.NumGenesInTable() + 1);
  m_Values.clear();
  const auto reads = [&] {
    texts.push_back(m_Objective(organism));
    if (!m_GenesFailed && !m_Genes(organism, m_Values)) {
      m_GenesFailed = true;
      m_Values.clear();
    }
  };
  if (m_Guard)
    m_Guard(reads);
  else
    reads();
  for (std::size_t j = 0; j < m_Table.NumGenesInTable(); ++j)
    texts.push_back(j < m_Values.size() ? m_Table.GeneText(j, m_Values[j]) : std::string());
  kept = std::move(texts);
  return kept;
}

void PopulationTableSource::IsgGridDataSource_GetRowData(std::int32_t row, std::int32_t,
                                                         std::vector<Variant>& values) {
  if (row < 0 || row >= m_Size) return;
  const std::vector<std::string>& texts = Row(row);
  if (values.size() < texts.size()) values.resize(texts.size());
  for (std::size_t k = 0; k < texts.size(); ++k) values[k] = Variant(texts[k]);
}

}  // namespace corvana
