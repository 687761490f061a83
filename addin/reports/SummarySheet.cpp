#include "addin/reports/SummarySheet.h"

#include <ctime>

#include "addin/reports/TrialColumns.h"

namespace corvana::addin::reports {

namespace {

std::string StopReasonText(const std::string& reason) {
  if (reason == "trials") return "The trial goal was reached";
  if (reason == "time") return "The time goal was reached";
  if (reason == "user") return "Stopped by the user";
  if (reason == "interrupted") return "Interrupted";
  return reason;
}

lxw_datetime LocalTime(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, double(tm.tm_sec)};
}

std::string TrialSheetsText(const std::vector<std::string>& sheets) {
  if (sheets.empty()) return "not written";
  if (sheets.size() == 1) return "on the sheet " + sheets.front();
  std::string text = "longer than one sheet: on " + std::to_string(sheets.size()) + " sheets, ";
  for (std::size_t i = 0; i < sheets.size(); ++i) text += (i ? ", " : "") + sheets[i];
  return text;
}

// Writes rows top to bottom: a streamed sheet takes them in order only.
class Rows {
 public:
  Rows(lxw_worksheet* sheet, const ReportFormats& formats) : m_Sheet(sheet), m_Formats(formats) {}
  lxw_row_t Next() { return m_Row++; }
  void Skip() { ++m_Row; }
  lxw_row_t Current() const { return m_Row; }
  void Label(const char* label) { worksheet_write_string(m_Sheet, m_Row, 0, label, m_Formats.Label); }
  void Text(const char* label, const std::string& text) {
    Label(label);
    worksheet_write_string(m_Sheet, Next(), 1, text.c_str(), nullptr);
  }
  void Number(const char* label, double value, lxw_format* format = nullptr) {
    Label(label);
    worksheet_write_number(m_Sheet, Next(), 1, value, format);
  }

 private:
  lxw_worksheet* m_Sheet;
  const ReportFormats& m_Formats;
  lxw_row_t m_Row = 0;
};

void WriteMet(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, bool met, const ReportFormats& formats) {
  worksheet_write_string(sheet, row, col, met ? "met" : "not met", met ? formats.Met : formats.NotMet);
}

void AddProgressChart(ReportWorkbook& workbook, lxw_worksheet* sheet, const ReportRun& run, lxw_row_t first,
                      lxw_row_t last) {
  lxw_chart* chart = workbook_add_chart(workbook.Get(), LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  chart_series_set_categories(series, SummarySheet::kSheetName, first, 1, last, 1);
  chart_series_set_values(series, SummarySheet::kSheetName, first, 2, last, 2);
  chart_series_set_name(series, "Best value");
  chart_series_set_marker_size(series, 4);
  chart_title_set_name(chart, "Progress of the best value");
  chart_axis_set_name(chart->x_axis, "Trial");
  chart_axis_set_name(chart->y_axis, run.Objective.c_str());
  chart_axis_set_num_format(chart->y_axis, run.ValueFormat.c_str());
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  lxw_chart_options options{};
  options.x_scale = 1.25;
  options.y_scale = 1.1;
  worksheet_insert_chart_opt(sheet, 2, 7, chart, &options);
}

}  // namespace

void SummarySheet::Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run,
                         const std::vector<std::string>& trialSheets) {
  lxw_worksheet* sheet = workbook.AddSheet(kSheetName);
  const ReportFormats& f = workbook.Formats();
  worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
  worksheet_set_column(sheet, 0, 0, 24, nullptr);
  worksheet_set_column(sheet, 1, 3, kNumberWidth, nullptr);
  worksheet_set_column(sheet, 4, 8, 13, nullptr);

  // The best of the last optimization; in a series each constraining value would add a row of its
  // own below the solutions, from the same log read with that optimization's number.
  const int last = log.IsSeries() ? run.Optimizations : 1;
  const std::int32_t stepCount = log.ProgressSteps(last);
  TrialLogFile::Record best, original, lastTrial;
  if (log.Trials() > 0) {
    log.ReadTrial(1, original);
    log.ReadTrial(log.Trials(), lastTrial);
    if (stepCount > 0) log.ReadProgressStep(stepCount, best, last);
  }
  const std::int32_t validTrials = lastTrial.ValidTrialsSoFar;
  std::int32_t steps = 0;
  for (int k = 1; k <= last; ++k) steps += log.ProgressSteps(k);

  Rows rows(sheet, f);
  worksheet_write_string(sheet, rows.Next(), 0, "Optimization Summary", f.Title);
  rows.Skip();
  rows.Text("Model", run.Model);
  rows.Text("Objective", run.Objective);
  rows.Text("Goal", run.Maximize ? "Maximize" : "Minimize");
  rows.Text("Stop reason", StopReasonText(run.StopReason));
  rows.Label("Run ended");
  lxw_datetime ended = LocalTime(run.Ended);
  worksheet_write_datetime(sheet, rows.Next(), 1, &ended, f.Date);
  rows.Number("Run time", run.ElapsedSeconds / 86400, f.Duration);
  rows.Number("Trials", log.Trials());
  rows.Label("Valid trials");
  worksheet_write_number(sheet, rows.Current(), 1, validTrials, nullptr);
  if (log.Trials() > 0)
    worksheet_write_number(sheet, rows.Current(), 2, double(validTrials) / log.Trials(), f.Percent);
  rows.Next();
  rows.Number("Progress steps", steps);
  rows.Text("Trial log", log.Path());
  rows.Text("Log of all trials", TrialSheetsText(trialSheets));
  rows.Skip();

  worksheet_write_string(sheet, rows.Next(), 0, "Engine", f.Title);
  rows.Number("Population", run.Population);
  WriteHeaders(sheet, rows.Next(), 0,
               {"Group", "Method", "Cells", "Crossover rate", "Mutation rate", "Mutation"}, f, false);
  for (const ReportGroup& g : run.Groups) {
    const lxw_row_t row = rows.Next();
    worksheet_write_string(sheet, row, 0, g.Name.c_str(), nullptr);
    worksheet_write_string(sheet, row, 1, g.Method.c_str(), nullptr);
    worksheet_write_number(sheet, row, 2, g.Genes, nullptr);
    worksheet_write_number(sheet, row, 3, g.CrossoverRate, f.Percent);
    worksheet_write_number(sheet, row, 4, g.MutationRate, f.Percent);
    worksheet_write_string(sheet, row, 5, g.AutoMutation ? "automatic" : "fixed", nullptr);
  }
  rows.Skip();

  worksheet_write_string(sheet, rows.Next(), 0, "Solutions", f.Title);
  if (log.Trials() == 0) {
    rows.Text("", "No trial ran.");
  } else {
    const bool hasBest = stepCount > 0;
    WriteHeaders(sheet, rows.Next(), 0, {"Adjustable cell", "Best", "Original", "Last"}, f, false);
    const auto solutionRow = [&](const char* label, auto write) {
      const lxw_row_t row = rows.Next();
      worksheet_write_string(sheet, row, 0, label, f.Label);
      if (hasBest) write(row, 1, best);
      write(row, 2, original);
      write(row, 3, lastTrial);
    };
    solutionRow("Result", [&](lxw_row_t row, lxw_col_t col, const TrialLogFile::Record& r) {
      worksheet_write_number(sheet, row, col, r.Value, f.Value);
    });
    solutionRow("Valid", [&](lxw_row_t row, lxw_col_t col, const TrialLogFile::Record& r) {
      worksheet_write_boolean(sheet, row, col, r.Valid, f.Truth);
    });
    solutionRow("Trial", [&](lxw_row_t row, lxw_col_t col, const TrialLogFile::Record& r) {
      worksheet_write_number(sheet, row, col, r.Trial, nullptr);
    });
    for (std::size_t i = 0; i < original.Genes.size(); ++i) {
      const std::string name = i < run.GeneNames.size() ? run.GeneNames[i] : "Cell " + std::to_string(i + 1);
      const lxw_row_t row = rows.Next();
      worksheet_write_string(sheet, row, 0, name.c_str(), nullptr);
      if (hasBest) worksheet_write_number(sheet, row, 1, best.Genes[i], nullptr);
      worksheet_write_number(sheet, row, 2, original.Genes[i], nullptr);
      worksheet_write_number(sheet, row, 3, lastTrial.Genes[i], nullptr);
    }
    rows.Skip();

    worksheet_write_string(sheet, rows.Next(), 0, "Constraints", f.Title);
    WriteHeaders(sheet, rows.Next(), 0, {"Constraint", "Best", "Original", "Last", "Kind", "Formula"}, f,
                 false);
    for (std::size_t i = 0; i < log.Constraints().size(); ++i) {
      const lxw_row_t row = rows.Next();
      worksheet_write_string(sheet, row, 0, log.Constraints()[i].Name.c_str(), nullptr);
      if (hasBest) WriteMet(sheet, row, 1, best.Met[i] != 0, f);
      WriteMet(sheet, row, 2, original.Met[i] != 0, f);
      WriteMet(sheet, row, 3, lastTrial.Met[i] != 0, f);
      worksheet_write_string(sheet, row, 4, log.Constraints()[i].Hard ? "hard" : "soft", nullptr);
      if (i < run.Constraints.size())
        worksheet_write_string(sheet, row, 5, run.Constraints[i].Formula.c_str(), nullptr);
    }
  }
  rows.Skip();

  worksheet_write_string(sheet, rows.Next(), 0, "Progress steps", f.Title);
  WriteHeaders(sheet, rows.Next(), 0, {"Step", "Trial", "Result", "Run time"}, f, false);
  worksheet_set_column(sheet, 0, 0, 24, nullptr);
  const lxw_row_t first = rows.Current();
  TrialLogFile::Record step;
  for (std::int32_t i = 1; i <= stepCount; ++i) {
    log.ReadProgressStep(i, step, last);
    const lxw_row_t row = rows.Next();
    worksheet_write_number(sheet, row, 0, i, nullptr);
    worksheet_write_number(sheet, row, 1, step.Trial, nullptr);
    worksheet_write_number(sheet, row, 2, step.Value, f.Value);
    worksheet_write_number(sheet, row, 3, step.ElapsedSeconds / 86400, f.Duration);
  }
  if (stepCount > 0) AddProgressChart(workbook, sheet, run, first, rows.Current() - 1);
}

}  // namespace corvana::addin::reports
