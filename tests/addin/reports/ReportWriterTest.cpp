#include "addin/reports/ReportWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "addin/reports/AllTrialsLog.h"
#include "addin/reports/ReportError.h"
#include "addin/reports/ReportWorkbook.h"
#include "addin/reports/TrialLogFile.h"
#include "tests/addin/reports/TestTrialLog.h"
#include "tests/support/TempDir.h"

namespace corvana::addin::reports {
namespace {

namespace fs = std::filesystem;
using testing::CountOf;
using testing::TestTrialLog;
using testing::ZipEntries;
using testing::ZipEntry;

class ReportWriterTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return m_Dir / name; }

  // A log of `trials` trials over two cells; the first constraint is met from trial `metFrom` on.
  std::unique_ptr<TestTrialLog> MakeLog(int trials, int metFrom, bool improving,
                                        const std::string& name = "run.gdlog") {
    auto log = std::make_unique<TestTrialLog>(
        Path(name), std::vector<std::string>{"Stocks", "Bonds"},
        std::vector<TestTrialLog::Constraint>{{"budget", true}, {"risk", false}});
    for (int t = 1; t <= trials; ++t)
      log->Add(0.01 * t, {0.1 * t, 1 - 0.1 * t}, {t >= metFrom, true}, improving || t == 1);
    log->Close();
    return log;
  }
  ReportOptions All(const std::string& name) const {
    ReportOptions o;
    o.Summary = o.AllTrials = o.ProgressSteps = true;
    o.Path = Path(name);
    return o;
  }
  // The XML of the sheet at `index` (1-based, in workbook order).
  static std::string Sheet(const std::string& file, int index) {
    return ZipEntry(file, "xl/worksheets/sheet" + std::to_string(index) + ".xml");
  }
  static bool HasChart(const std::string& file) {
    for (const auto& e : ZipEntries(file))
      if (e.starts_with("xl/charts/")) return true;
    return false;
  }

  TempDir m_Dir;
};

TEST_F(ReportWriterTest, InNewWorksheetsTheReportsFollowTheModelSheetOfTheRunsWorkbook) {
  auto log = MakeLog(5, 1, true);
  const auto files = ReportWriter::Write(log->Run(), All("run.xlsx"));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].Path, Path("run.xlsx"));
  EXPECT_EQ(files[0].Sheets, (std::vector<std::string>{"Model", "Optimization Summary", "Log of All Trials",
                                                       "Log of Progress Steps"}));
  EXPECT_TRUE(fs::exists(files[0].Path));
  EXPECT_FALSE(fs::exists(files[0].Path + ".part"));
  // The logs' header rows are frozen and filtered.
  for (int sheet : {3, 4}) {
    const std::string xml = Sheet(files[0].Path, sheet);
    EXPECT_NE(xml.find("state=\"frozen\""), std::string::npos) << sheet;
    EXPECT_NE(xml.find("<autoFilter"), std::string::npos) << sheet;
  }
}

TEST_F(ReportWriterTest, NoReportChosenWritesNothing) {
  auto log = MakeLog(5, 1, true);
  ReportOptions options;
  options.Path = Path("run.xlsx");
  EXPECT_TRUE(ReportWriter::Write(log->Run(), options).empty());
  EXPECT_FALSE(fs::exists(options.Path));
}

TEST_F(ReportWriterTest, ARunWithNoProgressStepGetsAnEmptyProgressLogWithHeadersAndNoChart) {
  auto log = std::make_unique<TestTrialLog>(Path("run.gdlog"), std::vector<std::string>{"Stocks"},
                                            std::vector<TestTrialLog::Constraint>{{"budget", true}});
  log->Add(1, {0.5}, {true}, false);
  log->Close();
  ReportOptions options;
  options.ProgressSteps = true;
  options.Path = Path("run.xlsx");
  const auto files = ReportWriter::Write(log->Run(), options);
  ASSERT_EQ(files.size(), 1u);
  const std::string xml = Sheet(files[0].Path, 2);
  EXPECT_EQ(CountOf(xml, "<row "), 1u) << xml;
  for (const char* header : {"Step", "Trial", "Result", "Valid", "Stocks", "budget", "Run time"})
    EXPECT_NE(xml.find(std::string("<t>") + header + "</t>"), std::string::npos) << header;
  EXPECT_FALSE(HasChart(files[0].Path));

  // With steps, the same report has its chart, drawn from the stairs in its hidden columns.
  auto stepping = MakeLog(3, 1, true, "stepping.gdlog");
  options.Overwrite = true;
  const std::string path = ReportWriter::Write(stepping->Run(), options)[0].Path;
  ASSERT_TRUE(HasChart(path));
  const std::string chart = ZipEntry(path, "xl/charts/chart1.xml");
  EXPECT_NE(chart.find("'Log of Progress Steps'!$K$2:$K$7"), std::string::npos) << chart;
  EXPECT_EQ(chart.find("<c:plotVisOnly val=\"1\"/>"), std::string::npos) << "hidden data would not be drawn";
}

TEST_F(ReportWriterTest, ALogLongerThanOneSheetGoesOnToTheNextAndTheSummarySaysSo) {
  auto log = MakeLog(7, 1, true);
  ReportOptions options = All("run.xlsx");
  options.RowsPerSheet = 4;  // a header and three trials
  const auto files = ReportWriter::Write(log->Run(), options);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].Sheets, (std::vector<std::string>{"Model", "Optimization Summary", "Log of All Trials",
                                                       "Log of All Trials (2)", "Log of All Trials (3)",
                                                       "Log of Progress Steps"}));
  // Sheets 3..5: trials 1-3, 4-6 and 7, each under its own header.
  const std::string second = Sheet(files[0].Path, 4), third = Sheet(files[0].Path, 5);
  EXPECT_EQ(CountOf(Sheet(files[0].Path, 3), "<row "), 4u);
  EXPECT_EQ(CountOf(second, "<row "), 4u);
  EXPECT_NE(second.find("<c r=\"A2\"><v>4</v></c>"), std::string::npos) << second;
  EXPECT_NE(second.find("<t>Trial</t>"), std::string::npos);
  EXPECT_EQ(CountOf(third, "<row "), 2u);
  EXPECT_NE(third.find("<c r=\"A2\"><v>7</v></c>"), std::string::npos) << third;
  EXPECT_NE(Sheet(files[0].Path, 2).find("longer than one sheet: on 3 sheets"), std::string::npos);
}

TEST_F(ReportWriterTest, SheetsNeededForALog) {
  EXPECT_EQ(AllTrialsLog::SheetNames(0, 4).size(), 1u);  // an empty log still has its headers
  EXPECT_EQ(AllTrialsLog::SheetNames(3, 4).size(), 1u);
  EXPECT_EQ(AllTrialsLog::SheetNames(4, 4).size(), 2u);
  EXPECT_EQ(AllTrialsLog::SheetNames(1048575, 1048576).size(), 1u);
  EXPECT_EQ(AllTrialsLog::SheetNames(1048576, 1048576).back(), "Log of All Trials (2)");
}

TEST_F(ReportWriterTest, AConstraintNeverMetIsNotMetInEveryRow) {
  auto log = MakeLog(5, 99, true);  // "budget" never met, "risk" always
  const auto files = ReportWriter::Write(log->Run(), All("run.xlsx"));
  const std::string trials = Sheet(files[0].Path, 3);
  EXPECT_EQ(CountOf(trials, "<t>not met</t>"), 5u);
  EXPECT_EQ(CountOf(trials, "<t>met</t>"), 5u);
  EXPECT_EQ(CountOf(trials, "<c r=\"C"), 6u);  // the Valid column: header and five booleans, all false
  EXPECT_EQ(CountOf(trials, "t=\"b\"><v>0</v>"), 5u);
  EXPECT_EQ(CountOf(Sheet(files[0].Path, 4), "<t>not met</t>"), 5u);
  // The summary: best, original and last all miss it.
  EXPECT_EQ(CountOf(Sheet(files[0].Path, 2), "<t>not met</t>"), 3u);
}

TEST_F(ReportWriterTest, AFolderThatIsNotThereIsSaidAndNothingIsWritten) {
  auto log = MakeLog(3, 1, true);
  ReportOptions options = All("missing/run.xlsx");
  try {
    ReportWriter::Write(log->Run(), options);
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot write " + Path("missing/run.xlsx") + ": the folder " +
                                         Path("missing") + " does not exist");
  }
  std::ofstream(Path("file")) << "not a folder";
  options.Path = Path("file/run.xlsx");
  EXPECT_THROW(ReportWriter::Write(log->Run(), options), ReportError);
}

TEST_F(ReportWriterTest, AReadOnlyFolderIsSaid) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  auto log = MakeLog(3, 1, true);
  fs::create_directory(Path("locked"));
  chmod(Path("locked").c_str(), 0500);
  EXPECT_THROW(
      {
        try {
          ReportWriter::Write(log->Run(), All("locked/run.xlsx"));
        } catch (const ReportError& e) {
          EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
          throw;
        }
      },
      ReportError);
}

TEST_F(ReportWriterTest, InANewWorkbookAnExistingFileIsReplacedOnlyWhenAllowed) {
  auto log = MakeLog(3, 1, true);
  ReportOptions options = All("run.xlsx");
  options.NewWorkbook = true;
  std::ofstream(Path("run-reports.xlsx")) << "mine";
  // The second file is in the way: neither is written.
  try {
    ReportWriter::Write(log->Run(), options);
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_EQ(std::string(e.what()), Path("run-reports.xlsx") + " exists already; --overwrite replaces it");
  }
  EXPECT_FALSE(fs::exists(Path("run.xlsx")));
  EXPECT_EQ(fs::file_size(Path("run-reports.xlsx")), 4u);

  // Allowed, the reports replace it in a workbook of their own beside the run's. Each saving is
  // told, since the library's saving is most of a long log's time.
  options.Overwrite = true;
  std::vector<std::pair<std::string, double>> steps;
  const auto files = ReportWriter::Write(
      log->Run(), options, [&](const std::string& step, double share) { steps.emplace_back(step, share); });
  EXPECT_EQ(steps, (std::vector<std::pair<std::string, double>>{{"saving run.xlsx", -1},
                                                                {"writing the log of all trials", 1},
                                                                {"saving run-reports.xlsx", -1}}));
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].Sheets, std::vector<std::string>{"Model"});
  EXPECT_EQ(files[1].Path, Path("run-reports.xlsx"));
  EXPECT_EQ(files[1].Sheets.front(), "Optimization Summary");
  EXPECT_EQ(Sheet(files[1].Path, 1).substr(0, 5), "<?xml");
}

TEST_F(ReportWriterTest, TheTrialLogIsNeverReplacedByItsReports) {
  auto log = MakeLog(3, 1, true);
  ReportOptions options = All("run.gdlog");
  options.Overwrite = true;
  EXPECT_THROW(ReportWriter::Write(log->Run(), options), ReportError);
  EXPECT_EQ(ZipEntries(log->Path()).size(), 0u);
  TrialLogFile readable(log->Path());
  EXPECT_EQ(readable.Trials(), 3);
}

TEST_F(ReportWriterTest, AMissingTrialLogIsSaid) {
  ReportOptions options = All("run.xlsx");
  ReportRun run;
  run.TrialLogPath = Path("gone.gdlog");
  EXPECT_THROW(ReportWriter::Write(run, options), ReportError);
  EXPECT_FALSE(fs::exists(options.Path));
}

TEST_F(ReportWriterTest, AWorkbookAbandonedHalfWayLeavesNoFile) {
  {
    ReportWorkbook workbook(Path("run.xlsx"), "0.00%");
    lxw_worksheet* sheet = workbook.AddSheet("Log of All Trials");
    for (lxw_row_t row = 0; row < 3; ++row) worksheet_write_number(sheet, row, 0, row, nullptr);
  }  // as when reading the trial log fails in the middle
  EXPECT_TRUE(fs::is_empty(m_Dir.Path()));
}

TEST(ReportWriterPaths, TheRunsWorkbookSitsBesideTheTrialLogAndTheNewOneBesideIt) {
  EXPECT_EQ(ReportWriter::DefaultPath("/run/x/trials-12-3-1.gdlog"), "/run/x/trials-12-3-1.xlsx");
  EXPECT_EQ(ReportWriter::NewWorkbookPath("/out/run.xlsx"), "/out/run-reports.xlsx");
  EXPECT_EQ(ReportWriter::NewWorkbookPath("run.xlsx"), "run-reports.xlsx");
}

}  // namespace
}  // namespace corvana::addin::reports
