#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/engine/GdLib.h"

using namespace corvana;

namespace {

// Writes logs the way the optimizing side does: gene values derive from the trial number.
class LogReadout : public EngineTest {
 protected:
  void Create(bool series = false) {
    m_Path = Dir() + "/trials.log";
    ASSERT_EQ(GdLogCreate(m_Path.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, series ? 1 : 0, &m_Handle), 0);
  }
  void Append(std::int32_t kind, std::int32_t trial, std::int32_t constrainingValueIndex = 1) {
    double genes[] = {trial * 1.0, trial + 0.5};
    GdLogRecord record{};
    record.Kind = kind;
    record.TrialNumber = trial;
    record.ValueWithoutPenalties = trial * 100.0;
    record.ValueWithPenalties = trial * 100.0 - 1;
    record.GeneValues = genes;
    record.Info.ValidTrialCount = trial * 2;
    ASSERT_EQ(GdLogAppendRecord(m_Handle, constrainingValueIndex, &record), 0);
  }
  void TearDown() override {
    GdLogClose(m_Handle);
    EngineTest::TearDown();
  }

  std::string m_Path;
  std::int32_t m_Handle = 0;
};

}  // namespace

TEST_F(LogReadout, AnEmptyLogReadsNothing) {
  Create();
  EXPECT_EQ(GdLib::Log_GetTrialCount(m_Path), 0);
  EXPECT_EQ(GdLib::Log_GetProgressStepCount(m_Path), 0);
  EXPECT_EQ(GdLib::Log_GetValidTrialCount(m_Path), 0);
  EXPECT_EQ(GdLib::Log_GetBestTrialNumber(m_Path), 0);
  std::vector<double> values = {9};
  for (std::int32_t which : {GdLib::kWhichBest, GdLib::kWhichOriginal, GdLib::kWhichLast}) {
    EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, which), kMissingValue);
    EXPECT_FALSE(GdLib::Log_GetAdjustableCellValuesForBestOriginalLast(m_Path, which, values));
  }
  EXPECT_EQ(values, std::vector<double>{9});
  EXPECT_TRUE(Logged("Log_GetTrialCount, About to call GdLogGetRecordCountsWVB with log path: " + m_Path));
  EXPECT_TRUE(Logged("GdLogGetRecordCountsWVB returned TrialCount=0, l_TrialOrProgressStepNumber=0, rc=0"));
  EXPECT_EQ(LogText().find("About to call GdLogReadRecordVB"), std::string::npos);
}

TEST_F(LogReadout, BestOriginalAndLastSelectTheirRecords) {
  Create();
  Append(GdLogKindTrial, 1);
  // With one trial and no step: original and last are trial 1, best is nothing yet.
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, GdLib::kWhichOriginal), 99);
  EXPECT_TRUE(Logged("About to call GdLogReadRecordVB with LogPath=" + m_Path +
                     ", recordNumber=1, TrialOrProgressStepNumber=0"));
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, GdLib::kWhichBest),
            kMissingValue);

  Append(GdLogKindProgressStep, 1);
  Append(GdLogKindTrial, 2);
  Append(GdLogKindTrial, 3);
  Append(GdLogKindProgressStep, 3);
  Append(GdLogKindTrial, 4);
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, GdLib::kWhichBest), 299);
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, GdLib::kWhichOriginal), 99);
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, GdLib::kWhichLast), 399);
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(m_Path, 0), 399)
      << "any other: last";
  std::vector<double> values;
  ASSERT_TRUE(GdLib::Log_GetAdjustableCellValuesForBestOriginalLast(m_Path, GdLib::kWhichBest, values));
  EXPECT_EQ(values, (std::vector<double>{3, 3.5}));
  EXPECT_TRUE(Logged("Array p_AdjustableCellValues: 3  3.5  "));
  EXPECT_EQ(GdLib::Log_GetValidTrialCount(m_Path), 8);
  EXPECT_EQ(GdLib::Log_GetBestTrialNumber(m_Path), 3);
  EXPECT_EQ(GdLib::Log_GetTrialCount(m_Path), 4);
  EXPECT_EQ(GdLib::Log_GetProgressStepCount(m_Path), 2);
}

TEST_F(LogReadout, FrontierSolutionsComeFromEachOptimizationsLastStepAndNoFurther) {
  Create(true);
  Append(GdLogKindTrial, 1, 1);
  Append(GdLogKindProgressStep, 1, 1);
  Append(GdLogKindTrial, 2, 2);
  Append(GdLogKindProgressStep, 2, 2);
  Append(GdLogKindTrial, 3, 2);
  Append(GdLogKindProgressStep, 3, 2);

  // A record number beyond the log's trial count reads nothing.
  std::vector<double> values = {5, 6};
  EXPECT_FALSE(GdLib::Log_GetAdjustableCellValues(m_Path, 1, 4, values));
  EXPECT_EQ(values, (std::vector<double>{5, 6}));
  EXPECT_TRUE(
      Logged("***!!*** Log_GetAdjustableCellValues, passed p_RecordNumber > l_TrialCount obtained from "
             "GdLogGetRecordCountsWVB"));
  EXPECT_TRUE(GdLib::Log_GetAdjustableCellValues(m_Path, 1, 1, values));
  EXPECT_EQ(values, (std::vector<double>{1, 1.5}));
  EXPECT_TRUE(Logged("About to call GdLogReadRecordVB with LogPath=" + m_Path +
                     ", recordNumber=1, p_ConstrainingValueIndex=1"));

  std::int32_t record = -7, trial = -7;
  values = {42};
  double without = -7;
  EXPECT_EQ(GdLib::Log_EFGetFrontierSolution(m_Path, 3, record, trial, values, without), kMissingValue);
  EXPECT_EQ(record, -7) << "no step yet: nothing is touched";
  EXPECT_EQ(values, std::vector<double>{42});
  EXPECT_TRUE(
      Logged("Log_EFGetFrontierSolution, About to call GdLogGetRecordCounts2WVB with log path: " + m_Path));
  EXPECT_TRUE(Logged("GdLogGetRecordCounts2WVB returned TrialCount=0, l_TrialOrProgressStepNumber=0, rc=0"));

  EXPECT_EQ(GdLib::Log_EFGetFrontierSolution(m_Path, 2, record, trial, values, without), 299);
  EXPECT_EQ(record, 2);
  EXPECT_EQ(trial, 3);
  EXPECT_EQ(without, 300);
  EXPECT_EQ(values, (std::vector<double>{3, 3.5}));
  EXPECT_TRUE(Logged("GdLogReadRecordWVB returned rc=0, l_Answer=299"));
  EXPECT_EQ(GdLib::Log_EFGetProgressStepCount(m_Path, 2), 2);
  EXPECT_EQ(GdLib::Log_EFGetProgressStepCount(m_Path, 1), 1);
  EXPECT_EQ(GdLib::Log_GetTrialCount(m_Path), 3) << "trials of the whole analysis";

  // The record number a frontier read gives addresses the same record of that optimization.
  std::vector<double> again;
  EXPECT_TRUE(GdLib::Log_GetAdjustableCellValues(m_Path, 2, record, again));
  EXPECT_EQ(again, values);
}

TEST_F(LogReadout, EngineFailuresAreLoggedNotRaised) {
  const std::string missing = Dir() + "/missing.log";
  EXPECT_EQ(GdLib::Log_GetTrialCount(missing), 0);
  EXPECT_EQ(GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(missing, GdLib::kWhichLast),
            kMissingValue);
  EXPECT_TRUE(
      Logged("Error in method: Log_GetTrialCount, GdLib method: GdLogGetRecordCountsWVB, error number-7, "
             "GdLib description: Exception Name=GdError, Method Name=GdLogGetRecordCountsWVB, Message=The "
             "log " +
             missing + " does not exist."));

  // Counts and a record read through the typed calls.
  Create();
  Append(GdLogKindTrial, 1);
  GdLib::LogRecordData data;
  data.GeneValues.resize(1);
  EXPECT_EQ(GdLib::GdLogReadRecordWVB(m_Path, 1, 0, data), GdErrBufferTooSmall);
  data.GeneValues.resize(2);
  ASSERT_EQ(GdLib::GdLogReadRecordWVB(m_Path, 1, 0, data), 0);
  EXPECT_EQ(data.GeneValues, (std::vector<double>{1, 1.5}));
  EXPECT_EQ(data.Info.ValidTrialCount, 2);
  EXPECT_EQ(GdLib::GdLogReadRecordWVB(m_Path, 2, 0, data), GdErrRecordOutOfRange);
}
