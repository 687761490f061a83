#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "watcher/engine/GdLib.h"
#include "watcher/ui/IsgGridDataSource.h"

namespace corvana {

class WatcherManager;
namespace ui {
class Grid;
}

// The trial-log grid's virtual data source: one row per record of the engine's trial log, read
// only when the grid draws it. Which records are rows follows the manager's
// IDForGdLogReadRecordVB (0 all trials, else progress steps), or a selector of the window's own.
class ProgressDialogLogSvr : public ui::IsgGridDataSource {
 public:
  static constexpr std::int32_t kMaxColumns = 1024;

  ProgressDialogLogSvr() = default;
  ~ProgressDialogLogSvr() override;
  ProgressDialogLogSvr(const ProgressDialogLogSvr&) = delete;
  ProgressDialogLogSvr& operator=(const ProgressDialogLogSvr&) = delete;

  // Reads the log's header and builds the grid's columns. Raises 0x8004000A "No log information
  // available to show in Watcher." when the log file is not there.
  void InitializeAndAddColumnsToGrid(ui::Grid& p_Grid, WatcherManager& p_Manager);
  void Dispose();

  std::int32_t IsgGridDataSource_GetRowCount() override;
  void IsgGridDataSource_GetRowData(std::int32_t p_RowIndex, std::int32_t p_ColumnIndex,
                                    std::vector<Variant>& p_Values) override;

  // Width in twips of fixed column 0..7 in the user's language; any other column raises the
  // invalid-argument error.
  static int GetInitialColumnWidth(int p_WhichColumn);
  static int GetInitialColumnWidth(int p_WhichColumn, long languageID);

  // A window showing one optimization of a series passes its index; nullopt follows the manager.
  void SetSelector(std::optional<std::int32_t> selector) { m_Selector = selector; }
  std::int32_t Selector() const;
  // In the all-trials view, only the trials that met every hard constraint.
  void SetValidTrialsOnly(bool validOnly);
  bool ValidTrialsOnly() const noexcept { return m_ValidOnly; }
  // The row showing trial `trialNumber`, or the first one after it; -1 when no row is that late.
  std::int32_t RowOfTrial(std::int32_t trialNumber);

  std::int32_t NumColumns() const noexcept { return m_NumColumns; }
  // Genes and constraints the column limit left out.
  std::int32_t NumColumnsLeftOut() const noexcept { return m_NumColumnsLeftOut; }
  // Engine record reads so far (rows drawn plus any searches).
  std::int64_t RecordsRead() const noexcept { return m_RecordsRead; }

 private:
  struct Counts {
    std::int32_t Trials = 0;
    std::int32_t ProgressSteps = 0;
  };
  bool ReadCounts(Counts& counts);
  bool Read(std::int32_t recordNumber, std::int32_t selector, GdLib::LogRecordData& record);
  // Record number of row `row` of the current view; 0 when there is none.
  std::int32_t RecordOfRow(std::int32_t row);
  std::int32_t ValidCountAt(std::int32_t recordNumber);
  void FillRow(std::vector<Variant>& values);
  std::string ConstraintCellText(std::int32_t constraint, std::int32_t k);

  WatcherManager* m_Manager = nullptr;
  std::string m_LogPath;
  std::optional<std::int32_t> m_Selector;
  bool m_ValidOnly = false;
  bool m_ShowStatistics = false;

  std::int32_t m_NumFixedColumns = 8;
  std::int32_t m_NumChromosomes = 0;
  std::int32_t m_NumGenes = 0;
  std::int32_t m_NumConstraints = 0;
  std::int32_t m_GroupOneCount = 0;
  std::int32_t m_GroupTwoCount = 0;
  std::vector<std::string> m_ConstraintNames;  // 0-based here
  std::vector<bool> m_ConstraintInGroupOne;
  std::vector<bool> m_ConstraintHasValue;
  std::vector<std::int32_t> m_GroupOne;  // log positions (0-based) of each group's constraints
  std::vector<std::int32_t> m_GroupTwo;
  std::int32_t m_NumGeneColumns = 0;
  std::int32_t m_NumGroupOneColumns = 0;
  std::int32_t m_NumGroupTwoColumns = 0;
  std::int32_t m_NumColumns = 0;
  std::int32_t m_NumColumnsLeftOut = 0;

  GdLib::LogRecordData m_Record;  // the row being built; its arrays are reused from row to row
  GdLib::LogRecordData m_Probe;   // searches read the record's head only
  std::int64_t m_RecordsRead = 0;
  // The valid-trials view walks forward from the row it last found.
  std::int32_t m_LastValidRow = -1;
  std::int32_t m_LastValidRecord = 0;
};

}  // namespace corvana
