#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "common/ComError.h"
#include "tests/support/WaitUntil.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/engine/GdLib.h"

using namespace corvana;

namespace {

template <class Statement>
ComError Raised(Statement statement) {
  try {
    statement();
  } catch (const ComError& e) {
    return e;
  }
  return ComError(0, "", "nothing raised");
}

}  // namespace

TEST_F(EngineTest, BindingLoadsBothLibrariesFromTheSystemDirectory) {
  const std::string dir = std::getenv("ORRENDEL_SYSTEM_DIR");
  auto bound = [this](const std::string& line) {
    return LogText(true).find(" " + line + "\r\n") != std::string::npos;
  };
  EXPECT_TRUE(GdLib::IsGdLibLoaded());
  EXPECT_EQ(GdLib::GdLibPath(), dir + "/libgdlib8.so");
  EXPECT_TRUE(bound("WATCHER: About to call LoadLibrary for GdLib with this path: " + dir + "/libgdlib8.so"));
  EXPECT_TRUE(bound("GdInit3(1, 8, 0, )")) << "logging is on, so the engine logs too";
  EXPECT_TRUE(bound("WATCHER: GdInit3 returned, dllResult=0"));
  EXPECT_TRUE(bound("*TECH SUPPORT* About to load TarnLib using this path: " + dir + "/libtarnlib8.so"));
  EXPECT_TRUE(bound("*TECH SUPPORT* TarnLib initialization call returned."));
}

TEST_F(EngineTest, AMissingLibraryIsAnErrorThatKeepsTheBinding) {
  const std::string system = std::getenv("ORRENDEL_SYSTEM_DIR");
  ::setenv("ORRENDEL_SYSTEM_DIR", Dir().c_str(), 1);
  ComError gd = Raised([] { GdLib::InitializeGdLib(); });
  ComError tarn = Raised([] { GdLib::LoadTarnLib(); });
  ::setenv("ORRENDEL_SYSTEM_DIR", system.c_str(), 1);
  EXPECT_EQ(gd.Code(), kErrApplication);
  EXPECT_EQ(gd.Description(), "WATCHER: Could not load the file " + Dir() + "/libgdlib8.so.");
  EXPECT_EQ(tarn.Code(), kErrApplication);
  EXPECT_EQ(tarn.Description(), "Could not load the library " + Dir() + "/libtarnlib8.so.");
  EXPECT_EQ(GdLib::GdPopGetRunStatus(-1), GdErrUnknownHandle) << "the earlier binding still works";
}

TEST_F(EngineTest, ChannelValuesKeepTheirKindAndTheCallersByteCount) {
  Variant flag(true);
  ASSERT_EQ(GdLib::GdWriteTempData(3, flag, 2), 0);
  EXPECT_TRUE(Logged("GdWriteTempData: Entering, cnum=3, numBytes=2"));
  Variant raw(std::int16_t{0});
  ASSERT_EQ(GdLib::GdReadTempData(3, raw, 2), 0);
  EXPECT_EQ(raw, Variant(std::int16_t{-1})) << "True crosses as a 16-bit -1";
  std::int64_t word = 0;
  ASSERT_EQ(::GdReadTempData(3, &word, 8), 0);
  EXPECT_EQ(word, 0xFFFF) << "only the two bytes the caller named were written";
  Variant back(false);
  ASSERT_EQ(GdLib::GdReadTempData(3, back, 2), 0);
  EXPECT_EQ(back, Variant(true));
  ASSERT_EQ(GdLib::GdWriteTempData(3, Variant(false), 2), 0);
  ASSERT_EQ(GdLib::GdReadTempData(3, raw, 2), 0);
  EXPECT_EQ(raw, Variant(std::int16_t{0}));

  ASSERT_EQ(GdLib::GdWriteTempData(4, Variant(std::int32_t{-70000}), 4), 0);
  Variant count(std::int32_t{0});
  ASSERT_EQ(GdLib::GdReadTempData(4, count, 4), 0);
  EXPECT_EQ(count, Variant(std::int32_t{-70000}));
  ASSERT_EQ(GdLib::GdWriteTempData(5, Variant(2.75), 8), 0);
  Variant value(0.0);
  ASSERT_EQ(GdLib::GdReadTempData(5, value, 8), 0);
  EXPECT_EQ(value, Variant(2.75));

  // A count larger than the kind's own size reads the whole slot without overrunning anything.
  Variant small(std::int16_t{0});
  ASSERT_EQ(GdLib::GdReadTempData(4, small, 8), 0);
  EXPECT_EQ(GdLib::GdWriteTempData(5, Variant(1.0), 3), GdErrBadByteCount);
  EXPECT_EQ(GdLib::GdReadTempData(999, value, 8), GdErrChannelOutOfRange);

  // The installed reader serves the shared helpers.
  ASSERT_EQ(GdLib::GdWriteTempData(WatcherOLShared::kChannelEFNumOptimizationUnderWay, Variant(3.0), 8), 0);
  EXPECT_EQ(WatcherOLShared::GetEFNumOptimizationUnderWay(), 3.0);
}

TEST_F(EngineTest, UnsupportedKindsAreRefusedAndTouchNothing) {
  ASSERT_EQ(GdLib::GdWriteTempData(6, Variant(std::int32_t{77}), 4), 0);
  Variant text("abc");
  ComError read = Raised([&] { GdLib::GdReadTempData(6, text, 4); });
  EXPECT_EQ(read.Code(), kErrApplication);
  EXPECT_EQ(read.Description(), "GdReadTempData: VarType not supported: 8");
  EXPECT_EQ(text, Variant("abc"));
  ComError write = Raised([] { GdLib::GdWriteTempData(6, Variant("x"), 4); });
  EXPECT_EQ(write.Description(), "GdWriteTempData: VarType not supported: 8");
  ComError empty = Raised([] { GdLib::GdWriteTempData(6, Variant(), 4); });
  EXPECT_EQ(empty.Description(), "GdWriteTempData: VarType not supported: 0");
  Variant count(std::int32_t{0});
  ASSERT_EQ(GdLib::GdReadTempData(6, count, 4), 0);
  EXPECT_EQ(count, Variant(std::int32_t{77}));
}

TEST_F(EngineTest, EngineErrorsAreLoggedAndRaisedWithTheirTexts) {
  GdLib::LogGdLibError("M", "G", GdErrInternal, true);
  EXPECT_TRUE(Logged("Error in method: M, GdLib method: G, error number-16")) << "no details, no description";
  GdLib::LogGdLibError("M", "G", GdErrChannelOutOfRange, false);
  EXPECT_TRUE(
      Logged("Error in method: M, GdLib method: G, error number-3, GdLib description: The temp-data "
             "channel number is out of range."));

  EXPECT_EQ(GdLib::GdPopLock(424242), GdErrUnknownHandle);
  EXPECT_EQ(GdLib::GetGdLibErrorText(GdErrUnknownHandle, true),
            "Exception Name=GdError, Method Name=GdPopLock, Message=There is no population 424242.");
  EXPECT_EQ(GdLib::GetGdLibErrorText(-12345, false), "");

  ComError fatal = Raised([] { GdLib::RaiseGdLibError("Proc", "GdPopLock", -14, false); });
  EXPECT_EQ(fatal.Code(), kErrEngineText);
  EXPECT_EQ(fatal.Description(), Utilities::GetResourceString(2101));
  EXPECT_TRUE(
      Logged("Error in method: Proc, GdLib method: GdPopLock, error number-14, GdLib description: The "
             "optimization's population no longer exists."));

  ComError other = Raised([] { GdLib::RaiseGdLibError("Proc", "GdInit3", GdErrInvalidArgument, false); });
  EXPECT_EQ(other.Code(), kErrApplication);
  EXPECT_EQ(
      other.Description(),
      "Error in method: Proc, GdLib method: GdInit3, error number-1, GdLib description: An argument is out "
      "of range.");
}

// The optimizing side in another process, the Watcher's side here through the binding.
TEST_F(EngineTest, TheWatcherFollowsAndSteersARunInAnotherProcess) {
  const std::string log = Dir() + "/run.log";
  const std::int32_t none = 0;
  ::GdWriteTempData(50, &none, 4);
  pid_t child = ::fork();
  if (child == 0) {
    double lo[] = {-1, -1}, hi[] = {1, 1};
    GdGroupSpec group{GdMethodRecipe, 2, lo, hi, 0, 0, 0, 0.6, 0.1};
    std::int32_t pop = 0, logHandle = 0;
    if (GdPopCreate(&group, 1, 10, GdGoalMinimize, 3, &pop) != 0) ::_exit(1);
    if (GdLogCreate(log.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, 0, &logHandle) != 0) ::_exit(2);
    double genes[2];
    std::int32_t count = 0;
    for (int trial = 1; trial <= 40; ++trial) {
      GdPopNextOrganism(pop, genes, 2, &count);
      double value = genes[0] * genes[0] + genes[1] * genes[1];
      std::int32_t newBest = 0;
      GdPopReportResult(pop, value, value, 1, &newBest);
      GdLogRecord record{};
      record.TrialNumber = trial;
      record.ValueWithoutPenalties = record.ValueWithPenalties = value;
      record.GeneValues = genes;
      record.Info.ValidTrialCount = trial;
      GdLogAppendRecord(logHandle, 1, &record);
      if (newBest) {
        record.Kind = GdLogKindProgressStep;
        GdLogAppendRecord(logHandle, 1, &record);
      }
    }
    GdPopSetRunStatus(pop, GdRunStatusPaused);
    ::GdWriteTempData(50, &pop, 4);
    // Wait for the Watcher to resume the run, then finish it.
    const bool resumed = corvana::test::WaitUntil(
        [&] { return GdPopGetRunStatus(pop) == GdRunStatusOptimizing; }, std::chrono::seconds(5));
    GdPopFree(pop);
    ::_exit(resumed ? 0 : 3);
  }

  std::int32_t pop = 0;
  corvana::test::WaitUntil(
      [&] {
        Variant handle(std::int32_t{0});
        GdLib::GdReadTempData(50, handle, 4);
        pop = handle.ToLong();
        return pop != 0;
      },
      std::chrono::seconds(5));
  ASSERT_NE(pop, 0);
  EXPECT_EQ(GdLib::GdPopGetRunStatus(pop), GdRunStatusPaused);
  EXPECT_EQ(GdLib::Log_GetTrialCount(log), 40);
  EXPECT_EQ(GdLib::Log_GetValidTrialCount(log), 40);
  std::int32_t steps = GdLib::Log_GetProgressStepCount(log);
  EXPECT_GE(steps, 1);

  ASSERT_EQ(GdLib::GdPopLock(pop), 0);
  double value = 0, objective = 0;
  std::int32_t flags = 0;
  ASSERT_EQ(GdLib::GdOrgGetResult(pop, GdLib::GdPopGetSize(pop), value, objective, flags), 0);
  EXPECT_EQ(value, GdLib::Log_GetObjectiveValueWithPenaltiesForBestOriginalLast(log, GdLib::kWhichBest))
      << "the best organism is the last progress step";
  std::vector<double> genes;
  ASSERT_EQ(GdLib::GdOrgGetGenes(pop, 1, genes), 0);
  EXPECT_EQ(genes.size(), 2u);
  EXPECT_EQ(GdLib::GdChrGetGeneCount(pop, 1), 2);
  ASSERT_EQ(GdLib::GdChrSetCrossoverRate(pop, 1, 0.3), 0);
  ASSERT_EQ(GdLib::GdPopUnlock(pop), 0);
  // Resuming frees the other side to finish and free the population, so it comes after the unlock.
  ASSERT_EQ(GdLib::GdPopSetRunStatus(pop, GdRunStatusOptimizing), 0);

  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(GdLib::GdPopGetRunStatus(pop), GdErrPopulationGone);
}
