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

wire::BusObjectRef HostApplicationObject::CreateChart(const wire::BusObjectRef&, const wire::BusObjectRef&,
                                                      int, int) {
  // A terminal host has no worksheets to chart in.
  sendErrorReply(wire::BusErrorName(kErrApplication),
                 QStringLiteral("This host has no worksheets to place a chart on."));
  return {};
}

}  // namespace corvana::addin
