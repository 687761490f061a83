#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "addin/FrontierChart.h"

#include "wire/dbus/BusObjectRef.h"

namespace corvana::addin {

// The host spreadsheet application as the Watcher sees it: the Watcher runs the add-in's
// "keep responsive" macro through it while one of its windows is modal, switches one of its
// Boolean properties off meanwhile and disables its window.
class HostApplicationObject : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.orrendel.CorvanaWatcher8.HostApplication")

 public:
  explicit HostApplicationObject(QObject* parent = nullptr);

  int MacroRuns() const { return m_MacroRuns; }
  // The ranges a chart of the frontier is made from: `dataPath` names the points, `placementPath`
  // where the chart goes (the SVG file `svgPath`).
  void SetFrontierRanges(const QString& dataPath, FrontierChart chart, const QString& placementPath,
                         std::string svgPath);
  // The path of the chart made last; empty when none was.
  const std::string& ChartWritten() const { return m_ChartWritten; }
  bool WindowIsEnabled() const { return m_WindowEnabled; }

 public Q_SLOTS:
  void Run(const QString& macroName);
  bool GetBooleanProperty(int localeId);
  void SetBooleanProperty(int localeId, bool value);
  bool GetWindowEnabled();
  void EnableWindow(bool enabled);
  void SetForeground();
  // Left, top, width, height in pixels.
  void GetWindowRect(int& left, int& top, int& width, int& height);
  corvana::wire::BusObjectRef CreateChart(const corvana::wire::BusObjectRef& dataRange,
                                          const corvana::wire::BusObjectRef& placementRange, int chartKind,
                                          int firstSeriesColor);

 private:
  int m_MacroRuns = 0;
  QString m_DataPath;
  QString m_PlacementPath;
  std::optional<FrontierChart> m_Chart;
  std::string m_SvgPath;
  std::string m_ChartWritten;
  bool m_BooleanProperty = true;
  bool m_WindowEnabled = true;
};

}  // namespace corvana::addin
