#include "watcher/server/BusAddinApplication.h"

#include "wire/BusNames.h"

namespace corvana::bus {

BusAddinApplication::BusAddinApplication(QDBusConnection connection, HostObjectRef ref)
    : m_Caller(std::move(connection), std::move(ref), wire::kAddinApplicationInterface) {}

void BusAddinApplication::ProgressGraphPictureSize(std::int32_t& width, std::int32_t& height) {
  const auto reply = m_Caller.Call("ProgressGraphPictureSize", {}, "ii");
  width = reply.at(0).toInt();
  height = reply.at(1).toInt();
}

void BusAddinApplication::ConstraintSolverFixSeed() {
  m_Caller.Call("ConstraintSolverFixSeed");
}

void BusAddinApplication::EndOfRunChoices(bool generateOptimizationSummary, bool writeLogOfAllTrials,
                                          bool writeLogOfProgressSteps, std::int32_t solutionToKeep,
                                          std::int32_t reportPlacement) {
  m_Caller.Call("EndOfRunChoices", {generateOptimizationSummary, writeLogOfAllTrials, writeLogOfProgressSteps,
                                    static_cast<int>(solutionToKeep), static_cast<int>(reportPlacement)});
}

}  // namespace corvana::bus
