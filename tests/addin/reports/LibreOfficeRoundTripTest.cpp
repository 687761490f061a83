#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <regex>

#include "suite/gdlib/gdlib8.h"
#include "tests/addin/reports/CalcReader.h"
#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"

namespace corvana::addin::reports {
namespace {

using testing::CalcReader;
using testing::Table;

// The user ticks every report in the stopping tab of the window shown at the end of the run, to go
// to a new workbook.
const char* const kEndOfRunScript =
    "wait-form FormProgress\n"
    "set-check FormProgress CheckGenerateOptimizationSummary on\n"
    "set-check FormProgress CheckWriteLogOfAllTrials on\n"
    "set-check FormProgress CheckWriteLogOfProgressSteps on\n"
    "set-combo FormProgress ComboReportPlacement 1\n"
    "click FormProgress CommandOK\n";

// Calc writes a percentage with its sign even when not writing cells as shown.
double Number(const std::string& text) {
  try {
    return text.ends_with('%') ? std::stod(text) / 100 : std::stod(text);
  } catch (...) {
    ADD_FAILURE() << "not a number: \"" << text << "\"";
    return std::nan("");
  }
}

// The row whose first cell is `label`, from row `from` on; an empty row when there is none.
const std::vector<std::string>& RowOf(const Table& table, const std::string& label, std::size_t from = 0) {
  static const std::vector<std::string> none(8);
  for (std::size_t i = from; i < table.size(); ++i)
    if (!table[i].empty() && table[i][0] == label) return table[i];
  ADD_FAILURE() << "no row \"" << label << "\"";
  return none;
}

struct LogRecord {
  std::int32_t Trial = 0;
  double Value = 0;
  std::vector<double> Genes = std::vector<double>(64);
};
LogRecord ReadLog(const std::string& path, int number, int selector) {
  LogRecord r;
  std::int32_t elapsed = 0;
  double penalized = 0;
  GdLogRecordInfo info{};
  EXPECT_EQ(GdLogReadRecordWVB(path.c_str(), number, selector, &elapsed, &r.Value, &penalized, &r.Trial,
                               nullptr, nullptr, nullptr, 0, r.Genes.data(), 64, &info),
            0);
  return r;
}

// Runs the add-in and the Watcher for real, lets the scripted user choose the reports, and opens
// what was written in LibreOffice Calc. Slow: labelled "libreoffice".
class LibreOfficeRoundTripTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { corvana::test::StartCoreApplication("reports"); }
  void SetUp() override {
    if (!CalcReader::Available()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
    ASSERT_TRUE(m_Session.Ready()) << m_Session.Error().toStdString();
  }
  QJsonObject Run() {
    const QStringList args{"run",
                           "--trials",
                           "400",
                           "--seed",
                           "7",
                           "--reports",
                           m_Session.File("run.xlsx"),
                           "--trial-log",
                           LogPath().c_str(),
                           "--script",
                           m_Session.WriteFile("user.script", kEndOfRunScript)};
    auto addin = m_Session.StartAddin(args);
    QJsonObject result = e2e::E2eSession::Finish(*addin);
    EXPECT_EQ(addin->exitCode(), 0) << addin->readAllStandardError().toStdString();
    return result;
  }
  std::string LogPath() const { return m_Session.File("trials.gdlog").toStdString(); }
  std::map<std::string, Table> Read(const QString& workbook, bool asShown) {
    std::string error;
    auto sheets =
        CalcReader::Read(workbook.toStdString(), m_Session.File("calc").toStdString(), asShown, error);
    EXPECT_FALSE(sheets.empty()) << error;
    return sheets;
  }

  e2e::E2eSession m_Session;
};

// The reports go to a workbook of their own beside the run's, which holds the model.
TEST_F(LibreOfficeRoundTripTest, ReportsOpenInCalcAndAgreeWithTheResultAndTheTrialLog) {
  const QJsonObject r = Run();
  const QJsonArray files = r["reports"].toArray();
  ASSERT_EQ(files.size(), 2) << QJsonDocument(r).toJson().toStdString();
  EXPECT_EQ(files[0]["path"].toString(), m_Session.File("run.xlsx"));
  EXPECT_EQ(files[1]["path"].toString(), m_Session.File("run-reports.xlsx"));
  const auto model = Read(m_Session.File("run.xlsx"), false);
  ASSERT_EQ(model.size(), 1u);
  EXPECT_EQ(model.begin()->first, "Model");
  const auto sheets = Read(m_Session.File("run-reports.xlsx"), false);
  ASSERT_EQ(sheets.size(), 3u);
  const Table& summary = sheets.at("Optimization Summary");
  const Table& trials = sheets.at("Log of All Trials");
  const Table& steps = sheets.at("Log of Progress Steps");
  const long trialCount = r["trials"].toInt();
  ASSERT_EQ(trialCount, 400);

  // The summary tells what the result tells.
  EXPECT_EQ(RowOf(summary, "Model")[1], "portfolio");
  EXPECT_EQ(Number(RowOf(summary, "Trials")[1]), trialCount);
  EXPECT_EQ(Number(RowOf(summary, "Valid trials")[1]), r["valid_trials"].toInt());
  EXPECT_EQ(Number(RowOf(summary, "Progress steps")[1]), r["progress_steps"].toInt());
  EXPECT_EQ(Number(RowOf(summary, "Population")[1]), 50);
  const double best = r["best_value"].toDouble();
  EXPECT_NEAR(Number(RowOf(summary, "Result")[1]), best, 1e-12 * std::abs(best));
  const QJsonObject bestSolution = r["best_solution"].toObject();
  ASSERT_FALSE(bestSolution.isEmpty());
  for (auto cell = bestSolution.begin(); cell != bestSolution.end(); ++cell)
    EXPECT_NEAR(Number(RowOf(summary, cell.key().toStdString())[1]), cell.value().toDouble(), 1e-12)
        << cell.key().toStdString();

  // The log of all trials: a header and one row per trial, the first and the last as logged.
  ASSERT_EQ(trials.size(), std::size_t(trialCount + 1));
  EXPECT_EQ(trials[0][0], "Trial");
  for (std::size_t g = 0; g < std::size_t(bestSolution.size()); ++g)
    EXPECT_TRUE(bestSolution.contains(QString::fromStdString(trials[0][3 + g]))) << trials[0][3 + g];
  for (int n : {1, int(trialCount)}) {
    const LogRecord logged = ReadLog(LogPath(), n, GdLogKindTrial);
    const auto& row = trials[std::size_t(n)];
    EXPECT_EQ(Number(row[0]), logged.Trial);
    EXPECT_NEAR(Number(row[1]), logged.Value, 1e-12 * std::abs(logged.Value)) << "trial " << n;
    for (std::size_t g = 0; g < std::size_t(bestSolution.size()); ++g)
      EXPECT_NEAR(Number(row[3 + g]), logged.Genes[g], 1e-12) << "trial " << n << " cell " << g;
  }

  // The log of progress steps ends at the best. Below it the hidden columns of its chart go on.
  const std::size_t stepCount = r["progress_steps"].toInt();
  ASSERT_GE(steps.size(), stepCount + 1);
  const auto& lastStep = steps[stepCount];
  EXPECT_EQ(Number(lastStep[0]), double(stepCount));
  EXPECT_TRUE(stepCount + 1 == steps.size() || steps[stepCount + 1][0].empty());
  EXPECT_EQ(Number(lastStep[1]), ReadLog(LogPath(), int(stepCount), GdLogKindProgressStep).Trial);
  EXPECT_NEAR(Number(lastStep[2]), best, 1e-12 * std::abs(best));

  // Shown as a spreadsheet shows them: percentages, dates, truth values.
  const auto shown = Read(m_Session.File("run-reports.xlsx"), true);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_TRUE(std::regex_match(RowOf(shown.at("Optimization Summary"), "Run ended")[1],
                               std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
  EXPECT_TRUE(std::regex_match(RowOf(shown.at("Optimization Summary"), "Run time")[1],
                               std::regex(R"(\d+:\d\d:\d\d)")));
  EXPECT_TRUE(std::regex_match(shown.at("Log of All Trials")[1][1], std::regex(R"(-?\d+\.\d\d%)")))
      << shown.at("Log of All Trials")[1][1];
  EXPECT_TRUE(shown.at("Log of All Trials")[1][2] == "TRUE" ||
              shown.at("Log of All Trials")[1][2] == "FALSE");
}

}  // namespace
}  // namespace corvana::addin::reports
