// The add-in program as a user runs it: exit codes, the result on standard output and the files it
// leaves behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

namespace {

namespace fs = std::filesystem;
using corvana::test::WaitUntil;
using namespace std::chrono_literals;

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
    fs::create_directories(m_Dir / "log");
    fs::create_directories(m_Dir / "run");
  }

  // Starts the program with private suite folders, its output to files; `fileSizeLimit` plays a
  // disk that fills up.
  void Start(QProcess& process, const QStringList& args, std::optional<rlim_t> fileSizeLimit = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORRENDEL_LOG_DIR", QString::fromStdString(m_Dir / "log"));
    environment.insert("ORRENDEL_RUNTIME_DIR", QString::fromStdString(m_Dir / "run"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QString::fromStdString(m_Dir / "stdout"));
    process.setStandardErrorFile(QString::fromStdString(m_Dir / "stderr"));
    if (fileSizeLimit)
      process.setChildProcessModifier([limit = *fileSizeLimit] {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG, as on a full disk
        const rlimit both{limit, limit};
        setrlimit(RLIMIT_FSIZE, &both);
      });
    process.start(CORVANA_ADDIN_PROGRAM, args);
  }
  Outcome Run(const QStringList& args, std::optional<rlim_t> fileSizeLimit = {}) {
    QProcess process;
    Start(process, args, fileSizeLimit);
    EXPECT_TRUE(process.waitForFinished(-1));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, ReadAll(m_Dir / "stdout"),
            ReadAll(m_Dir / "stderr")};
  }

  std::vector<fs::path> DefaultLogs() const {
    std::vector<fs::path> logs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_Dir / "log/trials", ec)) logs.push_back(entry.path());
    return logs;
  }

  TempDir m_Dir;
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
  std::ofstream(m_Dir / "taken.gdlog") << "mine";
  const struct {
    std::string Path, Before, After;
  } cases[] = {{m_Dir / "no-such-folder/t.gdlog", "The folder of the log ", " does not exist."},
               {m_Dir.Path(), "The log ", " is a folder."},
               {m_Dir / "taken.gdlog", "The log ", " already exists."}};
  for (const auto& c : cases) {
    const Outcome o =
        Run({"run", "--no-watcher", "--trials", "5", "--trial-log", QString::fromStdString(c.Path)});
    EXPECT_EQ(o.ExitCode, 2) << c.Path;
    EXPECT_EQ(o.Err, "corvana-addin: --trial-log: " + c.Before + c.Path + c.After + "\n");
    EXPECT_TRUE(o.Out.empty()) << c.Path;
  }
  EXPECT_EQ(ReadAll(m_Dir / "taken.gdlog"), "mine");
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

// The worker processes of a running add-in, as the system lists its children.
std::vector<pid_t> ChildrenOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
  std::vector<pid_t> children;
  for (pid_t child = 0; in >> child;) children.push_back(child);
  return children;
}

bool Gone(pid_t pid) {
  if (kill(pid, 0) != 0) return true;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

std::set<std::string> PopulationSegments() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator("/dev/shm"))
    if (entry.path().filename().string().find("-pop-") != std::string::npos)
      names.insert(entry.path().filename().string());
  return names;
}

// Segments in `now` that were not in `before` (other runs' stale ones may go meanwhile).
std::set<std::string> NewSegments(const std::set<std::string>& before) {
  std::set<std::string> added;
  for (const auto& name : PopulationSegments())
    if (!before.count(name)) added.insert(name);
  return added;
}

class AddinWorkersProgramTest : public AddinProgramTest {
 protected:
  // Starts a long run with two workers, waits until both and the run's population are up, and
  // returns the add-in's process id.
  pid_t StartLongRun() {
    const auto before = PopulationSegments();
    Start(m_Addin, {"run", "--no-watcher", "--workers", "2", "--trials", "1000000", "--recalc-ms", "2"});
    const pid_t addin = static_cast<pid_t>(m_Addin.processId());
    EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(addin).size() == 2; }));
    EXPECT_TRUE(WaitUntil([&] { return NewSegments(before).size() == 1; }));
    if (NewSegments(before).size() == 1) m_Segment = *NewSegments(before).begin();
    m_Workers = ChildrenOf(addin);
    return addin;
  }

  QProcess m_Addin;
  std::vector<pid_t> m_Workers;
  std::string m_Segment;
};

TEST_F(AddinWorkersProgramTest, KillingTheAddinEndsEveryWorkerAndLeavesNoSegment) {
  kill(StartLongRun(), SIGKILL);
  ASSERT_EQ(m_Workers.size(), 2u);
  ASSERT_FALSE(m_Segment.empty());
  m_Addin.waitForFinished(-1);
  for (pid_t w : m_Workers) EXPECT_TRUE(WaitUntil([&] { return Gone(w); }, 2s)) << w;
  EXPECT_TRUE(WaitUntil([&] { return !PopulationSegments().count(m_Segment); }, 2s)) << m_Segment;
}

TEST_F(AddinWorkersProgramTest, CtrlCStopsEveryWorkerAndFreesThePopulation) {
  kill(StartLongRun(), SIGINT);
  ASSERT_FALSE(m_Segment.empty());
  ASSERT_TRUE(m_Addin.waitForFinished(-1));
  EXPECT_EQ(m_Addin.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(m_Addin.exitCode(), 130);
  for (pid_t w : m_Workers) EXPECT_TRUE(Gone(w)) << w;
  EXPECT_FALSE(PopulationSegments().count(m_Segment)) << m_Segment;
  const QJsonObject result = ResultOf({0, ReadAll(m_Dir / "stdout"), ""});
  EXPECT_EQ(result["stop_reason"].toString(), "interrupted");
  EXPECT_EQ(result["workers"].toObject()["processes"].toInt(), 2);
  EXPECT_EQ(result["workers"].toObject()["lost"].toInt(), 0);
}

TEST_F(AddinWorkersProgramTest, AWorkbookWorkerIsStartedByTheAddinOnly) {
  const Outcome o = Run({"worker", "--workbook", "/tmp/model.ods"});
  EXPECT_EQ(o.ExitCode, 2);
  EXPECT_NE(o.Err.find("started by the add-in only"), std::string::npos) << o.Err;
}

}  // namespace
