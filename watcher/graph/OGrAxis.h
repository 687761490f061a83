#pragma once

#include <string>

namespace corvana {

// One axis of a graph: title, date scaling, an Excel-style number format and either automatic
// scaling from the data or a fixed (custom) range.
class OGrAxis {
 public:
  const std::string& TitleText() const noexcept { return m_TitleText; }
  void SetTitleText(const std::string& text) { m_TitleText = text; }
  bool DateScaling() const noexcept { return m_DateScaling; }
  void SetDateScaling(bool on) { m_DateScaling = on; }
  const std::string& NumberFormat() const noexcept { return m_NumberFormat; }
  void SetNumberFormat(const std::string& format) { m_NumberFormat = format; }

  // Fixes the range to min..max (swapped when given the wrong way round). `useCustom` false goes
  // back to the data's range; `reserved` is kept for the caller's code and has no effect.
  void DefineCustomAutoscaling(double min, double max, bool useCustom, int reserved);
  bool HasCustomRange() const noexcept { return m_Custom; }
  double CustomMin() const noexcept { return m_CustomMin; }
  double CustomMax() const noexcept { return m_CustomMax; }

  // With automatic scaling the custom range (or the data) sets the scale; manual scaling is the
  // user's own zoom, which this component does not offer when not allowed.
  bool ScalingIsAutomatic() const noexcept { return m_Automatic; }
  void SetScalingIsAutomatic(bool on) { m_Automatic = on; }
  bool ManualScalingAllowed() const noexcept { return m_ManualAllowed; }
  void SetManualScalingAllowed(bool on) { m_ManualAllowed = on; }

 private:
  std::string m_TitleText;
  bool m_DateScaling = false;
  std::string m_NumberFormat = "General";
  bool m_Custom = false;
  double m_CustomMin = 0;
  double m_CustomMax = 1;
  bool m_Automatic = true;
  bool m_ManualAllowed = true;
};

}  // namespace corvana
