#include "tests/watcher/watcher_window/TrialLogWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "suite/gdlib/gdlib8.h"

namespace corvana {

TrialLogWriter::TrialLogWriter(std::string path, int genes, const std::vector<Constraint>& constraints,
                               bool series)
    : m_Path(std::move(path)), m_Genes(genes), m_Constraints(constraints.size()) {
  std::vector<const char*> names;
  std::vector<std::int32_t> hard, hasValue;
  for (const auto& c : constraints) {
    names.push_back(c.Name.c_str());
    hard.push_back(c.HardNotSoft);
    hasValue.push_back(c.HasValue ? 1 : 0);
  }
  EXPECT_EQ(GdLogCreate(m_Path.c_str(), 1, genes, static_cast<std::int32_t>(m_Constraints), names.data(),
                        hard.data(), hasValue.data(), series ? 1 : 0, &m_Handle),
            0);
}

TrialLogWriter::~TrialLogWriter() {
  GdLogClose(m_Handle);
  std::error_code ignored;
  std::filesystem::remove(m_Path, ignored);
}

void TrialLogWriter::Append(Trial trial, bool newBest) {
  ++m_Trials;
  trial.Genes.resize(static_cast<std::size_t>(m_Genes), 1.0);
  trial.Status.resize(m_Constraints, 1.0);
  trial.Values.resize(m_Constraints, 0.0);
  const std::vector<double> penalties(m_Constraints, 0.0);
  GdLogRecord record{};
  record.Kind = GdLogKindTrial;
  record.TrialNumber = m_Trials;
  record.ValueWithoutPenalties = trial.Value;
  record.ValueWithPenalties = trial.Value;
  record.ConstraintStatus = trial.Status.data();
  record.ConstraintValues = trial.Values.data();
  record.ConstraintPenalties = penalties.data();
  record.GeneValues = trial.Genes.data();
  record.Info.ElapsedSeconds = trial.ElapsedSeconds;
  record.Info.ValidTrialCount = trial.ValidTrials < 0 ? m_Trials : trial.ValidTrials;
  record.Info.ConstrainingValueIndex = trial.Optimization;
  ASSERT_EQ(GdLogAppendRecord(m_Handle, trial.Optimization, &record), 0);
  if (newBest) {
    record.Kind = GdLogKindProgressStep;
    ASSERT_EQ(GdLogAppendRecord(m_Handle, trial.Optimization, &record), 0);
  }
}

}  // namespace corvana
