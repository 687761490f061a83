#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "addin/CommandLine.h"

namespace corvana::addin {
namespace {

std::string ErrorOf(const std::vector<std::string>& args) {
  try {
    CommandLine::Parse(args);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(CommandLineTest, DefaultsAndEveryOption) {
  const RunSettings d = CommandLine::Parse({"run"}).Settings;
  EXPECT_EQ(d.ModelName, "portfolio");
  EXPECT_EQ(d.Trials, RunSettings::kDefaultTrials);
  EXPECT_FALSE(d.Minutes);
  EXPECT_FALSE(d.NoWatcher);

  const RunSettings s =
      CommandLine::Parse({"run", "--model", "spring", "--trials", "500", "--minutes", "1.5", "--population",
                          "80", "--no-watcher", "--seed", "9", "--trial-log", "/tmp/x.gdlog",
                          "--no-end-options", "--constraint-solver"})
          .Settings;
  EXPECT_EQ(s.ModelName, "spring");
  EXPECT_EQ(s.Trials, 500);
  EXPECT_EQ(s.Minutes, 1.5);
  EXPECT_EQ(s.Population, 80);
  EXPECT_EQ(s.Seed, 9u);
  EXPECT_TRUE(s.NoWatcher);
  EXPECT_FALSE(s.ShowEndOptions);
  EXPECT_TRUE(s.ConstraintSolver);
  EXPECT_FALSE(d.ConstraintSolver);
  EXPECT_EQ(s.TrialLogPath, "/tmp/x.gdlog");

  // A time goal alone does not get the default trial goal added.
  EXPECT_FALSE(CommandLine::Parse({"run", "--minutes", "2"}).Settings.Trials);
  EXPECT_EQ(CommandLine::Parse({"run", "--efficient-frontier", "-0.2,-0.1,-5E-2"}).Settings.EfficientFrontier,
            (std::vector<double>{-0.2, -0.1, -0.05}));
  const RunSettings inlined =
      CommandLine::Parse({"run", "--efficient-frontier=-0.2,-0.1", "--trials=7"}).Settings;
  EXPECT_EQ(inlined.EfficientFrontier, (std::vector<double>{-0.2, -0.1}));
  EXPECT_EQ(inlined.Trials, 7);
  EXPECT_TRUE(CommandLine::Parse({"--help"}).HelpRequested);
  EXPECT_TRUE(CommandLine::Parse({"run", "--trials", "3", "-h"}).HelpRequested);
}

TEST(CommandLineTest, BadInputNamesTheCulprit) {
  EXPECT_EQ(ErrorOf({}), "missing command; the command is \"run\"");
  EXPECT_EQ(ErrorOf({"walk"}), "unknown command \"walk\"; the command is \"run\"");
  EXPECT_EQ(ErrorOf({"run", "--model", "bridge"}),
            "unknown model \"bridge\"; the models are portfolio, spring, routing, speed-reducer, "
            "pressure-vessel, rastrigin10, rastrigin30, ellipsoid10, ellipsoid30");
  EXPECT_EQ(ErrorOf({"run", "--trials", "-5"}), "--trials must be at least 1, not -5");
  EXPECT_EQ(ErrorOf({"run", "--trials", "0"}), "--trials must be at least 1, not 0");
  EXPECT_EQ(ErrorOf({"run", "--trials", "12x"}), "--trials: \"12x\" is not a whole number");
  EXPECT_EQ(ErrorOf({"run", "--trials", "99999999999999999999"}),
            "--trials: \"99999999999999999999\" is too large");
  EXPECT_EQ(ErrorOf({"run", "--seed", "-99999999999999999999"}),
            "--seed: \"-99999999999999999999\" is too small");
  EXPECT_EQ(ErrorOf({"run", "--trials", "4294967296"}),
            "--trials must be at most 2147483647, not 4294967296");
  // Range checks come before narrowing: 4294967346 must not wrap around to 50.
  EXPECT_EQ(ErrorOf({"run", "--population", "4294967346"}),
            "--population must be at most 100000, not 4294967346");
  EXPECT_EQ(ErrorOf({"run", "--population", "100001"}), "--population must be at most 100000, not 100001");
  EXPECT_EQ(ErrorOf({"run", "--trial-log", ""}), "--trial-log needs a file name, not an empty one");
  EXPECT_EQ(ErrorOf({"run", "--trial-log="}), "--trial-log needs a file name, not an empty one");
  EXPECT_EQ(ErrorOf({"run", "--progress-graph", ""}), "--progress-graph needs a file name, not an empty one");
  EXPECT_EQ(ErrorOf({"run", "--trials"}), "--trials needs a value");
  EXPECT_EQ(ErrorOf({"run", "--minutes", "0"}), "--minutes must be greater than 0, not 0");
  EXPECT_EQ(ErrorOf({"run", "--minutes", "inf"}), "--minutes: \"inf\" is not a number");
  EXPECT_EQ(ErrorOf({"run", "--population", "1"}), "--population must be at least 2, not 1");
  EXPECT_EQ(ErrorOf({"run", "--efficient-frontier", "0.1,,0.2"}),
            "--efficient-frontier: \"\" is not a number");
  EXPECT_EQ(ErrorOf({"run", "--efficient-frontier", "0.1;0.2"}),
            "--efficient-frontier: \"0.1;0.2\" is not a number");
  EXPECT_EQ(ErrorOf({"run", "--model", "routing", "--efficient-frontier", "1"}),
            "--efficient-frontier: the model \"routing\" has no constraint to vary");
  EXPECT_EQ(ErrorOf({"run", "--constraint-solver", "--efficient-frontier", "0.1,0.2"}),
            "--constraint-solver: a series optimizes each value; drop --constraint-solver or "
            "--efficient-frontier");
  EXPECT_EQ(ErrorOf({"run", "--fast"}), "unknown option \"--fast\"");
  EXPECT_EQ(ErrorOf({"run", "--no-watcher=yes"}), "--no-watcher takes no value");
  EXPECT_EQ(ErrorOf({"run", "--trials="}), "--trials: \"\" is not a whole number");
  EXPECT_EQ(ErrorOf({"run", "--script", "/nonexistent/script.txt"}),
            "--script: cannot read \"/nonexistent/script.txt\"");
}

TEST(CommandLineTest, ScriptIsCheckedBeforeTheRun) {
  char path[] = "/tmp/corvana-script-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(CommandLine::Parse({"run", "--script", path}).Settings.ScriptPath, path);
  EXPECT_EQ(ErrorOf({"run", "--script", path, "--no-watcher"}),
            "--script needs the Watcher; drop --no-watcher");
  { std::ofstream(path) << "sleep 1\njump\n"; }
  EXPECT_EQ(ErrorOf({"run", "--script", path}), "--script: line 2: unknown command \"jump\"");
  // Raw bytes are not echoed back to the terminal.
  {
    std::ofstream(path, std::ios::binary) << std::string(
        "\x7f"
        "ELF\x02\x01\x01\0\0\x1b[2J",
        13);
  }
  EXPECT_EQ(ErrorOf({"run", "--script", path}), std::string("--script: \"") + path + "\" is not a text file");
  { std::ofstream(path, std::ios::binary) << "sleep 1\nclick F \xff\xfe\n"; }
  EXPECT_EQ(ErrorOf({"run", "--script", path}), std::string("--script: \"") + path + "\" is not a text file");
  { std::ofstream(path) << "click Form\u00e9 Control # caf\u00e9\n"; }
  EXPECT_EQ(CommandLine::Parse({"run", "--script", path}).Settings.ScriptPath, path);
  std::remove(path);

  // A folder is not an empty script that would wait forever.
  EXPECT_EQ(ErrorOf({"run", "--script", "/tmp"}), "--script: \"/tmp\" is a folder, not a script");
}

}  // namespace
}  // namespace corvana::addin
