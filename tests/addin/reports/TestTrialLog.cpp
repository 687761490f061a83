#include "tests/addin/reports/TestTrialLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "suite/gdlib/gdlib8.h"

namespace corvana::addin::reports::testing {

TestTrialLog::TestTrialLog(std::string path, std::vector<std::string> geneNames,
                           std::vector<Constraint> constraints)
    : m_Path(std::move(path)), m_GeneNames(std::move(geneNames)), m_Constraints(std::move(constraints)) {
  std::vector<const char*> names;
  std::vector<std::int32_t> hard, hasValue;
  for (const Constraint& c : m_Constraints) {
    names.push_back(c.Name.c_str());
    hard.push_back(c.Hard ? 1 : 0);
    hasValue.push_back(1);
  }
  EXPECT_EQ(GdLogCreate(m_Path.c_str(), 1, static_cast<std::int32_t>(m_GeneNames.size()),
                        static_cast<std::int32_t>(names.size()), names.data(), hard.data(), hasValue.data(),
                        0, &m_Handle),
            GdOk);
}

TestTrialLog::~TestTrialLog() {
  Close();
}

void TestTrialLog::Close() {
  if (m_Handle) GdLogClose(m_Handle);
  m_Handle = 0;
}

void TestTrialLog::Add(double value, const std::vector<double>& genes, const std::vector<bool>& met,
                       bool improves) {
  ++m_Trial;
  bool valid = true;
  for (std::size_t i = 0; i < met.size(); ++i)
    if (m_Constraints[i].Hard && !met[i]) valid = false;
  if (valid) ++m_Valid;
  Append(GdLogKindTrial, value, genes, met);
  if (improves) Append(GdLogKindProgressStep, value, genes, met);
}

void TestTrialLog::Append(std::int32_t kind, double value, const std::vector<double>& genes,
                          const std::vector<bool>& met) {
  std::vector<double> status, values(met.size(), 0), penalties(met.size(), 0);
  for (bool m : met) status.push_back(m ? 1 : 0);
  GdLogRecord record{};
  record.Kind = kind;
  record.TrialNumber = m_Trial;
  record.ValueWithoutPenalties = record.ValueWithPenalties = value;
  record.ConstraintStatus = status.data();
  record.ConstraintValues = values.data();
  record.ConstraintPenalties = penalties.data();
  record.GeneValues = genes.data();
  record.Info.ElapsedSeconds = m_Trial * 0.5;
  record.Info.ValidTrialCount = m_Valid;
  record.Info.ConstrainingValueIndex = 1;
  ASSERT_EQ(GdLogAppendRecord(m_Handle, 1, &record), GdOk);
}

ReportRun TestTrialLog::Run() const {
  ReportRun run;
  run.Model = "test";
  run.Objective = "Maximize the test value";
  run.Maximize = true;
  run.ValueFormat = "0.00%";
  run.GeneNames = m_GeneNames;
  run.Groups.push_back({"Cells", "recipe", static_cast<int>(m_GeneNames.size()), 0.5, 0.1, true});
  for (const Constraint& c : m_Constraints) run.Constraints.push_back({c.Name, c.Name + " <= 1", c.Hard});
  run.Population = 20;
  run.StopReason = "trials";
  run.ElapsedSeconds = m_Trial * 0.5;
  run.Ended = std::chrono::system_clock::now();
  run.TrialLogPath = m_Path;
  run.KeptSolutionName = "best";
  return run;
}

namespace {

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[65536];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

}  // namespace

std::string ZipEntry(const std::string& file, const std::string& entry) {
  return Output("unzip -p '" + file + "' '" + entry + "' 2>/dev/null");
}

std::vector<std::string> ZipEntries(const std::string& file) {
  std::istringstream in(Output("unzip -Z1 '" + file + "' 2>/dev/null"));
  std::vector<std::string> entries;
  for (std::string line; std::getline(in, line);) entries.push_back(line);
  return entries;
}

std::size_t CountOf(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

}  // namespace corvana::addin::reports::testing
