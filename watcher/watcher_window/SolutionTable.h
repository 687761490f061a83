#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Collection.h"

namespace corvana {

// Rows of solutions as the summary and population grids show them: cells separated by tabs,
// rows by carriage returns, one gene column per entry of the gene names. Row captions (solution
// names, organism numbers) are the grids' row headers, not cells.
class SolutionTable {
 public:
  // `geneNames` gives the gene columns; `formatAsDate` marks date columns (missing entries are
  // plain numbers).
  SolutionTable(const Collection& geneNames, const Collection& formatAsDate);

  std::size_t NumGenesInTable() const noexcept { return m_AsDate.size(); }

  // Row of the summary table for a solution selector: best 1, original 2, last 3; any other
  // selector raises the invalid-argument error.
  static long SummaryTableRowPosition(std::int32_t whichSolution);

  // The text of one gene value in column `column` (0-based).
  std::string GeneText(std::size_t column, double value) const;

  // Appends a tab and a text for every gene column: values beyond those given stay empty and
  // values beyond the columns are not shown.
  void AppendGenes(std::string& row, const std::vector<double>& values) const;

  // "trial \t objective \t genes..."
  std::string SummaryRow(const std::string& trial, const std::string& objective,
                         const std::vector<double>& values) const;
  // A summary row with every cell empty.
  std::string EmptySummaryRow() const { return std::string(NumGenesInTable() + 1, '\t'); }

 private:
  std::vector<bool> m_AsDate;
};

}  // namespace corvana
