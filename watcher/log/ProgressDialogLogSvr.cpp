#include "watcher/log/ProgressDialogLogSvr.h"

#include <algorithm>

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/MarkerValues.h"
#include "suite/objectlib/NumericHelpers.h"
#include "suite/objectlib/ResourceServer.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/Grid.h"

namespace corvana {

namespace {

constexpr int kDataColumnWidth = 1100;
constexpr std::size_t kCaptionLimit = 96;

void Log(const std::string& text) {
  if (g_LoggingEnabled) ResumeNext([&] { DebugLogFile::WriteLine(text); });
}

std::string Str(std::int64_t value) {
  return std::to_string(value);
}

// A caption cut to its first 96 characters, never inside a multi-byte character.
std::string ShortCaption(const std::string& text) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars++ == kCaptionLimit) return text.substr(0, i);
  }
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Item `index` (1-based) of a collection, or `fallback` when it has no such item.
Variant ItemOr(const Collection& collection, long index, Variant fallback) {
  return index >= 1 && index <= collection.Count() ? collection.Item(index) : fallback;
}

bool ItemAsBoolean(const Collection& collection, long index) {
  bool answer = false;
  ResumeNext([&] { answer = ItemOr(collection, index, Variant(false)).ToBoolean(); });
  return answer;
}

}  // namespace

ProgressDialogLogSvr::~ProgressDialogLogSvr() = default;

int ProgressDialogLogSvr::GetInitialColumnWidth(int p_WhichColumn) {
  long language = ResourceServer::kLanguageEnglish;
  if (g_ResourceServer) language = g_ResourceServer->LanguageID();
  return GetInitialColumnWidth(p_WhichColumn, language);
}

int ProgressDialogLogSvr::GetInitialColumnWidth(int p_WhichColumn, long languageID) {
  static constexpr int kAsian[] = {600, 1100, 950, 1100, 1100, 1200, 1100, 1100};
  static constexpr int kGerman[] = {600, 900, 600, 1000, 1480, 1630, 1170, 1170};
  static constexpr int kPortuguese[] = {600, 1350, 600, 1000, 1350, 1600, 1400, 1400};
  static constexpr int kRussian[] = {900, 1350, 600, 1100, 1350, 1600, 1400, 1400};
  static constexpr int kOther[] = {600, 1100, 600, 1100, 1100, 1200, 1100, 1100};
  if (p_WhichColumn < 0 || p_WhichColumn > 7) RaiseInvalidArgument("GetInitialColumnWidth", "p_WhichColumn");
  switch (languageID) {
    case 4:
    case 17: return kAsian[p_WhichColumn];
    case 7: return kGerman[p_WhichColumn];
    case 22: return kPortuguese[p_WhichColumn];
    case 25: return kRussian[p_WhichColumn];
    default: return kOther[p_WhichColumn];
  }
}

void ProgressDialogLogSvr::InitializeAndAddColumnsToGrid(ui::Grid& p_Grid, WatcherManager& p_Manager) {
  static const std::string kLabel = "ProgressDialogLogServer.Initialize";
  m_Manager = &p_Manager;
  m_LogPath = p_Manager.Input_LogPath;
  if (!FileExists(m_LogPath))
    RaiseApplicationError(kLabel, "No log information available to show in Watcher.");
  const bool ef = p_Manager.Input_EFPerformAnalysis;
  m_NumFixedColumns = ef ? 9 : 8;
  m_ShowStatistics = p_Manager.Input_StatisticToOptimize != 12;

  Log("About to call GdLogGetCountsVB with path=" + m_LogPath);
  std::int32_t isEF = 0;
  const std::int16_t rc =
      GdLib::GdLogGetCountsWVB(m_LogPath, m_NumChromosomes, m_NumGenes, m_NumConstraints, isEF);
  Log("GdLogGetCountsVB returned numChromosomes=" + Str(m_NumChromosomes) + ", numGenes=" + Str(m_NumGenes) +
      ", numConstraints=" + Str(m_NumConstraints) + ", rc=" + Str(rc));
  if (rc != 0) GdLib::LogGdLibError(kLabel, "GdLogGetCountsVB", rc, true);
  m_NumGenes = std::max(0, m_NumGenes);
  m_NumConstraints = std::max(0, m_NumConstraints);

  m_ConstraintNames.assign(static_cast<std::size_t>(m_NumConstraints), {});
  m_ConstraintInGroupOne.assign(static_cast<std::size_t>(m_NumConstraints), false);
  m_ConstraintHasValue.assign(static_cast<std::size_t>(m_NumConstraints), false);
  m_GroupOne.clear();
  m_GroupTwo.clear();
  for (std::int32_t i = 0; i < m_NumConstraints; ++i) {
    std::string name;
    std::int32_t hardNotSoft = 0, hasValue = 0;
    const std::int16_t crc = GdLib::GdLogGetConstraintInfoWVB(m_LogPath, i + 1, name, hardNotSoft, hasValue);
    if (crc != 0) GdLib::LogGdLibError(kLabel, "GdLogGetConstraintInfo", crc, true);
    const auto k = static_cast<std::size_t>(i);
    m_ConstraintNames[k] = Trim(name);
    m_ConstraintInGroupOne[k] = hardNotSoft == 0;
    m_ConstraintHasValue[k] = hasValue != 0;
    (hardNotSoft == 0 ? m_GroupOne : m_GroupTwo).push_back(i);
  }
  m_GroupOneCount = static_cast<std::int32_t>(m_GroupOne.size());
  m_GroupTwoCount = static_cast<std::int32_t>(m_GroupTwo.size());

  // The column limit is shared out in order: fixed columns, genes, group one, group two.
  m_NumGeneColumns = std::min(kMaxColumns - m_NumFixedColumns, m_NumGenes);
  m_NumGroupOneColumns =
      std::max(0, std::min(kMaxColumns - (m_NumFixedColumns + m_NumGeneColumns), m_GroupOneCount));
  m_NumGroupTwoColumns = std::max(
      0,
      std::min(kMaxColumns - (m_NumFixedColumns + m_NumGeneColumns + m_NumGroupOneColumns), m_GroupTwoCount));
  m_NumColumns = m_NumFixedColumns + m_NumGeneColumns + m_NumGroupOneColumns + m_NumGroupTwoColumns;
  m_NumColumnsLeftOut = (m_NumGenes - m_NumGeneColumns) + (m_GroupOneCount - m_NumGroupOneColumns) +
                        (m_GroupTwoCount - m_NumGroupTwoColumns);
  if (m_NumColumnsLeftOut > 0)
    Log(kLabel + ": " + Str(m_NumColumnsLeftOut) + " gene and constraint columns do not fit in the grid");

  m_Record.GeneValues.assign(static_cast<std::size_t>(m_NumGenes), 0.0);
  m_Record.ConstraintStatus.assign(static_cast<std::size_t>(m_NumConstraints), 0.0);
  m_Record.ConstraintValues.assign(static_cast<std::size_t>(m_NumConstraints), 0.0);
  m_Probe = GdLib::LogRecordData();

  p_Grid.ClearColumns();
  for (int c = 0; c < 4; ++c)
    p_Grid.AddColumn(Utilities::GetResourceString(4401 + c), GetInitialColumnWidth(c));
  if (m_ShowStatistics)
    for (int c = 4; c < 8; ++c)
      p_Grid.AddColumn(Utilities::GetResourceString(4401 + c), GetInitialColumnWidth(c));
  for (std::int32_t i = 1; i <= m_NumGeneColumns; ++i)
    p_Grid.AddColumn(ItemOr(p_Manager.Input_AllGeneNamesCol, i, Variant("")).ToString(), kDataColumnWidth);
  if (ef) p_Grid.AddColumn(ShortCaption(p_Manager.Input_EFConstraintDisplayFormula_LHSide), kDataColumnWidth);
  for (std::int32_t i = 0; i < m_NumGroupOneColumns; ++i)
    p_Grid.AddColumn(ShortCaption(m_ConstraintNames[static_cast<std::size_t>(m_GroupOne[i])]),
                     kDataColumnWidth);
  for (std::int32_t i = 0; i < m_NumGroupTwoColumns; ++i)
    p_Grid.AddColumn(ShortCaption(m_ConstraintNames[static_cast<std::size_t>(m_GroupTwo[i])]),
                     kDataColumnWidth);
  for (int c = 0; c < p_Grid.ColumnCount(); ++c)
    p_Grid.SetColumnAlignment(c, c == 1 ? ui::Alignment::Center : ui::Alignment::Right);
}

void ProgressDialogLogSvr::Dispose() {
  m_Manager = nullptr;
  Log("WATCHER: ProgressDialogLogServer.Dispose: Set m_Manager = Nothing");
  m_Record = GdLib::LogRecordData();
  m_Probe = GdLib::LogRecordData();
}

std::int32_t ProgressDialogLogSvr::Selector() const {
  if (m_Selector) return *m_Selector;
  return m_Manager ? m_Manager->IDForGdLogReadRecordVB : 0;
}

void ProgressDialogLogSvr::SetValidTrialsOnly(bool validOnly) {
  m_ValidOnly = validOnly;
  m_LastValidRow = -1;
}

bool ProgressDialogLogSvr::ReadCounts(Counts& counts) {
  const std::int32_t selector = Selector();
  Log("About to call GdLogGetRecordCounts2WVB with LogPath: " + m_LogPath +
      ", m_Manager.IDForGdLogReadRecordVB=" + Str(selector));
  const std::int16_t rc =
      GdLib::GdLogGetRecordCounts2WVB(m_LogPath, counts.Trials, selector, counts.ProgressSteps);
  Log("GdLogGetRecordCounts2WVB returned TrialCount=" + Str(counts.Trials) +
      ", progressStepCount=" + Str(counts.ProgressSteps) + ", rc=" + Str(rc));
  if (rc != 0) GdLib::LogGdLibError("IsgGridDataSource_GetRowCount", "GdLogGetRecordCounts2WVB", rc, true);
  return rc == 0;
}

std::int32_t ProgressDialogLogSvr::IsgGridDataSource_GetRowCount() {
  std::int32_t rows = 0;
  ErrorInfo err;
  ResumeNext(err, [&] {
    if (!m_Manager) return;
    Counts counts;
    ReadCounts(counts);
    if (Selector() != 0) {
      rows = counts.ProgressSteps;
    } else if (m_ValidOnly) {
      rows = counts.Trials > 0 ? ValidCountAt(counts.Trials) : 0;
    } else {
      rows = counts.Trials;
    }
  });
  return err ? 0 : std::max(0, rows);
}

bool ProgressDialogLogSvr::Read(std::int32_t recordNumber, std::int32_t selector,
                                GdLib::LogRecordData& record) {
  ++m_RecordsRead;
  const std::int16_t rc = GdLib::GdLogReadRecordWVB(m_LogPath, recordNumber, selector, record);
  if (rc != 0 && rc != GdErrRecordOutOfRange)
    GdLib::LogGdLibError("IsgGridDataSource_GetRowData", "GdLogReadRecordVB", rc, true);
  return rc == 0;
}

std::int32_t ProgressDialogLogSvr::ValidCountAt(std::int32_t recordNumber) {
  return Read(recordNumber, GdLogKindTrial, m_Probe) ? m_Probe.Info.ValidTrialCount : 0;
}

std::int32_t ProgressDialogLogSvr::RecordOfRow(std::int32_t row) {
  if (!m_ValidOnly || Selector() != 0) return row + 1;
  // The valid trials up to each record only grow: record r is the n-th valid trial when its count
  // reaches n there first. Rows drawn in order walk on from the last one; a jump searches.
  const std::int32_t wanted = row + 1;
  if (m_LastValidRow >= 0 && row > m_LastValidRow && row - m_LastValidRow <= 64) {
    for (std::int32_t r = m_LastValidRecord + 1;; ++r) {
      if (!Read(r, GdLogKindTrial, m_Probe)) return 0;
      if (m_Probe.Info.ValidTrialCount >= wanted) {
        m_LastValidRow = row;
        m_LastValidRecord = r;
        return r;
      }
    }
  }
  Counts counts;
  if (!ReadCounts(counts) || counts.Trials < 1) return 0;
  std::int32_t low = 1, high = counts.Trials;
  if (ValidCountAt(high) < wanted) return 0;
  while (low < high) {
    const std::int32_t mid = low + (high - low) / 2;
    if (ValidCountAt(mid) >= wanted)
      high = mid;
    else
      low = mid + 1;
  }
  m_LastValidRow = row;
  m_LastValidRecord = low;
  return low;
}

std::int32_t ProgressDialogLogSvr::RowOfTrial(std::int32_t trialNumber) {
  std::int32_t answer = -1;
  ResumeNext([&] {
    if (!m_Manager) return;
    Counts counts;
    if (!ReadCounts(counts)) return;
    const std::int32_t selector = Selector();
    const std::int32_t records = selector != 0 ? counts.ProgressSteps : counts.Trials;
    const std::int32_t kind = selector != 0 ? selector : GdLogKindTrial;
    // Trial numbers grow from record to record: the first record at or past the trial.
    std::int32_t low = 1, high = records + 1;
    while (low < high) {
      const std::int32_t mid = low + (high - low) / 2;
      if (!Read(mid, kind, m_Probe)) return;
      if (m_Probe.TrialNumber >= trialNumber)
        high = mid;
      else
        low = mid + 1;
    }
    if (low > records) return;
    if (selector != 0 || !m_ValidOnly) {
      answer = low - 1;
      return;
    }
    // In the valid view the row is the number of valid trials before the record.
    const std::int32_t before = low > 1 ? ValidCountAt(low - 1) : 0;
    if (before >= ValidCountAt(counts.Trials)) return;
    answer = before;
  });
  return answer;
}

void ProgressDialogLogSvr::IsgGridDataSource_GetRowData(std::int32_t p_RowIndex, std::int32_t,
                                                        std::vector<Variant>& p_Values) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    if (!m_Manager || p_RowIndex < 0) return;
    const std::int32_t selector = Selector();
    const std::int32_t recordNum = RecordOfRow(p_RowIndex);
    if (recordNum < 1) return;
    Log("About to call GdLogReadRecordVB with LogPath=" + m_LogPath + ", recordNum=" + Str(recordNum) +
        ", m_Manager.IDForGdLogReadRecordVB=" + Str(selector));
    ++m_RecordsRead;
    const std::int16_t rc = GdLib::GdLogReadRecordWVB(m_LogPath, recordNum, selector, m_Record);
    // A row the writer has not finished yet is simply not there.
    if (rc == GdErrRecordOutOfRange) return;
    if (g_LoggingEnabled) {
      Log("GdLogReadRecordVB returned valueWithPenalties=" + DoubleToText(m_Record.ValueWithPenalties) +
          ", recalcNum=" + Str(m_Record.TrialNumber) + ", rc=" + Str(rc));
      ResumeNext([&] { DebugLogFile::WriteArray(m_Record.ConstraintValues, "constraintValues", 20); });
      ResumeNext([&] { DebugLogFile::WriteArray(m_Record.GeneValues, "geneValues", 20); });
    }
    if (rc != 0) GdLib::LogGdLibError("IsgGridDataSource_GetRowData", "GdLogReadRecordVB", rc, true);
    FillRow(p_Values);
  });
  if (err) Log("Error in IsgGridDataSource_GetRowData: " + err.Description);
}

std::string ProgressDialogLogSvr::ConstraintCellText(std::int32_t constraint, std::int32_t k) {
  const WatcherManager& m = *m_Manager;
  const auto c = static_cast<std::size_t>(constraint);
  const double status = m_Record.ConstraintStatus[c];
  if (!m.Input_ConstraintSolverMode && !m_ConstraintHasValue[c])
    return Utilities::GetResourceString(status == 0 ? 4409 : 4410);
  const double value = m_Record.ConstraintValues[c];
  std::string text;
  if (IsSpecialValue(value)) {
    text = Utilities::GetResourceString(3226);
  } else {
    const long statistic = ItemOr(m.Input_AtomicConstraintsStatisticCol, k, Variant(12)).ToLong();
    text = WatcherOLShared::FormatValueForStatistic(
        Variant(value), ItemAsBoolean(m.Input_AtomicConstraintsFormatAsDateCol, k), false, statistic != 12,
        statistic);
  }
  if (status == 0) text += "*";
  return text;
}

void ProgressDialogLogSvr::FillRow(std::vector<Variant>& values) {
  WatcherManager& m = *m_Manager;
  values.assign(static_cast<std::size_t>(m_NumColumns - (m_ShowStatistics ? 0 : 4)), Variant());
  std::size_t col = 0;
  // Each cell is trapped on its own: one bad value leaves its cell empty, not the row.
  const auto cell = [&](auto&& make) {
    ResumeNext([&] { values[col] = make(); });
    ++col;
  };
  const GdLogRecordInfo& info = m_Record.Info;
  cell([&] { return Variant(m_Record.TrialNumber); });
  cell([&] { return Variant(Utilities::FormatElapsedTime(m_Record.ElapsedSeconds * 1000.0)); });
  cell([&] { return Variant(info.SimulationIterations); });
  cell([&] {
    const double v = m_Record.ValueWithPenalties;
    if (IsSpecialValue(v)) return Variant(WatcherOLShared::GetCommonString(1));
    if (m.Input_ConstraintSolverMode) return Variant(Utilities::ConstraintSolverValueText(v, false));
    return Variant(m.FormatTargetValue(v));
  });
  if (m_ShowStatistics) {
    const bool dates = m.Input_TargetCellValuesTreatedAsDates;
    const std::pair<double, long> statistics[] = {
        {info.Mean, 1}, {info.StandardDeviation, 2}, {info.Minimum, 6}, {info.Maximum, 6}};
    for (const auto& [value, statistic] : statistics)
      cell([&] {
        return Variant(
            WatcherOLShared::FormatValueForStatistic(Variant(value), dates, false, true, statistic));
      });
  }
  for (std::int32_t i = 0; i < m_NumGeneColumns; ++i)
    cell([&] {
      return Variant(WatcherOLShared::FormatValueForStatistic(
          Variant(m_Record.GeneValues[static_cast<std::size_t>(i)]),
          ItemAsBoolean(m.Input_AdjustableCellsFormatAsDateCol, i + 1), false, false, 12));
    });
  if (m.Input_EFPerformAnalysis)
    cell([&] {
      std::string text = m.FormatEFConstrainedValue(info.EFConstrainedValue);
      if (Selector() == 0 && info.EFFlag == 0) text += "*";
      return Variant(text);
    });
  std::int32_t k = 0;
  for (std::int32_t i = 0; i < m_NumGroupOneColumns; ++i) {
    ++k;
    cell([&] { return Variant(ConstraintCellText(m_GroupOne[static_cast<std::size_t>(i)], k)); });
  }
  for (std::int32_t i = 0; i < m_NumGroupTwoColumns; ++i) {
    ++k;
    cell([&] { return Variant(ConstraintCellText(m_GroupTwo[static_cast<std::size_t>(i)], k)); });
  }
}

}  // namespace corvana
