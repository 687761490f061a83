#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace corvana::addin {

// Builds workbooks cell by cell in a headless office of its own: the example workbooks, and
// workbooks for the tests. Cells are addressed as "Sheet.B3"; contents are typed as a user types
// them: "=formula", a number, or text.
class WorkbookWriter {
 public:
  WorkbookWriter();  // raises WorkbookError when the office cannot start
  ~WorkbookWriter();
  WorkbookWriter(const WorkbookWriter&) = delete;
  WorkbookWriter& operator=(const WorkbookWriter&) = delete;

  // Starts a new workbook with these sheets, dropping the one being built.
  void NewWorkbook(const std::vector<std::string>& sheets);
  void Set(const std::string& cell, const std::string& content);
  // Writes a block of contents at once, row by row, from its top-left cell; every row as wide as the
  // first.
  void SetRows(const std::string& topLeft, const std::vector<std::vector<std::string>>& rows);
  // Writes a block of numbers at once, row by row, from its top-left cell.
  void SetNumbers(const std::string& topLeft, const std::vector<std::vector<double>>& rows);
  // Enters one array formula over a range, "Sheet.K2:K1001", as Ctrl+Shift+Enter does.
  void SetArrayFormula(const std::string& range, const std::string& formula);
  // Defines a workbook-wide name, e.g. ("Corvana_Objective", "$Model.$B$8").
  void Name(const std::string& name, const std::string& content);
  void RemoveName(const std::string& name);
  // The ranges that make the workbook a model, as references ("$Model.$B$2:$B$3"); each one given
  // is defined under the name the add-in reads it by, "Corvana_Adjustable" and so on.
  struct ModelRanges {
    std::string Adjustable{}, Lower{}, Upper{}, Method{}, Objective{}, Goal{}, Constraints{},
        ConstraintNames{};
  };
  void NameModel(const ModelRanges& ranges);
  void Save(const std::filesystem::path& path);

 private:
  struct Office;
  std::unique_ptr<Office> m_Office;
};

}  // namespace corvana::addin
