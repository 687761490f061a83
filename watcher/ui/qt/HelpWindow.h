#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace corvana::ui {

// The help window: one HTML page per help context number.
class HelpWindow : public QWidget {
 public:
  HelpWindow();

  // Shows the page; a missing page shows a short notice naming the topic.
  void ShowPage(const QString& path, int contextId);
  QString CurrentPage() const { return m_Page; }

 private:
  QTextBrowser* m_Browser;
  QString m_Page;
};

}  // namespace corvana::ui
