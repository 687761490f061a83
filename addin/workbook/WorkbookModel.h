#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addin/Model.h"
#include "addin/RunSettings.h"

namespace corvana::addin {

// A LibreOffice Calc workbook as a model, evaluated by a headless office of its own: each trial
// writes the adjustable cells (one write per range) and reads the objective and constraint cells
// (one read per sheet). A formula error makes the trial invalid; the run goes on.
class WorkbookModel : public Model {
 public:
  // Run settings the workbook asks for; the command line overrides them.
  struct RunDefaults {
    std::optional<int> Population;
    std::optional<long> Trials;
    std::optional<double> Minutes;
  };

  // Starts the office and reads the model. Raises WorkbookError with a message naming the file,
  // cell or name at fault. `stop` is raised when the office goes away during the run.
  WorkbookModel(const std::filesystem::path& path, std::atomic<bool>& stop);
  ~WorkbookModel() override;

  const RunDefaults& Defaults() const { return m_Defaults; }
  // Fills in what the command line left open from the workbook's run settings. Raises
  // WorkbookError when the settings ask for what the workbook cannot do: a series
  // (--efficient-frontier) varies the bound of the first cell of Corvana_Constraints, which must
  // be there and show a number.
  void ApplyRunDefaults(RunSettings& settings) const;
  // Why the office went away during the run; empty while it serves.
  const std::string& OfficeLost() const { return m_OfficeLost; }
  // Writes a solution into the adjustable cells and saves the workbook to `path` (the workbook
  // itself when empty). Raises WorkbookError; the file on disk is then unchanged.
  void Save(std::span<const double> genes, const std::filesystem::path& path = {});
  // Copies these sheets of another workbook, with their charts, after the workbook's own sheets;
  // a name the workbook already uses gets a number. Returns the names they were given. Raises
  // WorkbookError.
  std::vector<std::string> AddSheets(const std::filesystem::path& source,
                                     const std::vector<std::string>& sheets);

 protected:
  Outcome Compute(std::span<const double> genes) const override;

 private:
  [[noreturn]] void OfficeGone() const;

  struct Office;
  std::filesystem::path m_Path;
  std::unique_ptr<Office> m_Office;
  RunDefaults m_Defaults;
  std::atomic<bool>& m_Stop;
  mutable std::string m_OfficeLost;
};

}  // namespace corvana::addin
