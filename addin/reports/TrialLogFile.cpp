#include "addin/reports/TrialLogFile.h"

#include "addin/reports/ReportError.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin::reports {

namespace {

void Check(std::int16_t code, const std::string& path) {
  if (code >= 0) return;
  char text[512] = {};
  GdGetErrorTextWVB(code, text, sizeof text);
  throw ReportError("cannot read the trial log " + path + ": " + text);
}

}  // namespace

TrialLogFile::TrialLogFile(std::string path) : m_Path(std::move(path)) {
  std::int32_t chromosomes = 0, constraints = 0, series = 0, steps = 0;
  Check(GdLogGetCountsWVB(m_Path.c_str(), &chromosomes, &m_Genes, &constraints, &series), m_Path);
  Check(GdLogGetRecordCountsWVB(m_Path.c_str(), &m_Trials, &steps), m_Path);
  m_IsSeries = series != 0;
  for (std::int32_t i = 1; i <= constraints; ++i) {
    char name[4096] = {};
    std::int32_t hard = 0, hasValue = 0;
    Check(GdLogGetConstraintInfoWVB(m_Path.c_str(), i, name, sizeof name, &hard, &hasValue), m_Path);
    m_Constraints.push_back({name, hard != 0});
  }
}

std::int32_t TrialLogFile::ProgressSteps(int optimization) const {
  std::int32_t trials = 0, steps = 0;
  Check(GdLogGetRecordCounts2WVB(m_Path.c_str(), &trials, m_IsSeries ? optimization : 0, &steps), m_Path);
  return steps;
}

void TrialLogFile::ReadTrial(std::int32_t number, Record& record) const {
  Read(number, 0, record);
}

void TrialLogFile::ReadProgressStep(std::int32_t number, Record& record, int optimization) const {
  Read(number, m_IsSeries ? optimization : 1, record);
}

void TrialLogFile::Read(std::int32_t number, std::int32_t selector, Record& record) const {
  const auto constraints = static_cast<std::int32_t>(m_Constraints.size());
  record.Met.resize(m_Constraints.size());
  record.ConstraintValues.resize(m_Constraints.size());
  record.Genes.resize(static_cast<std::size_t>(m_Genes));
  std::int32_t seconds = 0;
  double withPenalties = 0;
  GdLogRecordInfo info{};
  Check(GdLogReadRecordWVB(m_Path.c_str(), number, selector, &seconds, &record.Value, &withPenalties,
                           &record.Trial, record.Met.data(), record.ConstraintValues.data(), nullptr,
                           constraints, record.Genes.data(), m_Genes, &info),
        m_Path);
  record.ElapsedSeconds = info.ElapsedSeconds;
  record.ValidTrialsSoFar = info.ValidTrialCount;
  record.Valid = true;
  for (std::size_t i = 0; i < m_Constraints.size(); ++i)
    if (m_Constraints[i].Hard && record.Met[i] == 0) record.Valid = false;
}

}  // namespace corvana::addin::reports
