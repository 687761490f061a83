#include "watcher/graph/OGrGraph.h"

#include <algorithm>
#include <array>

#include "common/ComError.h"
#include "common/ErrorTrap.h"

namespace corvana {

void OGrGraph::Initialize(int graphType, const std::string& name) {
  m_GraphType = graphType;
  m_Name = name;
  Changed();
}

void OGrGraph::SetTitleText(const std::string& text) {
  m_TitleText = text;
  Changed();
}

void OGrGraph::SetLegendVisible(bool visible) {
  m_LegendVisible = visible;
  Changed();
}

OGrAxis& OGrGraph::Axis(int index) {
  if (index != 0 && index != 1)
    RaiseError(kErrSubscriptOutOfRange, "OGrGraph.Axis", "Subscript out of range");
  return m_Axes[index];
}

const OGrAxis& OGrGraph::Axis(int index) const {
  return const_cast<OGrGraph*>(this)->Axis(index);
}

void OGrGraph::SetAxisTitleText(int axis, const std::string& text) {
  Axis(axis).SetTitleText(text);
  Changed();
}

void OGrGraph::SetAxisDateScaling(int axis, bool on) {
  Axis(axis).SetDateScaling(on);
  Changed();
}

void OGrGraph::SetAxisNumberFormat(int axis, const std::string& format) {
  Axis(axis).SetNumberFormat(format);
  Changed();
}

void OGrGraph::DefineCustomAutoscaling(int axis, double min, double max, bool useCustom, int reserved) {
  Axis(axis).DefineCustomAutoscaling(min, max, useCustom, reserved);
  Changed();
}

void OGrGraph::SetAxisScalingFlags(int axis, bool scalingIsAutomatic, bool manualScalingAllowed) {
  Axis(axis).SetScalingIsAutomatic(scalingIsAutomatic);
  Axis(axis).SetManualScalingAllowed(manualScalingAllowed);
  Changed();
}

void OGrGraph::SetData(const OGrData& data) {
  if (m_Curves.empty()) {
    AddCurve(kOGrCurveStep, data, {});
    return;
  }
  m_Curves.front().SetData(data);
  Changed();
}

void OGrGraph::SetData(std::vector<double> x, std::vector<double> y) {
  SetData(OGrData{std::move(x), std::move(y)});
}

void OGrGraph::SetDataFromRows(const std::vector<std::vector<double>>& rows) {
  SetData(OGrData::FromRows(rows));
}

OGrColor OGrGraph::DefaultCurveColor(int position) noexcept {
  static constexpr std::array<OGrColor, 10> kColors{{{0, 70, 170},
                                                     {200, 40, 40},
                                                     {20, 140, 60},
                                                     {230, 130, 0},
                                                     {120, 50, 160},
                                                     {0, 150, 170},
                                                     {150, 90, 40},
                                                     {210, 60, 150},
                                                     {90, 90, 90},
                                                     {140, 160, 0}}};
  if (position < 0) position = 0;
  return kColors[static_cast<std::size_t>(position) % kColors.size()];
}

int OGrGraph::AddCurve(int curveType, const OGrData& data, const std::string& name) {
  int position = CurveCount();
  OGrColor color = position == 0 && m_HasFirstColor ? m_FirstColor : DefaultCurveColor(position);
  int id = m_NextCurveID++;
  m_Curves.emplace_back(id, curveType, data, name, color);
  // Only step curves start drawn as steps; any other type is a line through the points.
  if (curveType != kOGrCurveStep) m_Curves.back().m_StepStyle = 0;
  Changed();
  return id;
}

const OGrCurve* OGrGraph::CurveByID(int id) const noexcept {
  auto it = std::find_if(m_Curves.begin(), m_Curves.end(), [&](const OGrCurve& c) { return c.ID() == id; });
  return it == m_Curves.end() ? nullptr : &*it;
}

OGrCurve& OGrGraph::FindCurve(int id, const char* procedure) {
  auto it = std::find_if(m_Curves.begin(), m_Curves.end(), [&](const OGrCurve& c) { return c.ID() == id; });
  if (it == m_Curves.end())
    RaiseError(kErrInvalidArgument, procedure, "No curve with the id " + std::to_string(id) + ".");
  return *it;
}

void OGrGraph::RenameCurve(int id, const std::string& name) {
  FindCurve(id, "OGrCurve.Name").m_Name = name;
  Changed();
}

void OGrGraph::ChangeDataSource(int id, const OGrData& data, const std::string& /*text*/) {
  FindCurve(id, "OGrCurve.ChangeDataSource").SetData(data);
  Changed();
}

void OGrGraph::SetCurveDisplayValues(int id, int stepStyle, int markerSize) {
  OGrCurve& curve = FindCurve(id, "OGrCurve.DisplayValues");
  curve.m_StepStyle = stepStyle;
  curve.m_MarkerSize = std::clamp(markerSize, 0, 20);
  Changed();
}

void OGrGraph::SetCurveColor(int id, OGrColor color) {
  FindCurve(id, "OGrCurve.Color").m_Color = color;
  Changed();
}

void OGrGraph::RemoveCurve(int id) {
  FindCurve(id, "OGrCurves.Remove");
  m_Curves.erase(
      std::remove_if(m_Curves.begin(), m_Curves.end(), [&](const OGrCurve& c) { return c.ID() == id; }),
      m_Curves.end());
  Changed();
}

void OGrGraph::ClearCurves() {
  m_Curves.clear();
  Changed();
}

void OGrGraph::SetFirstSeriesColor(OGrColor color) {
  m_HasFirstColor = true;
  m_FirstColor = color;
  if (!m_Curves.empty()) m_Curves.front().m_Color = color;
  Changed();
}

void OGrGraph::Touch() {
  Changed();
}

int OGrGraph::Subscribe(std::function<void()> onChange) {
  int id = m_NextSubscription++;
  m_Subscribers.emplace(id, std::move(onChange));
  return id;
}

void OGrGraph::Unsubscribe(int subscription) noexcept {
  m_Subscribers.erase(subscription);
}

void OGrGraph::Changed() {
  ++m_Revision;
  // A subscriber may unsubscribe itself while being told; work on a copy.
  auto subscribers = m_Subscribers;
  for (auto& [id, onChange] : subscribers)
    if (onChange) ResumeNext([&] { onChange(); });
}

}  // namespace corvana
