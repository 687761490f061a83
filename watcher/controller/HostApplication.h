#pragma once

#include <cstdint>
#include <string>

#include "watcher/controller/HostObjectRef.h"

namespace corvana {

struct HostWindowRect {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // pixels
};

// The host spreadsheet application (Input_ExcelApplication). Calls raise ComError on failure.
class HostApplication {
 public:
  virtual ~HostApplication() = default;
  virtual HostObjectRef Reference() const = 0;

  // Runs a macro of the add-in by name, e.g. "Corvana.xla!OptDoEvents".
  virtual void Run(const std::string& macroName) = 0;
  // The application property that must not stay True while a Watcher window is modal.
  virtual bool BooleanProperty(std::int32_t localeId) = 0;
  virtual void SetBooleanProperty(std::int32_t localeId, bool value) = 0;
  virtual bool WindowEnabled() = 0;
  virtual void EnableWindow(bool enabled) = 0;
  virtual void SetForeground() = 0;
  virtual HostWindowRect WindowRect() = 0;
  // A native chart of the host, built from a data range and placed at a range; returns the chart.
  virtual HostObjectRef CreateChart(const HostObjectRef& dataRange, const HostObjectRef& placementRange,
                                    std::int32_t chartKind, std::int32_t firstSeriesColor) = 0;
};

}  // namespace corvana
