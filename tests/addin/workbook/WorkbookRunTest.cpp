#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <atomic>
#include <fstream>
#include <iterator>

#include "addin/workbook/WorkbookModel.h"
#include "tests/addin/workbook/TestWorkbooks.h"

namespace corvana::addin {
namespace {

const std::filesystem::path kExamples = CORVANA_EXAMPLES_DIR;

struct Outcome {
  int ExitCode = -1;
  QByteArray Out, Err;
};

Outcome RunAddin(const QStringList& args,
                 const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(CORVANA_ADDIN, QStringList{"run", "--no-watcher"} + args);
  Outcome o;
  if (!process.waitForFinished(300000)) {
    process.kill();
    process.waitForFinished();
    return o;
  }
  o.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  o.Out = process.readAllStandardOutput();
  o.Err = process.readAllStandardError();
  return o;
}

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

QString Path(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

TEST(WorkbookRun, BadInputExitsWithCode2AndOverwritesNothing) {
  TempDir folder;
  const auto broken =
      testing::SaveTinyModel(folder / "broken.ods", [](WorkbookWriter& w) { w.Set("Model.B2", "ten"); });
  const std::string original = Contents(broken);
  const Outcome text = RunAddin({"--workbook", Path(broken), "--trials", "10"});
  EXPECT_EQ(text.ExitCode, 2);
  EXPECT_NE(text.Err.indexOf("Model.B2 (Corvana_Adjustable) holds the text \"ten\""), -1)
      << text.Err.toStdString();
  EXPECT_TRUE(text.Out.isEmpty());
  EXPECT_EQ(Contents(broken), original);

  const Outcome missing = RunAddin({"--workbook", Path(folder / "nothing.ods")});
  EXPECT_EQ(missing.ExitCode, 2);
  EXPECT_NE(missing.Err.indexOf("nothing.ods: no such workbook"), -1) << missing.Err.toStdString();

  const Outcome saveAsAlone = RunAddin({"--save-as", Path(folder / "x.ods")});
  EXPECT_EQ(saveAsAlone.ExitCode, 2);
  EXPECT_NE(saveAsAlone.Err.indexOf("--save-as needs --workbook"), -1);
}

TEST(WorkbookRun, WorkbookSettingsSetTheRunAndTheSavedFileReplacesTheOriginal) {
  TempDir folder;
  const auto path = testing::SaveTinyModel(folder / "tiny.ods", [](WorkbookWriter& w) {
    w.Set("Model.F1", "120");
    w.Name("Corvana_Trials", "$Model.$F$1");
  });
  const Outcome run = RunAddin({"--workbook", Path(path)});
  ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
  const QJsonObject result = QJsonDocument::fromJson(run.Out).object();
  EXPECT_EQ(result["trials"].toInt(), 120);
  std::atomic<bool> stop{false};
  WorkbookModel saved(path, stop);
  const QJsonArray best = result["optimizations"].toArray().last().toObject()["best_solution"].toArray();
  ASSERT_EQ(best.size(), 2);
  EXPECT_NEAR(saved.StartValues()[0], best[0].toDouble(), 1e-12);
  EXPECT_NEAR(saved.StartValues()[1], best[1].toDouble(), 1e-12);
  EXPECT_FALSE(std::filesystem::exists(folder / "tiny.ods.partial.ods"));
}

TEST(WorkbookRun, WorkersRecalculateInOfficesOfTheirOwnAndTheBestIsSavedIntoACopy) {
  TempDir folder;
  const auto input = folder / "spring.ods";
  std::filesystem::copy_file(kExamples / "spring.ods", input);
  const std::string original = Contents(input);
  const auto output = folder / "out.ods";
  // A worker keeps its copy of the workbook under the temporary folder until it has stopped its
  // office in order.
  const auto temporary = folder / "tmp";
  std::filesystem::create_directory(temporary);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TMPDIR", Path(temporary));
  const Outcome run = RunAddin({"--workbook", Path(input), "--workers", "2", "--trials", "300", "--save-as",
                                Path(output), "--keep-log"},
                               environment);
  ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

  const QJsonObject result = QJsonDocument::fromJson(run.Out).object();
  EXPECT_EQ(result["stop_reason"].toString(), "trials");
  EXPECT_EQ(result["trials"].toInt(), 300);
  EXPECT_TRUE(std::filesystem::exists(result["trial_log"].toString().toStdString()));
  EXPECT_EQ(result["workers"].toObject()["processes"].toInt(), 2);
  EXPECT_EQ(result["workers"].toObject()["lost"].toInt(), 0) << run.Err.toStdString();
  const QJsonArray best = result["optimizations"].toArray().last().toObject()["best_solution"].toArray();
  ASSERT_EQ(best.size(), 3);
  std::atomic<bool> stop{false};
  WorkbookModel saved(output, stop);
  const std::vector<double> cells = saved.StartValues();
  // The file keeps 15 significant digits.
  for (int i = 0; i < best.size(); ++i) EXPECT_NEAR(cells[i], best[i].toDouble(), 1e-13 * cells[i]) << i;
  EXPECT_NEAR(saved.Evaluate(cells).Objective, result["best_value"].toDouble(), 1e-12);
  EXPECT_NE(Contents(output), original);
  EXPECT_EQ(Contents(input), original) << "--save-as leaves the workbook itself alone";
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(temporary))
    left.push_back(entry.path().filename().string());
  EXPECT_TRUE(left.empty()) << left.front();
}

}  // namespace
}  // namespace corvana::addin
