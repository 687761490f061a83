// The example workbooks optimized with the Watcher watching and a user steering the run: the best
// solution is written back into the workbook, and the saved workbook, opened again, shows it in its
// adjustable cells and its objective.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <memory>
#include <vector>

#include "addin/workbook/WorkbookSession.h"
#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"

namespace corvana::e2e {
namespace {

using namespace css;

// Ends a run the user stopped: the Watcher is shown modally at the end, the user clicks OK.
const QString kOkAtEnd =
    "wait-status stopped\n"
    "wait-modal\n"
    "wait-form FormProgress\n"
    "click FormProgress CommandOK\n";

class WorkbookExamplesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::StartCoreApplication("e2e-workbook-examples"); }
  // One office for the whole suite reopens the saved workbooks.
  static void TearDownTestSuite() { s_Office.reset(); }

  void SetUp() override {
    if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
    ASSERT_TRUE(m_Session.Ready()) << m_Session.Error().toStdString();
  }

  // Optimizes a copy of the example workbook `name` with the user acting as `script`, saving the
  // solution to solved-NAME; the result JSON.
  QJsonObject Run(const QString& name, const QStringList& options, const QString& script) {
    const QString input = m_Session.File(name);
    EXPECT_TRUE(QFile::copy(CORVANA_EXAMPLES_DIR "/" + name, input));
    m_Saved = m_Session.File("solved-" + name);
    QStringList args = {"run",
                        "--workbook",
                        input,
                        "--save-as",
                        m_Saved,
                        "--script",
                        m_Session.WriteFile("user.script", script)};
    args += options;
    auto addin = m_Session.StartAddin(args);
    const QJsonObject result = E2eSession::Finish(*addin, 300000);
    m_ExitCode = addin->exitCode();
    EXPECT_FALSE(result.contains("script_error")) << result["script_error"].toString().toStdString();
    return result;
  }

  // A cell of the saved workbook, "Sheet.B4", as the office shows it when it opens the file.
  double Saved(const QString& label) {
    if (!s_Office) s_Office = std::make_unique<addin::WorkbookSession>();
    if (!m_Document.is()) m_Document = s_Office->Open(m_Saved.toStdString());
    const QStringList parts = label.split('.');
    uno::Reference<table::XCellRange> sheet(
        m_Document->getSheets()->getByName(rtl::OUString::fromUtf8(parts[0].toUtf8().constData())),
        uno::UNO_QUERY_THROW);
    return sheet->getCellRangeByName(rtl::OUString::fromUtf8(parts[1].toUtf8().constData()))
        ->getCellByPosition(0, 0)
        ->getValue();
  }

  // The saved workbook holds the run's best solution in its adjustable cells, and its objective
  // cell shows the best value. An .ods file keeps 15 significant digits of a number.
  void ExpectBestSaved(const QJsonObject& r, const QString& objectiveCell) {
    ASSERT_TRUE(r["best_solution"].isObject()) << QJsonDocument(r).toJson().toStdString();
    const QJsonObject best = r["best_solution"].toObject();
    EXPECT_EQ(r["kept_solution"].toObject(), best);
    ASSERT_FALSE(best.isEmpty());
    for (auto cell = best.begin(); cell != best.end(); ++cell)
      EXPECT_NEAR(Saved(cell.key()), cell.value().toDouble(),
                  1e-14 * std::max(1.0, std::abs(cell.value().toDouble())))
          << cell.key().toStdString();
    const double value = r["best_value"].toDouble();
    EXPECT_NEAR(Saved(objectiveCell), value, 1e-12 * std::max(1.0, std::abs(value)));
  }

  static std::unique_ptr<addin::WorkbookSession> s_Office;
  E2eSession m_Session;
  QString m_Saved;
  uno::Reference<sheet::XSpreadsheetDocument> m_Document;
  int m_ExitCode = -1;
};

std::unique_ptr<addin::WorkbookSession> WorkbookExamplesTest::s_Office;

TEST_F(WorkbookExamplesTest, SpringPausedResumedAndStopped) {
  const QJsonObject r = Run("spring.ods", {"--trials", "100000"},
                            // The spring's first guess breaks a constraint: no constraint solver.
                            "answer no\n"
                            "wait-trials 300\n"
                            "click FormProgressSmall CommandPause\n"
                            "wait-status paused\n"
                            "wait-property FormProgressSmall CommandPause Pressed true\n"
                            "click FormProgressSmall CommandRun\n"
                            "wait-status running\n"
                            "wait-trials 1000\n"
                            "click FormProgressSmall CommandStop\n"
                            "answer yes\n" +
                                kOkAtEnd);
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  EXPECT_TRUE(r["end_of_run"].toObject()["shown_to_user"].toBool());
  EXPECT_GE(r["trials"].toInt(), 1000);
  ExpectBestSaved(r, "Spring.B8");
}

TEST_F(WorkbookExamplesTest, PortfolioRunToItsGoal) {
  const QJsonObject r = Run("portfolio.ods", {"--trials", "1500"},
                            "wait-trials 500\n"
                            "click FormProgressSmall CommandStop\n"
                            "answer no\n"  // the user thinks better of it
                            "wait-status running\n"
                            "wait-status stopped\n"
                            "wait-modal\n"
                            "wait-form FormProgress\n"
                            "click FormProgress CommandOK\n");
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "trials");
  EXPECT_EQ(r["trials"].toInt(), 1500);
  EXPECT_TRUE(r["end_of_run"].toObject()["shown_to_user"].toBool());
  ExpectBestSaved(r, "Portfolio.B16");
  // The budget: the weights still add up to one.
  double total = 0;
  for (const auto& weight : r["best_solution"].toObject()) total += weight.toDouble();
  EXPECT_NEAR(total, 1.0, 1e-9);
  EXPECT_GE(Saved("Portfolio.B20"), 0.0);  // the 5th-percentile limit holds
}

TEST_F(WorkbookExamplesTest, ScheduleOrderPausedAndStopped) {
  const QJsonObject r = Run("schedule.ods", {"--trials", "100000"},
                            "wait-trials 1500\n"
                            "click FormProgressSmall CommandPause\n"
                            "wait-status paused\n"
                            "wait-property FormProgressSmall CommandPause Pressed true\n"
                            "click FormProgressSmall CommandStop\n"
                            "answer yes\n" +
                                kOkAtEnd);
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  ExpectBestSaved(r, "Schedule.B16");
  // The order method kept the jobs a permutation: each job number once.
  std::vector<int> jobs;
  for (const auto& job : r["best_solution"].toObject()) jobs.push_back(job.toInt());
  std::sort(jobs.begin(), jobs.end());
  EXPECT_EQ(jobs, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // Better than the job-number order (390); the best order costs 28.
  EXPECT_LT(r["best_value"].toDouble(), 390);
  EXPECT_GE(r["best_value"].toDouble(), 28);
}

// The efficient frontier over a workbook constraint: the constraining value is the bound of the
// portfolio's 5th-percentile slack cell (Portfolio.B20 >= value).
TEST_F(WorkbookExamplesTest, PortfolioEfficientFrontier) {
  const QJsonObject r = Run("portfolio.ods", {"--trials", "600", "--efficient-frontier", "-0.04,0"},
                            "wait-status stopped\n"
                            "wait-modal\n"
                            "wait-form FormProgressEF\n"
                            "click FormProgressEF CommandOK\n");
  ASSERT_EQ(m_ExitCode, 0) << QJsonDocument(r).toJson().toStdString();
  const QJsonArray optimizations = r["optimizations"].toArray();
  ASSERT_EQ(optimizations.size(), 2);
  for (const auto& o : optimizations) EXPECT_EQ(o.toObject()["trials"].toInt(), 600);
  const QJsonArray frontier = r["frontier"].toArray();
  ASSERT_EQ(frontier.size(), 2);
  EXPECT_DOUBLE_EQ(frontier[0].toObject()["constraining_value"].toDouble(), -0.04);
  EXPECT_DOUBLE_EQ(frontier[1].toObject()["constraining_value"].toDouble(), 0.0);
  for (const auto& point : frontier)
    EXPECT_TRUE(point.toObject()["best_is_valid"].toBool()) << QJsonDocument(frontier).toJson().toStdString();
  // A floor of -16% allows more return than one of -12%.
  EXPECT_GT(frontier[0].toObject()["best_value"].toDouble(), frontier[1].toObject()["best_value"].toDouble());
  // The last optimization's best is saved, and it meets the tighter floor.
  ExpectBestSaved(r, "Portfolio.B16");
  EXPECT_GE(Saved("Portfolio.B20"), 0.0);
}

}  // namespace
}  // namespace corvana::e2e
