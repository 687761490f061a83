#include "addin/reports/ProgressStepsLog.h"

#include <algorithm>
#include <vector>

#include "addin/reports/TrialColumns.h"

namespace corvana::addin::reports {

namespace {

struct Step {
  double Trial;
  double Value;
};

// The best holds from its trial until the next step: two points per step draw the stairs, the last
// one running on to the final trial.
Step StairPoint(const std::vector<Step>& steps, std::size_t point, double lastTrial) {
  const std::size_t step = point / 2;
  if (point % 2 == 0) return steps[step];
  return {step + 1 < steps.size() ? steps[step + 1].Trial : lastTrial, steps[step].Value};
}

void AddStepChart(ReportWorkbook& workbook, lxw_worksheet* sheet, const ReportRun& run, lxw_col_t trialCol,
                  lxw_row_t points, lxw_col_t anchor) {
  lxw_chart* chart = workbook_add_chart(workbook.Get(), LXW_CHART_SCATTER_STRAIGHT);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  const char* name = ProgressStepsLog::kSheetName;
  chart_series_set_categories(series, name, 1, trialCol, points, trialCol);
  chart_series_set_values(series, name, 1, trialCol + 1, points, trialCol + 1);
  chart_series_set_name(series, "Best value");
  chart_title_set_name(chart, "Progress steps");
  chart_axis_set_name(chart->x_axis, "Trial");
  chart_axis_set_name(chart->y_axis, run.Maximize ? "Best value (maximized)" : "Best value (minimized)");
  chart_axis_set_num_format(chart->y_axis, run.ValueFormat.c_str());
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  chart_show_hidden_data(chart);  // the stairs live in hidden columns
  lxw_chart_options options{};
  options.x_scale = 1.3;
  options.y_scale = 1.2;
  worksheet_insert_chart_opt(sheet, 1, anchor, chart, &options);
}

}  // namespace

void ProgressStepsLog::Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run) {
  lxw_worksheet* sheet = workbook.AddSheet(kSheetName);
  const ReportFormats& formats = workbook.Formats();
  worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
  WriteHeaders(sheet, 0, 0, {"Step"}, formats);
  const TrialColumns columns(log, run, formats, 1);
  columns.WriteHeader(sheet, 0);
  const lxw_col_t timeCol = columns.Last() + 1;
  WriteHeaders(sheet, 0, timeCol, {"Run time"}, formats);

  // First the steps' places and values, so that the stairs can be written beside the log row by row:
  // a streamed sheet takes its rows in order only.
  struct Place {
    int Optimization;
    std::int32_t Number;
  };
  std::vector<Place> places;
  std::vector<Step> steps;
  TrialLogFile::Record record;
  for (int k = 1; k <= (log.IsSeries() ? run.Optimizations : 1); ++k)
    for (std::int32_t i = 1, n = log.ProgressSteps(k); i <= n; ++i) {
      log.ReadProgressStep(i, record, k);
      places.push_back({k, i});
      steps.push_back({double(record.Trial), record.Value});
    }
  // A series has one curve per constraining value; its stairs would run into one another.
  const bool chart = !steps.empty() && !log.IsSeries();
  const lxw_col_t trialCol = timeCol + 2;  // the stairs, in hidden columns
  if (chart) {
    lxw_row_col_options hidden{};
    hidden.hidden = LXW_TRUE;
    worksheet_set_column_opt(sheet, trialCol, trialCol + 1, 12, nullptr, &hidden);
    worksheet_write_string(sheet, 0, trialCol, "Chart trial", nullptr);
    worksheet_write_string(sheet, 0, trialCol + 1, "Chart best", nullptr);
  }
  const auto rows = static_cast<lxw_row_t>(steps.size());
  const lxw_row_t points = chart ? rows * 2 : 0;
  worksheet_autofilter(sheet, 0, 0, rows, timeCol);  // before the rows: a streamed sheet needs it so
  for (lxw_row_t row = 1; row <= std::max(rows, points); ++row) {
    if (row <= rows) {
      log.ReadProgressStep(places[row - 1].Number, record, places[row - 1].Optimization);
      worksheet_write_number(sheet, row, 0, row, nullptr);
      columns.Write(sheet, row, record);
      worksheet_write_number(sheet, row, timeCol, record.ElapsedSeconds / 86400, formats.Duration);
    }
    if (row <= points) {
      const Step point = StairPoint(steps, row - 1, double(log.Trials()));
      worksheet_write_number(sheet, row, trialCol, point.Trial, nullptr);
      worksheet_write_number(sheet, row, trialCol + 1, point.Value, formats.Value);
    }
  }
  if (!chart) return;
  AddStepChart(workbook, sheet, run, trialCol, points, trialCol + 2);
}

}  // namespace corvana::addin::reports
