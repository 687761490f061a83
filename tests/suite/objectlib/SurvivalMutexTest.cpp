#include "suite/objectlib/SurvivalMutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/ComError.h"
#include "tests/support/TempDir.h"

using namespace corvana;

namespace {
constexpr const char* kName = "OrrendelSurvivalMutex_OLProcessVersion8";
}

TEST(SurvivalMutex, ExistsWhileSomeHolderHoldsIt) {
  TempDir run;
  EXPECT_FALSE(SurvivalMutex::ExistsIn(run.Path(), kName));  // never taken: no lock file at all
  SurvivalMutex first(kName, run.Path());
  SurvivalMutex second(kName, run.Path());
  first.Take();
  first.Take();  // taking twice is harmless
  EXPECT_TRUE(first.IsHeld());
  EXPECT_TRUE(SurvivalMutex::ExistsIn(run.Path(), kName));
  second.Take();
  first.Release();
  EXPECT_TRUE(SurvivalMutex::ExistsIn(run.Path(), kName));
  second.Release();
  EXPECT_FALSE(SurvivalMutex::ExistsIn(run.Path(), kName));
  {
    SurvivalMutex scoped(kName, run.Path());
    scoped.Take();
    EXPECT_TRUE(SurvivalMutex::ExistsIn(run.Path(), kName));
  }
  EXPECT_FALSE(SurvivalMutex::ExistsIn(run.Path(), kName));
}

TEST(SurvivalMutex, AKilledHolderLeavesItGone) {
  TempDir run;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[0]);
    SurvivalMutex held(kName, run.Path());
    held.Take();
    const char byte = 1;
    if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::close(ready[0]);
  EXPECT_TRUE(SurvivalMutex::ExistsIn(run.Path(), kName));

  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_FALSE(SurvivalMutex::ExistsIn(run.Path(), kName));
}

TEST(SurvivalMutex, BadNamesAndFoldersGiveClearErrors) {
  EXPECT_THROW(SurvivalMutex("a/b"), ComError);
  EXPECT_THROW(SurvivalMutex(""), ComError);
  SurvivalMutex nowhere(kName, "/nonexistent/corvana-run");
  try {
    nowhere.Take();
    FAIL();
  } catch (const ComError& e) {
    EXPECT_EQ(e.Code(), kErrApplication);
    EXPECT_NE(e.Description().find("/nonexistent/corvana-run"), std::string::npos);
  }
  EXPECT_FALSE(nowhere.IsHeld());
}
