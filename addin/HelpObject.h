#pragma once

#include <QObject>
#include <vector>

namespace corvana::addin {

// The suite's help host: the Watcher asks it to show a help topic by context number.
class HelpObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.orrendel.CorvanaWatcher8.Interop")

 public:
  explicit HelpObject(QObject* parent = nullptr);
  const std::vector<int>& TopicsShown() const { return m_TopicsShown; }

 public Q_SLOTS:
  void ShowHelp(int helpContextID);

 private:
  std::vector<int> m_TopicsShown;
};

}  // namespace corvana::addin
