#include "watcher/ui/qt/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "watcher/ui/Button.h"
#include "watcher/ui/qt/ButtonPictures.h"

namespace corvana::ui {

HelpWindow::HelpWindow() : m_Browser(new QTextBrowser(this)) {
  setWindowTitle("Corvana Help");
  setWindowIcon(ButtonPictures::Icon(PictureKeys::kHelp));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_Browser);
  m_Browser->setOpenExternalLinks(false);
  resize(640, 520);
}

void HelpWindow::ShowPage(const QString& path, int contextId) {
  m_Page = path;
  if (QFileInfo::exists(path)) {
    m_Browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_Browser->setSource(QUrl::fromLocalFile(path));
  } else {
    m_Browser->setHtml(
        QString("<h2>Corvana Help</h2><p>There is no help page for topic %1.</p>").arg(contextId));
  }
  show();
  raise();
  activateWindow();
}

}  // namespace corvana::ui
