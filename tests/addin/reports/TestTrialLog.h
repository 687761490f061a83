#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "addin/reports/ReportRun.h"

namespace corvana::addin::reports::testing {

// A trial log written record by record, without running anything, and the run that goes with it.
class TestTrialLog {
 public:
  struct Constraint {
    std::string Name;
    bool Hard = true;
  };
  TestTrialLog(std::string path, std::vector<std::string> geneNames, std::vector<Constraint> constraints);
  ~TestTrialLog();
  TestTrialLog(const TestTrialLog&) = delete;
  TestTrialLog& operator=(const TestTrialLog&) = delete;

  // The next trial; a progress step also when `improves`.
  void Add(double value, const std::vector<double>& genes, const std::vector<bool>& met, bool improves);
  void Close();

  const std::string& Path() const { return m_Path; }
  // A maximizing run of this log, all of it done.
  ReportRun Run() const;

 private:
  void Append(std::int32_t kind, double value, const std::vector<double>& genes,
              const std::vector<bool>& met);

  std::string m_Path;
  std::vector<std::string> m_GeneNames;
  std::vector<Constraint> m_Constraints;
  std::int32_t m_Handle = 0;
  std::int32_t m_Trial = 0;
  std::int32_t m_Valid = 0;
};

// A file's entry in a zip container (an xlsx is one), read with unzip; empty when it is not there.
std::string ZipEntry(const std::string& file, const std::string& entry);
std::vector<std::string> ZipEntries(const std::string& file);
std::size_t CountOf(const std::string& text, const std::string& what);

}  // namespace corvana::addin::reports::testing
