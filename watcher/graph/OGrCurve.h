#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "watcher/graph/OGrCurveDecimator.h"
#include "watcher/graph/OGrData.h"

namespace corvana {

// Curve types: a step curve holds each value until the next point's x.
inline constexpr int kOGrCurveLine = 1;
inline constexpr int kOGrCurveStep = 7;

struct OGrColor {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  bool operator==(const OGrColor&) const = default;
};

// One curve of a graph, with its id (unique in its graph, from 1), name and display settings.
class OGrCurve {
 public:
  OGrCurve(int id, int curveType, OGrData data, std::string name, OGrColor color)
      : m_ID(id), m_CurveType(curveType), m_Data(std::move(data)), m_Name(std::move(name)), m_Color(color) {}

  int ID() const noexcept { return m_ID; }
  int CurveType() const noexcept { return m_CurveType; }
  const std::string& Name() const noexcept { return m_Name; }
  const OGrData& Data() const noexcept { return m_Data; }
  OGrColor Color() const noexcept { return m_Color; }

  // Display values: StepStyle 1 draws steps (a curve of type 7 starts with 1), 0 a straight line
  // through the points; MarkerSize > 0 marks each point with a dot of that radius in pixels.
  int StepStyle() const noexcept { return m_StepStyle; }
  int MarkerSize() const noexcept { return m_MarkerSize; }
  bool DrawsSteps() const noexcept { return m_StepStyle != 0 && m_CurveType == kOGrCurveStep; }

  // What drawing derives from the points, kept until they change, so that repainting an unchanged
  // curve costs its pixels and not its points: the finite range of x or y (min > max when there is
  // none), and the curve reduced to a picture's pixel columns.
  void FiniteRange(bool xAxis, double& min, double& max) const;
  const OGrCurveDecimator::Lines& Reduced(const OGrCurveDecimator::Mapping& mapping, double right,
                                          double top) const;

 private:
  friend class OGrGraph;

  void SetData(OGrData data);

  struct Range {
    double Min;
    double Max;
  };
  struct Reduction {
    OGrCurveDecimator::Mapping Mapping;
    double Right;
    double Top;
    bool Steps;
    OGrCurveDecimator::Lines Lines;
  };

  int m_ID;
  int m_CurveType;
  OGrData m_Data;
  std::string m_Name;
  OGrColor m_Color;
  int m_StepStyle = 1;
  int m_MarkerSize = 0;
  mutable std::optional<Range> m_XRange;
  mutable std::optional<Range> m_YRange;
  mutable std::optional<Reduction> m_Reduction;
};

}  // namespace corvana
