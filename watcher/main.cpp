// corvana-watcher: the Watcher process. "--activated" when the session bus starts it for the add-in
// (then the host-survival check runs); without it the process is stand-alone. "--automation" (or
// CORVANA_AUTOMATION=1) also serves the automation interface.
#include <QApplication>
#include <QDBusConnection>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "watcher/app/ProgressWindowFactory.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/server/ObjectServer.h"
#include "watcher/ui/qt/QtPlatform.h"
#include "wire/BusNames.h"
#include "wire/dbus/BusId.h"

namespace {

int Serve(corvana::ui::QtPlatform& platform, bool automation) {
  // Every controller shares the program's window system and windows.
  auto services = std::make_shared<corvana::PlatformControllerServices>(platform);
  auto windows = std::make_shared<corvana::ProgressWindowFactory>(platform);
  corvana::bus::ObjectServer server(QDBusConnection::sessionBus(), platform, [services, windows] {
    return std::make_unique<corvana::WatcherManager>(services, windows);
  });
  QString error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "corvana-watcher: %s\n", qPrintable(error));
    return 1;
  }
  if (automation && !server.ServeAutomation()) {
    std::fprintf(stderr, "corvana-watcher: cannot register the automation interface\n");
    return 1;
  }
  // Without its bus the Watcher can serve no one: end at once, even inside a modal window.
  server.WatchConnection([services] { services->TerminateProcess(0); });
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("corvana-watcher");
  QApplication::setQuitOnLastWindowClosed(false);

  const QStringList arguments = QApplication::arguments();
  for (const QString& argument : arguments.mid(1)) {
    if (argument != "--activated" && argument != "--automation") {
      std::fprintf(
          stderr, "corvana-watcher: unknown option %s\nusage: corvana-watcher [--activated] [--automation]\n",
          qPrintable(argument));
      return 2;
    }
  }
  corvana::g_StartedByCom = arguments.contains("--activated");
  // Follow the add-in on our own bus only, not one on another bus sharing the runtime directory.
  corvana::g_AddinSurvivalMutex =
      corvana::wire::AddinSurvivalMutexName(corvana::wire::BusId(QDBusConnection::sessionBus()));
  const bool automation = arguments.contains("--automation") || qgetenv("CORVANA_AUTOMATION") == "1";

  corvana::ui::QtPlatform platform;
  return Serve(platform, automation);
}
