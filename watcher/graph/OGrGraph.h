#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "watcher/graph/OGrAxis.h"
#include "watcher/graph/OGrCurve.h"
#include "watcher/graph/OGrData.h"

namespace corvana {

// Graph type of an x-y graph with numeric or date axes.
inline constexpr int kOGrGraphXY = 5;

// A graph object: title, legend, two axes (0 = X, 1 = Y) and curves. Replacing data keeps the
// configuration. Every change bumps Revision and tells the subscribers (the controls showing it).
// Bad values (NaN, infinities) are kept and skipped when drawn; nothing here raises for data.
class OGrGraph {
 public:
  OGrGraph() = default;
  OGrGraph(const OGrGraph&) = delete;
  OGrGraph& operator=(const OGrGraph&) = delete;

  void Initialize(int graphType, const std::string& name = {});
  int GraphType() const noexcept { return m_GraphType; }
  const std::string& Name() const noexcept { return m_Name; }

  // The title; line breaks ("\n", "\r\n" or "\r") make several lines.
  const std::string& TitleText() const noexcept { return m_TitleText; }
  void SetTitleText(const std::string& text);
  bool LegendVisible() const noexcept { return m_LegendVisible; }
  void SetLegendVisible(bool visible);

  // Axis 0 is X, 1 is Y; other numbers raise "Subscript out of range". Changes made through the
  // reference are seen at the next draw; call Touch (or any setter below) to redraw at once.
  OGrAxis& Axis(int index);
  const OGrAxis& Axis(int index) const;
  OGrAxis& XAxis() noexcept { return m_Axes[0]; }
  OGrAxis& YAxis() noexcept { return m_Axes[1]; }
  const OGrAxis& XAxis() const noexcept { return m_Axes[0]; }
  const OGrAxis& YAxis() const noexcept { return m_Axes[1]; }
  void SetAxisTitleText(int axis, const std::string& text);
  void SetAxisDateScaling(int axis, bool on);
  void SetAxisNumberFormat(int axis, const std::string& format);
  void DefineCustomAutoscaling(int axis, double min, double max, bool useCustom, int reserved);
  void SetAxisScalingFlags(int axis, bool scalingIsAutomatic, bool manualScalingAllowed);

  // The graph's own data: replaces the first curve's points, adding a step curve when there is none.
  void SetData(const OGrData& data);
  void SetData(std::vector<double> x, std::vector<double> y);
  void SetDataFromRows(const std::vector<std::vector<double>>& rows);

  // Curves, in order of adding. AddCurve returns the new id.
  int AddCurve(int curveType, const OGrData& data, const std::string& name);
  int CurveCount() const noexcept { return static_cast<int>(m_Curves.size()); }
  const std::vector<OGrCurve>& Curves() const noexcept { return m_Curves; }
  // nullptr when no curve has the id.
  const OGrCurve* CurveByID(int id) const noexcept;
  // The following raise the invalid-argument error for an unknown id.
  void RenameCurve(int id, const std::string& name);
  // Replaces a curve's points; `text` is the caller's data description and is not shown.
  void ChangeDataSource(int id, const OGrData& data, const std::string& text);
  void SetCurveDisplayValues(int id, int stepStyle, int markerSize);
  void SetCurveColor(int id, OGrColor color);
  void RemoveCurve(int id);
  void ClearCurves();
  // The first curve's colour (kept for a first curve added later).
  void SetFirstSeriesColor(OGrColor color);

  // The colour a new curve gets by its position.
  static OGrColor DefaultCurveColor(int position) noexcept;

  std::uint64_t Revision() const noexcept { return m_Revision; }
  void Touch();
  int Subscribe(std::function<void()> onChange);
  void Unsubscribe(int subscription) noexcept;

 private:
  OGrCurve& FindCurve(int id, const char* procedure);
  void Changed();

  int m_GraphType = kOGrGraphXY;
  std::string m_Name;
  std::string m_TitleText;
  bool m_LegendVisible = false;
  OGrAxis m_Axes[2];
  std::vector<OGrCurve> m_Curves;
  int m_NextCurveID = 1;
  bool m_HasFirstColor = false;
  OGrColor m_FirstColor;
  std::uint64_t m_Revision = 0;
  std::map<int, std::function<void()>> m_Subscribers;
  int m_NextSubscription = 1;
};

}  // namespace corvana
