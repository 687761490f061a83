#include "addin/HelpObject.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "suite/objectlib/SuiteFolders.h"

namespace corvana::addin {

HelpObject::HelpObject(QObject* parent) : QObject(parent) {}

void HelpObject::ShowHelp(int helpContextID) {
  m_TopicsShown.push_back(helpContextID);
  const QString page = QDir(QString::fromStdString(SuiteFolders::SystemDirectory()))
                           .filePath(QStringLiteral("help/%1.html").arg(helpContextID));
  // Without a desktop there is nobody to read the page; the topic is still recorded.
  if (QFileInfo::exists(page) &&
      (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")))
    QProcess::startDetached(QStringLiteral("xdg-open"), {page});
}

}  // namespace corvana::addin
