#include <gtest/gtest.h>

#include "common/ComError.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/log/LogObject.h"

using namespace corvana;

namespace {

// A log of two adjustable cells and one atomic constraint.
struct LogObjectTest : ::testing::Test {
  LogObject log;
  void SetUp() override { log.Initialize(2, 1); }
  void Add(double value, bool newBest, bool valid, double gene = 0) {
    log.AddRecord(value, value - 1, newBest, {gene, gene + 1}, valid, {value * 2}, {valid}, 100, 1, 2, 3, 4);
  }
};

TEST_F(LogObjectTest, SelectorsFollowTheFlagsNotTheValues) {
  EXPECT_EQ(log.GetResult(-1), kMissingValue);  // no record yet
  Add(10, false, true, 1);
  Add(5, true, true, 2);  // the caller decides what is a new best, even a worse value
  Add(7, false, true, 3);
  EXPECT_EQ(log.GetResult(-2), 10);
  EXPECT_EQ(log.GetResult(-1), 5);
  EXPECT_EQ(log.GetResult(-5), 7);
  EXPECT_EQ(log.GetResult(3), kMissingValue);  // not a selector
  EXPECT_EQ(log.NewBestTrialIndex(), 2);
  EXPECT_EQ(log.NewBestValue(), 5);
  std::vector<double> values{9, 9, 9, 9};
  ASSERT_TRUE(log.GetAdjustableCellValues(-5, values));
  EXPECT_EQ(values, (std::vector<double>{3, 4}));
}

TEST_F(LogObjectTest, NoBestYetAndInvalidRecordsGiveTheMissingMarker) {
  Add(10, false, false);
  std::vector<double> values{42};
  EXPECT_EQ(log.GetResult(-1), kMissingValue);
  EXPECT_FALSE(log.GetAdjustableCellValues(-1, values));
  EXPECT_EQ(values, std::vector<double>{42});   // untouched
  EXPECT_EQ(log.GetResult(-2), kMissingValue);  // the original trial was invalid
  Add(3, true, false);                          // an invalid new best is still the best
  EXPECT_EQ(log.NewBestTrialIndex(), 2);
  EXPECT_EQ(log.GetResult(-1), kMissingValue);
  EXPECT_TRUE(log.GetAdjustableCellValues(-1, values));
}

TEST_F(LogObjectTest, CountsAndProgressSteps) {
  std::int32_t trials = -1, steps = -1;
  log.LogGetRecordCounts(trials, steps);
  EXPECT_EQ(trials, 0);
  EXPECT_EQ(steps, 0);
  Add(10, false, true);
  Add(8, false, false);
  log.LogGetRecordCounts(trials, steps);
  EXPECT_EQ(trials, 2);
  EXPECT_EQ(steps, 0);
  Add(6, true, true);
  Add(5, false, true);
  Add(4, true, true);
  log.LogGetRecordCounts(trials, steps);
  EXPECT_EQ(trials, 5);
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(log.GetCountOfAllTrials(), 5);
  EXPECT_EQ(log.GetCountOfValidTrials(), 4);
  EXPECT_EQ(log.ProgressSteps(), (std::vector<std::int32_t>{3, 5}));
}

TEST_F(LogObjectTest, RecordsReadByTrialOrByProgressStep) {
  Add(10, false, true, 1);
  Add(6, true, true, 2);
  Add(5, false, false, 3);
  Add(4, true, true, 4);
  LogObjectRecord record;
  log.LogGetRecord(2, 1, record);  // the second new best
  EXPECT_EQ(record.RecalcNum, 4);
  EXPECT_EQ(record.ValueWithPenalties, 4);
  EXPECT_EQ(record.ValueWithoutPenalties, 3);
  EXPECT_EQ(record.GeneArray, (std::vector<double>{4, 5}));
  EXPECT_EQ(record.AtomicConstraintValues, std::vector<double>{8});
  EXPECT_EQ(record.CORVANA_Iters, 100);
  EXPECT_EQ(record.CORVANA_Max, 4);
  log.LogGetRecord(2.5, 0, record);  // half to even: record 2
  EXPECT_EQ(record.RecalcNum, 2);
  log.LogGetRecord(3, 0, record);
  EXPECT_FALSE(record.SolutionIsValid);
  EXPECT_EQ(record.AtomicConstraintIsMet, std::vector<bool>{false});
  EXPECT_THROW(log.LogGetRecord(5, 0, record), ComError);
  EXPECT_THROW(log.LogGetRecord(3, 1, record), ComError);
  EXPECT_THROW(log.LogGetRecord(0, 0, record), ComError);
}

TEST_F(LogObjectTest, NamesKeepTheirBounds) {
  log.PassAdjustableCellNames({"A1", "B1"}, 0);
  log.PassAtomicConstraintDescriptions({"A1 <= 5"}, 1);
  std::string name;
  log.LogGetAdjustableCellName(1, name);
  EXPECT_EQ(name, "B1");
  log.LogGetConstraintInfo(1, name);
  EXPECT_EQ(name, "A1 <= 5");
  EXPECT_THROW(log.LogGetAdjustableCellName(2, name), ComError);
  EXPECT_THROW(log.LogGetConstraintInfo(0, name), ComError);
}

TEST_F(LogObjectTest, ShortArraysAreRefusedAndLoseNothing) {
  Add(10, true, true);
  EXPECT_THROW(log.AddRecord(1, 1, true, {1}, true, {1}, {true}, 0, 0, 0, 0, 0), ComError);
  EXPECT_EQ(log.GetCountOfAllTrials(), 1);
  EXPECT_EQ(log.NewBestTrialIndex(), 1);
}

TEST_F(LogObjectTest, SecondInitializeIsIgnoredAndDisposeResets) {
  Add(10, true, true);
  log.Initialize(7, 7);
  std::int32_t cells = 0, constraints = 0;
  log.LogGetHeaderData(cells, constraints);
  EXPECT_EQ(cells, 2);
  EXPECT_EQ(constraints, 1);
  log.Dispose();
  EXPECT_FALSE(log.Initialized());
  EXPECT_EQ(log.GetCountOfAllTrials(), 0);
  EXPECT_EQ(log.NewBestTrialIndex(), 0);
  EXPECT_EQ(log.NumAdjustableCells(), 0);
  EXPECT_THROW(Add(1, false, true), ComError);
  log.Dispose();  // not initialized: nothing to do
  log.Initialize(1, 0);
  log.AddRecord(2, 2, true, {1}, true, {}, {}, 0, 0, 0, 0, 0);  // no constraints: their arrays are not read
  EXPECT_EQ(log.GetResult(-1), 2);
}

}  // namespace
