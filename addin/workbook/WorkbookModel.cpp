#include "addin/workbook/WorkbookModel.h"

#include <unistd.h>

#include <cmath>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheets2.hpp>
#include <map>

#include "addin/workbook/OfficeLostError.h"
#include "addin/workbook/WorkbookDefinition.h"
#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookSession.h"

namespace corvana::addin {

using namespace css;
using rtl::OUString;

namespace {

// Where a result cell lands in the block read from its sheet.
struct ResultSlot {
  std::size_t Block = 0;
  sal_Int32 Row = 0, Column = 0;
};

}  // namespace

struct WorkbookModel::Office {
  WorkbookSession Session;
  uno::Reference<sheet::XSpreadsheetDocument> Document;
  WorkbookDefinition Definition;
  std::vector<uno::Reference<sheet::XCellRangeData>> Writes;  // one per adjustable range
  std::vector<uno::Reference<sheet::XCellRangeData>> Reads;   // one per sheet with result cells
  std::vector<ResultSlot> Slots;                              // the objective, then the constraints

  // Result cells are read as the smallest block per sheet that holds them all.
  void PlanReads() {
    std::vector<const WorkbookDefinition::Cell*> cells = {&Definition.Objective};
    for (const auto& c : Definition.Constraints) cells.push_back(&c);
    std::map<sal_Int16, table::CellRangeAddress> blocks;
    for (const auto* cell : cells) {
      const auto& a = cell->Address;
      auto [it, fresh] = blocks.try_emplace(a.Sheet, a);
      auto& b = it->second;
      b.StartColumn = std::min(b.StartColumn, a.StartColumn);
      b.StartRow = std::min(b.StartRow, a.StartRow);
      b.EndColumn = std::max(b.EndColumn, a.EndColumn);
      b.EndRow = std::max(b.EndRow, a.EndRow);
    }
    std::map<sal_Int16, std::size_t> index;
    for (const auto& [sheet, block] : blocks) {
      index[sheet] = Reads.size();
      Reads.emplace_back(WorkbookDefinition::Range(Document, block), uno::UNO_QUERY_THROW);
    }
    for (const auto* cell : cells) {
      const auto& a = cell->Address;
      const auto& b = blocks.at(a.Sheet);
      Slots.push_back({index.at(a.Sheet), a.StartRow - b.StartRow, a.StartColumn - b.StartColumn});
    }
  }

  void Write(std::span<const double> genes) {
    std::size_t next = 0;
    for (std::size_t g = 0; g < Writes.size(); ++g) {
      const auto& a = Definition.Adjustable[g];
      uno::Sequence<uno::Sequence<uno::Any>> rows(a.EndRow - a.StartRow + 1);
      for (auto& row : rows) {
        row.realloc(a.EndColumn - a.StartColumn + 1);
        for (auto& value : row) value <<= genes[next++];
      }
      Writes[g]->setDataArray(rows);
    }
  }
};

namespace {

// A missing file is reported before an office is started for it.
const std::filesystem::path& Readable(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) throw WorkbookError(path.string() + ": no such workbook");
  if (access(path.c_str(), R_OK) != 0) throw WorkbookError(path.string() + ": cannot read the workbook");
  return path;
}

}  // namespace

WorkbookModel::WorkbookModel(const std::filesystem::path& path, std::atomic<bool>& stop)
    : m_Path(Readable(path)), m_Stop(stop) {
  m_Office = std::make_unique<Office>();
  Office& o = *m_Office;
  o.Document = o.Session.Open(path);
  try {
    o.Definition = WorkbookDefinition::Read(o.Document);
    // No view to refresh while trials run; formulas recalculate as cells change.
    uno::Reference<frame::XModel>(o.Document, uno::UNO_QUERY_THROW)->lockControllers();
    uno::Reference<sheet::XCalculatable>(o.Document, uno::UNO_QUERY_THROW)->enableAutomaticCalculation(true);
    for (const auto& a : o.Definition.Adjustable)
      o.Writes.emplace_back(WorkbookDefinition::Range(o.Document, a), uno::UNO_QUERY_THROW);
    o.PlanReads();
  } catch (const WorkbookError& e) {
    throw WorkbookError(path.string() + ": " + e.what());
  } catch (const uno::Exception& e) {
    throw WorkbookError(path.string() + ": cannot read the model (" +
                        std::string(e.Message.toUtf8().getStr()) + ")");
  }
  const WorkbookDefinition& d = o.Definition;
  m_Name = path.filename().string();
  m_Maximize = d.Maximize;
  m_ObjectiveText = (d.Target ? "Bring " + d.Objective.Label + " to " + std::to_string(*d.Target)
                              : std::string(d.Maximize ? "Maximize " : "Minimize ") + d.Objective.Label);
  m_Groups = d.Groups;
  for (std::size_t i = 0; i < d.Constraints.size(); ++i) {
    const std::string& name = d.ConstraintNames[i];
    const double bound = d.Logical[i] ? 1 : 0;
    m_Constraints.push_back({name, d.Constraints[i].Label + (d.Logical[i] ? " is TRUE" : " >= 0"), true,
                             Comparison::AtLeast, bound, Statistic::Value, 1});
  }
  m_Defaults = {d.Population, d.Trials, d.Minutes};
}

WorkbookModel::~WorkbookModel() = default;

void WorkbookModel::ApplyRunDefaults(RunSettings& settings) const {
  const WorkbookDefinition& d = m_Office->Definition;
  if (!settings.EfficientFrontier.empty()) {
    if (d.Constraints.empty())
      throw WorkbookError(m_Path.string() +
                          ": --efficient-frontier varies the bound of the first constraint, and the workbook "
                          "names none (Corvana_Constraints)");
    if (d.Logical.front())
      throw WorkbookError(m_Path.string() +
                          ": --efficient-frontier varies the bound of the first constraint, " +
                          d.Constraints.front().Label + ", which shows TRUE or FALSE; it must show a number");
  }
  if (!settings.PopulationGiven && m_Defaults.Population) settings.Population = *m_Defaults.Population;
  if (settings.Trials || settings.Minutes) return;
  settings.Trials = m_Defaults.Trials;
  settings.Minutes = m_Defaults.Minutes;
  if (!settings.Trials && !settings.Minutes) settings.Trials = RunSettings::kDefaultTrials;
}

Model::Outcome WorkbookModel::Compute(std::span<const double> genes) const {
  if (!m_OfficeLost.empty()) throw OfficeLostError(m_OfficeLost);
  Office& o = *m_Office;
  std::vector<uno::Sequence<uno::Sequence<uno::Any>>> blocks;
  try {
    o.Write(genes);
    for (const auto& read : o.Reads) blocks.push_back(read->getDataArray());
  } catch (const lang::DisposedException&) {
    OfficeGone();
  } catch (const uno::RuntimeException& e) {
    // A dead bridge fails every call from now on: stop the run rather than log invalid trials.
    if (!o.Session.Alive()) OfficeGone();
    throw std::runtime_error("the office refused the trial: " + std::string(e.Message.toUtf8().getStr()));
  }
  std::vector<double> values;
  for (std::size_t i = 0; i < o.Slots.size(); ++i) {
    const ResultSlot& s = o.Slots[i];
    const auto& label = i == 0 ? o.Definition.Objective.Label : o.Definition.Constraints[i - 1].Label;
    double value = 0;
    // An error reads as nothing, text as a string: either way the trial has no result.
    if (!(blocks[s.Block][s.Row][s.Column] >>= value) || !std::isfinite(value))
      throw std::runtime_error(label + " has no numeric result");
    values.push_back(value);
  }
  Outcome outcome;
  const WorkbookDefinition& d = o.Definition;
  outcome.Objective = d.Target ? std::abs(values[0] - *d.Target) : values[0];
  outcome.SimMean = outcome.SimMin = outcome.SimMax = outcome.Objective;
  for (std::size_t i = 1; i < values.size(); ++i)
    outcome.ConstraintValues.push_back(d.Logical[i - 1] ? (values[i] != 0 ? 1.0 : 0.0) : values[i]);
  return outcome;
}

void WorkbookModel::OfficeGone() const {
  m_OfficeLost = "LibreOffice stopped during the run";
  m_Stop = true;
  throw OfficeLostError(m_OfficeLost);
}

void WorkbookModel::Save(std::span<const double> genes, const std::filesystem::path& path) {
  if (!m_OfficeLost.empty()) throw WorkbookError(m_OfficeLost + "; the workbook was not saved");
  try {
    m_Office->Write(genes);
  } catch (const uno::Exception& e) {
    throw WorkbookError("cannot write the solution into the workbook (" +
                        std::string(e.Message.toUtf8().getStr()) + ")");
  }
  m_Office->Session.Save(m_Office->Document, path.empty() ? m_Path : path);
}

std::vector<std::string> WorkbookModel::AddSheets(const std::filesystem::path& source,
                                                  const std::vector<std::string>& sheets) {
  if (!m_OfficeLost.empty()) throw WorkbookError(m_OfficeLost);
  const auto from = m_Office->Session.Open(source);
  std::vector<std::string> added;
  try {
    uno::Reference<sheet::XSpreadsheets2> target(m_Office->Document->getSheets(), uno::UNO_QUERY_THROW);
    for (const std::string& sheet : sheets) {
      const OUString name = OUString::fromUtf8(sheet.c_str());
      OUString free = name;
      for (int n = 2; target->hasByName(free); ++n) free = name + " " + OUString::number(n);
      const sal_Int32 position = target->getElementNames().getLength();
      const sal_Int32 index = target->importSheet(from, name, position);
      uno::Reference<container::XIndexAccess> byIndex(target, uno::UNO_QUERY_THROW);
      uno::Reference<container::XNamed> imported(byIndex->getByIndex(index), uno::UNO_QUERY_THROW);
      if (imported->getName() != free) imported->setName(free);
      added.push_back(free.toUtf8().getStr());
    }
  } catch (const uno::Exception& e) {
    throw WorkbookError("cannot add the report sheets to the workbook (" +
                        std::string(e.Message.toUtf8().getStr()) + ")");
  }
  return added;
}

}  // namespace corvana::addin
