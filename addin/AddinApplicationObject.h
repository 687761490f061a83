#pragma once

#include <QDBusContext>
#include <QObject>
#include <optional>

#include "addin/RunResult.h"

namespace corvana::addin {

// The add-in's application object: receives the user's end-of-run choices and the fixed-seed
// choice, and tells the Watcher how large to draw the progress-graph picture.
class AddinApplicationObject : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.orrendel.CorvanaWatcher8.AddinApplication")

 public:
  explicit AddinApplicationObject(QObject* parent = nullptr);

  const std::optional<StopChoices>& Choices() const { return m_Choices; }
  bool FixSeedRequested() const { return m_FixSeed; }

 public Q_SLOTS:
  void ProgressGraphPictureSize(int& width, int& height);
  void ConstraintSolverFixSeed();
  void EndOfRunChoices(bool generateOptimizationSummary, bool writeLogOfAllTrials,
                       bool writeLogOfProgressSteps, int solutionToKeep, int reportPlacement);

 private:
  std::optional<StopChoices> m_Choices;
  bool m_FixSeed = false;
};

}  // namespace corvana::addin
