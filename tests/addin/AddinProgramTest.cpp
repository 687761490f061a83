// The add-in program as a user runs it: exit codes, the result on standard output and the files it
// leaves behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class AddinProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvana-addin-program-XXXXXX";
    m_Dir = mkdtemp(pattern);
    fs::create_directories(m_Dir / "log");
    fs::create_directories(m_Dir / "run");
  }
  void TearDown() override { fs::remove_all(m_Dir); }

  // Runs the program with private suite folders; `fileSizeLimit` plays a disk that fills up.
  Outcome Run(std::vector<std::string> args, std::optional<rlim_t> fileSizeLimit = {}) {
    args.insert(args.begin(), CORVANA_ADDIN_PROGRAM);
    const fs::path out = m_Dir / "stdout", err = m_Dir / "stderr";
    const pid_t child = fork();
    if (child == 0) {
      setenv("ORRENDEL_LOG_DIR", (m_Dir / "log").c_str(), 1);
      setenv("ORRENDEL_RUNTIME_DIR", (m_Dir / "run").c_str(), 1);
      if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(120);
      if (fileSizeLimit) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG, as on a full disk
        const rlimit limit{*fileSizeLimit, *fileSizeLimit};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(121);
      }
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(122);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadAll(out), ReadAll(err)};
  }

  std::vector<fs::path> DefaultLogs() const {
    std::vector<fs::path> logs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_Dir / "log" / "trials", ec))
      logs.push_back(entry.path());
    return logs;
  }

  fs::path m_Dir;
};

QJsonObject ResultOf(const Outcome& o) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(o.Out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << o.Out << o.Err;
  return doc.object();
}

TEST_F(AddinProgramTest, DefaultLogGoesWithTheRunUnlessKept) {
  Outcome o = Run({"run", "--model", "spring", "--trials", "50", "--no-watcher"});
  ASSERT_EQ(o.ExitCode, 0) << o.Err;
  EXPECT_TRUE(ResultOf(o)["trial_log"].isNull());
  EXPECT_TRUE(DefaultLogs().empty());
  EXPECT_TRUE(fs::is_empty(m_Dir / "run")) << "large files stay out of the runtime folder";

  o = Run({"run", "--model", "spring", "--trials", "50", "--no-watcher", "--keep-log"});
  ASSERT_EQ(o.ExitCode, 0) << o.Err;
  const auto logs = DefaultLogs();
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(ResultOf(o)["trial_log"].toString().toStdString(), logs[0].string());
}

TEST_F(AddinProgramTest, UnusableTrialLogIsBadInputNamingThePath) {
  const std::string missing = (m_Dir / "no-such-folder" / "t.gdlog").string();
  Outcome o = Run({"run", "--no-watcher", "--trials", "5", "--trial-log", missing});
  EXPECT_EQ(o.ExitCode, 2);
  EXPECT_EQ(o.Err, "corvana-addin: --trial-log: The folder of the log " + missing + " does not exist.\n");
  EXPECT_TRUE(o.Out.empty());

  const std::string folder = m_Dir.string();
  o = Run({"run", "--no-watcher", "--trials", "5", "--trial-log", folder});
  EXPECT_EQ(o.ExitCode, 2);
  EXPECT_EQ(o.Err, "corvana-addin: --trial-log: The log " + folder + " is a folder.\n");

  const std::string taken = (m_Dir / "taken.gdlog").string();
  std::ofstream(taken) << "mine";
  o = Run({"run", "--no-watcher", "--trials", "5", "--trial-log", taken});
  EXPECT_EQ(o.ExitCode, 2);
  EXPECT_EQ(o.Err, "corvana-addin: --trial-log: The log " + taken + " already exists.\n");
  EXPECT_EQ(ReadAll(taken), "mine");
}

TEST_F(AddinProgramTest, FullDiskMidRunStillGivesTheBestFound) {
  const Outcome o = Run({"run", "--model", "spring", "--trials", "1000000", "--no-watcher"}, 64 * 1024);
  EXPECT_EQ(o.ExitCode, 1) << o.Err;
  const QJsonObject r = ResultOf(o);
  EXPECT_EQ(r["stop_reason"].toString(), "error");
  EXPECT_TRUE(r["error"].toString().contains("log record")) << o.Out;
  EXPECT_GT(r["trials"].toInt(), 10);
  EXPECT_LT(r["trials"].toInt(), 1000000);
  EXPECT_TRUE(r["best_solution"].isObject()) << o.Out;
  EXPECT_NE(o.Err.find("the run failed"), std::string::npos) << o.Err;
  EXPECT_TRUE(DefaultLogs().empty());
}

}  // namespace
