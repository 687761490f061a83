#include "watcher/watcher_window/SolutionTable.h"

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "watcher/common/WatcherOLShared.h"

namespace corvana {

SolutionTable::SolutionTable(const Collection& geneNames, const Collection& formatAsDate) {
  m_AsDate.resize(static_cast<std::size_t>(geneNames.Count()), false);
  const auto& flags = formatAsDate.Items();
  for (std::size_t i = 0; i < m_AsDate.size() && i < flags.size(); ++i) {
    ResumeNext([&] { m_AsDate[i] = flags[i].ToBoolean(); });
  }
}

long SolutionTable::SummaryTableRowPosition(std::int32_t whichSolution) {
  switch (whichSolution) {
    case -1: return 1;
    case -2: return 2;
    case -5: return 3;
    // The description is the argument's bare name, as callers and their logs expect.
    default: RaiseError(kErrInvalidArgument, "SummaryTableRowPosition", "WhichSolution");
  }
}

std::string SolutionTable::GeneText(std::size_t column, double value) const {
  if (column < m_AsDate.size() && m_AsDate[column])
    return WatcherOLShared::FormatDateValue(OleDate{value}, false);
  return WatcherOLShared::FormatNumberDefault(value).ToString();
}

void SolutionTable::AppendGenes(std::string& row, const std::vector<double>& values) const {
  for (std::size_t j = 0; j < m_AsDate.size(); ++j) {
    row += '\t';
    if (j < values.size()) row += GeneText(j, values[j]);
  }
}

std::string SolutionTable::SummaryRow(const std::string& trial, const std::string& objective,
                                      const std::vector<double>& values) const {
  std::string row = trial + '\t' + objective;
  AppendGenes(row, values);
  return row;
}

}  // namespace corvana
