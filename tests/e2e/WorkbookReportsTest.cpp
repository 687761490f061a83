// A workbook optimized with the Watcher watching: the reports the user chose "In New Worksheets"
// are saved in the workbook itself, next to its own sheets.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <filesystem>

#include "addin/workbook/WorkbookSession.h"
#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"

namespace corvana::e2e {
namespace {

TEST(WorkbookReportsTest, ReportsInNewWorksheetsAreSavedInTheWorkbook) {
  test::StartCoreApplication("e2e-workbook");
  if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
  E2eSession session;
  ASSERT_TRUE(session.Ready()) << session.Error().toStdString();
  const QString input = session.File("spring.ods");
  ASSERT_TRUE(QFile::copy(CORVANA_EXAMPLES_DIR "/spring.ods", input));
  const QString output = session.File("solved.ods");
  const QString script = session.WriteFile("user.script",
                                           // The spring's first guess breaks a constraint.
                                           "answer no\n"
                                           "wait-trials 200\n"
                                           "click FormProgressSmall CommandStop\n"
                                           "answer yes\n"
                                           "wait-status stopped\n"
                                           "wait-modal\n"
                                           "wait-form FormProgress\n"
                                           "set-check FormProgress CheckGenerateOptimizationSummary on\n"
                                           "set-check FormProgress CheckWriteLogOfProgressSteps on\n"
                                           "click FormProgress CommandOK\n");
  auto addin = session.StartAddin({"run", "--workbook", input, "--save-as", output, "--trials", "100000",
                                   "--script", script, "--trial-log", session.File("trials.gdlog")});
  const QJsonObject result = E2eSession::Finish(*addin, 300000);
  ASSERT_EQ(addin->exitCode(), 0) << addin->readAllStandardError().toStdString();

  const QJsonArray reports = result["reports"].toArray();
  ASSERT_EQ(reports.size(), 1);
  EXPECT_EQ(reports[0].toObject()["path"].toString(), output);
  QStringList listed;
  for (const auto& sheet : reports[0].toObject()["sheets"].toArray()) listed << sheet.toString();
  EXPECT_EQ(listed.size(), 2) << listed.join(", ").toStdString();
  // No run workbook beside the trial log: the workbook is the run's workbook.
  EXPECT_FALSE(QFile::exists(session.File("trials.xlsx")));

  addin::WorkbookSession office;
  const auto saved = office.Open(output.toStdString());
  const auto names = saved->getSheets()->getElementNames();
  QStringList sheets;
  for (const auto& name : names) sheets << QString::fromUtf8(name.toUtf8().getStr());
  EXPECT_TRUE(sheets.contains("Spring")) << sheets.join(", ").toStdString();
  for (const QString& sheet : listed) EXPECT_TRUE(sheets.contains(sheet)) << sheet.toStdString();
  EXPECT_FALSE(sheets.contains("Model"));
}

}  // namespace
}  // namespace corvana::e2e
