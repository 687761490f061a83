#include "addin/HostApplicationObject.h"

#include <QCoreApplication>

#include "wire/dbus/BusErrors.h"

namespace corvana::addin {

HostApplicationObject::HostApplicationObject(QObject* parent) : QObject(parent) {}

void HostApplicationObject::Run(const QString& macroName) {
  // The only macro the Watcher runs keeps the host responsive: serve what is waiting.
  if (macroName.endsWith(QLatin1String("OptDoEvents"))) {
    ++m_MacroRuns;
    QCoreApplication::processEvents();
    return;
  }
  sendErrorReply(wire::BusErrorName(kErrApplication),
                 QStringLiteral("The macro '%1' cannot be found.").arg(macroName));
}

bool HostApplicationObject::GetBooleanProperty(int) {
  return m_BooleanProperty;
}
void HostApplicationObject::SetBooleanProperty(int, bool value) {
  m_BooleanProperty = value;
}
bool HostApplicationObject::GetWindowEnabled() {
  return m_WindowEnabled;
}
void HostApplicationObject::EnableWindow(bool enabled) {
  m_WindowEnabled = enabled;
}
void HostApplicationObject::SetForeground() {}

void HostApplicationObject::GetWindowRect(int& left, int& top, int& width, int& height) {
  // The command-line host has no window of its own; it answers with a screen-sized one.
  left = 0;
  top = 0;
  width = 1280;
  height = 800;
}

}  // namespace corvana::addin

namespace corvana::addin {

void HostApplicationObject::SetFrontierRanges(const QString& dataPath, FrontierChart chart,
                                              const QString& placementPath, std::string svgPath) {
  m_DataPath = dataPath;
  m_Chart = std::move(chart);
  m_PlacementPath = placementPath;
  m_SvgPath = std::move(svgPath);
}

wire::BusObjectRef HostApplicationObject::CreateChart(const wire::BusObjectRef& dataRange,
                                                      const wire::BusObjectRef& placementRange, int,
                                                      int firstSeriesColor) {
  // A terminal host has no worksheets: its ranges are the frontier's points and a picture file.
  if (!m_Chart || dataRange.Path.path() != m_DataPath || placementRange.Path.path() != m_PlacementPath) {
    sendErrorReply(wire::BusErrorName(kErrApplication),
                   QStringLiteral("There is no such range to chart from or to place a chart on."));
    return {};
  }
  try {
    m_Chart->Color = firstSeriesColor;
    m_Chart->Write(m_SvgPath);
  } catch (const std::exception& e) {
    sendErrorReply(wire::BusErrorName(kErrApplication), QString::fromStdString(e.what()));
    return {};
  }
  m_ChartWritten = m_SvgPath;
  return {QString(), QDBusObjectPath(m_PlacementPath + QStringLiteral("/Chart"))};
}

}  // namespace corvana::addin
