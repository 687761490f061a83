#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "addin/ProgressLine.h"
#include "addin/ResultWriter.h"

namespace corvana::addin {
namespace {

QJsonObject Parse(const std::string& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << json;
  return doc.object();
}

TEST(ResultWriterTest, WritesValidJsonWithEveryFigure) {
  RunResult r;
  r.Model = "spring";
  r.Objective = "Minimize \"weight\"\tof a\\spring\n";
  r.GeneNames = {"d", "D", "N"};
  r.KnownBest = 0.0126652;
  OptimizationResult o;
  o.Trials = 10;
  o.ValidTrials = 7;
  o.ProgressSteps = 3;
  o.HasBest = true;
  o.BestValue = 0.1 + 0.2;  // not a short decimal: must still read back exactly
  o.BestValueWithPenalties = 0.5;
  o.BestIsValid = true;
  o.BestSolution = {0.05, 0.3, 11};
  r.Optimizations = {o, o};
  r.StopReason = "user";
  r.Choices = StopChoices{true, -2, true, false, true, 3, false};
  r.KeptSolution = {0.06, 0.5, 10};

  const QJsonObject j = Parse(ResultWriter::ToJson(r));
  EXPECT_EQ(j["objective"].toString().toStdString(), r.Objective);
  EXPECT_EQ(j["best_value"].toDouble(), 0.1 + 0.2);
  EXPECT_EQ(j["best_solution"].toObject()["N"].toDouble(), 11);
  EXPECT_EQ(j["trials"].toInt(), 20);
  EXPECT_EQ(j["valid_trials"].toInt(), 14);
  EXPECT_EQ(j["progress_steps"].toInt(), 6);
  EXPECT_EQ(j["optimizations"].toArray().size(), 2);
  EXPECT_EQ(j["end_of_run"].toObject()["solution_to_keep"].toInt(), -2);
  EXPECT_EQ(j["end_of_run"].toObject()["report_placement"].toInt(), 3);
  EXPECT_EQ(j["kept_solution"].toObject()["D"].toDouble(), 0.5);
  EXPECT_EQ(j["stop_reason"].toString(), "user");
}

TEST(ResultWriterTest, FrontierPointsRiseInTheConstrainingValue) {
  RunResult r;
  for (double value : {-0.04, -0.2, -0.12}) {
    OptimizationResult o;
    o.ConstrainingValue = value;
    o.HasBest = value != -0.12;  // an optimization moved on from before its first best is no point
    o.BestValue = -value;
    o.BestIsValid = true;
    r.Optimizations.push_back(o);
  }
  const QJsonObject j = Parse(ResultWriter::ToJson(r));
  const QJsonArray frontier = j["frontier"].toArray();
  ASSERT_EQ(frontier.size(), 2);
  EXPECT_EQ(frontier[0].toObject()["constraining_value"].toDouble(), -0.2);
  EXPECT_EQ(frontier[1].toObject()["constraining_value"].toDouble(), -0.04);
  EXPECT_EQ(frontier[1].toObject()["best_value"].toDouble(), 0.04);
  // A single optimization has no frontier.
  EXPECT_FALSE(Parse(ResultWriter::ToJson(RunResult{})).contains("frontier"));
}

TEST(ResultWriterTest, NothingYetGivesNulls) {
  RunResult r;
  r.Model = "routing";
  r.WatcherError = "no bus";
  OptimizationResult o;
  o.HasBest = false;
  r.Optimizations = {o};
  const QJsonObject j = Parse(ResultWriter::ToJson(r));
  EXPECT_TRUE(j["best_value"].isNull());
  EXPECT_TRUE(j["best_solution"].isNull());
  EXPECT_TRUE(j["known_best"].isNull());
  EXPECT_TRUE(j["end_of_run"].isNull());
  EXPECT_EQ(j["watcher"].toObject()["error"].toString(), "no bus");

  r.Optimizations.clear();
  r.Optimizations.push_back(OptimizationResult{});
  r.Optimizations[0].HasBest = true;
  r.Optimizations[0].BestValue = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(Parse(ResultWriter::ToJson(r))["best_value"].isNull());
}

TEST(ProgressLineTest, ShareOfTheNearerGoal) {
  EXPECT_EQ(ProgressLine::Format(50, 200, 3725.9, 0, 0.25, ""), "Trial 50/200  25%  01:02:05  best 0.25");
  // With both goals the one nearer to its end sets the share.
  EXPECT_EQ(ProgressLine::Format(10, 1000, 30, 60, std::nullopt, "paused"),
            "Trial 10/1000  50%  00:00:30  best -  [paused]");
  EXPECT_EQ(ProgressLine::Format(7, 0, 120, 60, 1.5, ""), "Trial 7  100%  00:02:00  best 1.5");
}

TEST(ProgressLineTest, SilentWhenNotATerminal) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  {
    ProgressLine off(out, false);
    off.Update(1, 10, 0, 0, 1.0, "", true);
    off.Finish();
    ProgressLine on(out, true);
    on.Update(1, 10, 0, 0, 1.0, "", true);
    on.Update(2, 10, 0, 0, 1.0, "", false);  // within a tenth of a second: not redrawn
    on.Finish();
  }
  std::fclose(out);
  const std::string text(buffer, size);
  free(buffer);
  EXPECT_EQ(text, "\rTrial 1/10  10%  00:00:00  best 1\033[K\r\033[K");
}

}  // namespace
}  // namespace corvana::addin
