#include "addin/reports/RunReports.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "addin/ModelCatalog.h"
#include "addin/ResultWriter.h"
#include "addin/RunLoop.h"
#include "suite/gdlib/gdlib8.h"
#include "tests/support/TempDir.h"

namespace corvana::addin::reports {
namespace {

namespace fs = std::filesystem;

// The add-in's end of a run without the Watcher: the choices come as the Watcher would hand them.
class RunReportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ORRENDEL_RUNTIME_DIR", m_Dir.Path().c_str(), 1);
    m_Settings.NoWatcher = true;
    m_Settings.Trials = 150;
    m_Settings.Population = 20;
    // A log of the test's own: a default one goes with the run and its reports to the current folder.
    m_Settings.TrialLogPath = m_Dir / "run.gdlog";
  }

  RunResult RunAndReport(int placement) {
    auto model = ModelCatalog::Create("portfolio");
    RunObserver observer;
    RunLoop loop(*model, m_Settings, observer, m_Interrupt);
    loop.Create();
    RunResult result = loop.Run();
    StopChoices choices;
    choices.ShownToUser = true;
    choices.GenerateOptimizationSummary = choices.WriteLogOfAllTrials = choices.WriteLogOfProgressSteps =
        true;
    choices.ReportPlacement = placement;
    result.Choices = choices;
    RunReports::Write(*model, m_Settings, loop.PopHandle(), loop.LogPath(), result);
    return result;
  }

  TempDir m_Dir;
  RunSettings m_Settings;
  std::atomic<bool> m_Interrupt{false};
};

TEST_F(RunReportsTest, TheResultNamesEveryFileWritten) {
  const RunResult result = RunAndReport(1);
  ASSERT_EQ(result.ReportFiles.size(), 2u) << result.ReportError;
  // Without --reports, the run's workbook sits beside the trial log and is named after it.
  EXPECT_EQ(fs::path(result.ReportFiles[0].Path).stem(), fs::path(result.TrialLogPath).stem());
  EXPECT_EQ(fs::path(result.ReportFiles[0].Path).parent_path(), fs::path(result.TrialLogPath).parent_path());
  const std::string json = ResultWriter::ToJson(result);
  for (const ReportFile& file : result.ReportFiles) {
    EXPECT_TRUE(fs::exists(file.Path));
    EXPECT_NE(json.find("{\"path\": \"" + file.Path + "\", \"sheets\": [\"" + file.Sheets.front() + "\""),
              std::string::npos)
        << json;
  }
  EXPECT_EQ(json.find("reports_error"), std::string::npos);
}

TEST_F(RunReportsTest, ADefaultTrialLogIsReadBeforeItGoesWithTheRun) {
  m_Settings.TrialLogPath.clear();
  m_Settings.ReportsPath = m_Dir / "reports.xlsx";
  const RunResult result = RunAndReport(0);
  EXPECT_TRUE(result.ReportError.empty()) << result.ReportError;
  ASSERT_EQ(result.ReportFiles.size(), 1u);
  EXPECT_TRUE(fs::exists(m_Dir / "reports.xlsx"));
}

TEST_F(RunReportsTest, AReportThatCannotBeWrittenIsSaidAndTheResultStands) {
  m_Settings.ReportsPath = m_Dir / "no/such/folder/run.xlsx";
  const RunResult result = RunAndReport(0);
  EXPECT_TRUE(result.ReportFiles.empty());
  EXPECT_NE(result.ReportError.find("does not exist"), std::string::npos) << result.ReportError;
  const std::string json = ResultWriter::ToJson(result);
  EXPECT_NE(json.find("\"reports\": [],"), std::string::npos);
  EXPECT_NE(json.find("\"reports_error\": \"cannot write " + m_Settings.ReportsPath), std::string::npos);
  EXPECT_NE(json.find("\"trials\": 150,"), std::string::npos) << json;
}

TEST_F(RunReportsTest, TheEngineSettingsComeFromThePopulation) {
  auto model = ModelCatalog::Create("portfolio");
  RunObserver observer;
  RunLoop loop(*model, m_Settings, observer, m_Interrupt);
  loop.Create();
  ASSERT_EQ(GdChrSetCrossoverRate(loop.PopHandle(), 1, 0.75), 0);
  ASSERT_EQ(GdChrSetMutationMode(loop.PopHandle(), 1, 0.2), 0);  // the user fixed the rate
  const RunResult result = loop.Run();
  const ReportRun run = RunReports::Describe(*model, m_Settings, loop.PopHandle(), result);
  ASSERT_FALSE(run.Groups.empty());
  EXPECT_DOUBLE_EQ(run.Groups[0].CrossoverRate, 0.75);
  EXPECT_DOUBLE_EQ(run.Groups[0].MutationRate, 0.2);
  EXPECT_FALSE(run.Groups[0].AutoMutation);
  EXPECT_EQ(run.Population, 20);
  EXPECT_EQ(run.GeneNames, model->GeneNames());
}

}  // namespace
}  // namespace corvana::addin::reports
