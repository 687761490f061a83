#include "addin/AddinApplicationObject.h"

namespace corvana::addin {

AddinApplicationObject::AddinApplicationObject(QObject* parent) : QObject(parent) {}

void AddinApplicationObject::ProgressGraphPictureSize(int& width, int& height) {
  width = 800;
  height = 500;
}

void AddinApplicationObject::ConstraintSolverFixSeed() {
  m_FixSeed = true;
}

void AddinApplicationObject::EndOfRunChoices(bool generateOptimizationSummary, bool writeLogOfAllTrials,
                                             bool writeLogOfProgressSteps, int solutionToKeep,
                                             int reportPlacement) {
  StopChoices c;
  c.ShownToUser = true;
  c.GenerateOptimizationSummary = generateOptimizationSummary;
  c.WriteLogOfAllTrials = writeLogOfAllTrials;
  c.WriteLogOfProgressSteps = writeLogOfProgressSteps;
  c.SolutionToKeep = solutionToKeep;
  c.ReportPlacement = reportPlacement;
  c.FixSeed = m_FixSeed;
  m_Choices = c;
}

}  // namespace corvana::addin
