#pragma once

#include <QDBusConnection>

#include "watcher/controller/AddinApplication.h"
#include "watcher/server/BusCaller.h"

namespace corvana::bus {

// The add-in's application object served by the add-in's process.
class BusAddinApplication : public AddinApplication {
 public:
  BusAddinApplication(QDBusConnection connection, HostObjectRef ref);

  HostObjectRef Reference() const override { return m_Caller.Reference(); }
  void ProgressGraphPictureSize(std::int32_t& width, std::int32_t& height) override;
  void ConstraintSolverFixSeed() override;
  void EndOfRunChoices(bool generateOptimizationSummary, bool writeLogOfAllTrials,
                       bool writeLogOfProgressSteps, std::int32_t solutionToKeep,
                       std::int32_t reportPlacement) override;

 private:
  BusCaller m_Caller;
};

}  // namespace corvana::bus
