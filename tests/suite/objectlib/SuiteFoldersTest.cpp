#include "suite/objectlib/SuiteFolders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

using namespace corvana;
namespace fs = std::filesystem;

TEST(SuiteFolders, SuiteVariablesWinAndFoldersAreCreatedOnDemand) {
  TempDir tmp;
  ScopedEnv system("ORRENDEL_SYSTEM_DIR", tmp / "system");
  ScopedEnv log("ORRENDEL_LOG_DIR", tmp / "log/deeper");
  ScopedEnv run("ORRENDEL_RUNTIME_DIR", tmp / "run");
  EXPECT_EQ(SuiteFolders::SystemDirectory(), tmp / "system");
  EXPECT_EQ(SuiteFolders::ResourceDirectory(), tmp / "system/resources");
  EXPECT_EQ(SuiteFolders::LoggingFolder(), tmp / "log/deeper");
  EXPECT_TRUE(fs::is_directory(tmp / "log/deeper"));
  EXPECT_EQ(SuiteFolders::RuntimeDirectory(), tmp / "run");
  EXPECT_TRUE(fs::is_directory(tmp / "run"));
  EXPECT_EQ(fs::status(tmp / "run").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(SuiteFolders, XdgDefaultsApplyWithoutSuiteVariables) {
  TempDir tmp;
  fs::create_directories(tmp / "share/corvana");
  ScopedEnv system("ORRENDEL_SYSTEM_DIR", std::nullopt);
  ScopedEnv log("ORRENDEL_LOG_DIR", std::nullopt);
  ScopedEnv run("ORRENDEL_RUNTIME_DIR", std::nullopt);
  ScopedEnv dataHome("XDG_DATA_HOME", tmp / "nothing-here");
  ScopedEnv dataDirs("XDG_DATA_DIRS", tmp / "empty:" + tmp / "share");
  ScopedEnv state("XDG_STATE_HOME", tmp / "state");
  ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.Path());
  // The first data folder that holds the suite wins.
  EXPECT_EQ(SuiteFolders::SystemDirectory(), tmp / "share/corvana");
  EXPECT_EQ(SuiteFolders::LoggingFolder(), tmp / "state/corvana/log");
  EXPECT_EQ(SuiteFolders::RuntimeDirectory(), tmp / "corvana");
  EXPECT_TRUE(fs::is_directory(tmp / "corvana"));
}

TEST(SuiteFolders, RuntimeFallsBackToTmpWithoutAnXdgRuntimeFolder) {
  ScopedEnv run("ORRENDEL_RUNTIME_DIR", std::nullopt);
  ScopedEnv runtime("XDG_RUNTIME_DIR", "/nonexistent/corvana-runtime");
  EXPECT_EQ(SuiteFolders::RuntimeDirectory(), "/tmp/corvana-" + std::to_string(::getuid()));
  EXPECT_TRUE(fs::is_directory("/tmp/corvana-" + std::to_string(::getuid())));
}

TEST(SuiteFolders, ALoggingFolderThatCannotBeCreatedIsStillNamed) {
  TempDir tmp;
  const std::string blocker = tmp.Write("file", "x");
  ScopedEnv log("ORRENDEL_LOG_DIR", blocker + "/log");
  EXPECT_EQ(SuiteFolders::LoggingFolder(), blocker + "/log");
}
