#include "addin/reports/FrontierSheet.h"

#include <algorithm>
#include <vector>

#include "addin/reports/TrialColumns.h"

namespace corvana::addin::reports {

void FrontierSheet::Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run) {
  lxw_worksheet* sheet = workbook.AddSheet(kSheetName);
  const ReportFormats& formats = workbook.Formats();
  const std::string valueHeader =
      run.ConstraintName.empty() ? "Constraining value" : run.ConstraintName + " (X)";
  WriteHeaders(sheet, 0, 0, {valueHeader, "Best value", "Trial"}, formats);
  worksheet_set_column(sheet, 0, 0, 22, nullptr);
  worksheet_set_column(sheet, 1, 2, 14, nullptr);

  struct Point {
    double X;
    double Best;
    std::int32_t Trial;
  };
  std::vector<Point> points;
  TrialLogFile::Record record;
  for (std::size_t k = 0; k < run.ConstrainingValues.size(); ++k) {
    const int optimization = static_cast<int>(k + 1);
    const std::int32_t steps = log.ProgressSteps(optimization);
    if (steps < 1) continue;
    log.ReadProgressStep(steps, record, optimization);
    points.push_back({run.ConstrainingValues[k], record.Value, record.Trial});
  }
  std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.X < b.X; });
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto row = static_cast<lxw_row_t>(i + 1);
    worksheet_write_number(sheet, row, 0, points[i].X, nullptr);
    worksheet_write_number(sheet, row, 1, points[i].Best, formats.Value);
    worksheet_write_number(sheet, row, 2, points[i].Trial, nullptr);
  }
  if (points.empty()) return;

  lxw_chart* chart = workbook_add_chart(workbook.Get(), LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  const auto last = static_cast<lxw_row_t>(points.size());
  chart_series_set_categories(series, kSheetName, 1, 0, last, 0);
  chart_series_set_values(series, kSheetName, 1, 1, last, 1);
  chart_series_set_name(series, "Best value");
  chart_title_set_name(chart, "Efficient Frontier");
  chart_axis_set_name(chart->x_axis, valueHeader.c_str());
  chart_axis_set_name(chart->y_axis, run.Maximize ? "Best value (maximized)" : "Best value (minimized)");
  chart_axis_set_num_format(chart->y_axis, run.ValueFormat.c_str());
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  lxw_chart_options options{};
  options.x_scale = 1.3;
  options.y_scale = 1.2;
  worksheet_insert_chart_opt(sheet, 1, 4, chart, &options);
}

}  // namespace corvana::addin::reports
