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
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
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

template <class Condition>
bool Within(std::chrono::milliseconds deadline, Condition condition) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return condition();
    usleep(5000);
  }
  return true;
}

class AddinWorkersProgramTest : public AddinProgramTest {
 protected:
  // Starts a long run with two workers and waits until both are up.
  pid_t StartLongRun() {
    const pid_t child = fork();
    if (child == 0) {
      setenv("ORRENDEL_LOG_DIR", (m_Dir / "log").c_str(), 1);
      setenv("ORRENDEL_RUNTIME_DIR", (m_Dir / "run").c_str(), 1);
      if (!freopen((m_Dir / "stdout").c_str(), "w", stdout) ||
          !freopen((m_Dir / "stderr").c_str(), "w", stderr))
        _exit(120);
      execl(CORVANA_ADDIN_PROGRAM, CORVANA_ADDIN_PROGRAM, "run", "--no-watcher", "--workers", "2", "--trials",
            "1000000", "--recalc-ms", "2", nullptr);
      _exit(122);
    }
    EXPECT_TRUE(Within(std::chrono::seconds(20), [&] { return ChildrenOf(child).size() == 2; }));
    return child;
  }
};

TEST_F(AddinWorkersProgramTest, KillingTheAddinEndsEveryWorkerAndLeavesNoSegment) {
  const auto before = PopulationSegments();
  const pid_t addin = StartLongRun();
  const std::vector<pid_t> workers = ChildrenOf(addin);
  ASSERT_EQ(workers.size(), 2u);
  ASSERT_TRUE(Within(std::chrono::seconds(20), [&] { return NewSegments(before).size() == 1; }));
  const std::string ours = *NewSegments(before).begin();
  kill(addin, SIGKILL);
  int status = 0;
  waitpid(addin, &status, 0);
  for (pid_t w : workers) EXPECT_TRUE(Within(std::chrono::seconds(2), [&] { return Gone(w); })) << w;
  EXPECT_TRUE(Within(std::chrono::seconds(2), [&] { return !PopulationSegments().count(ours); })) << ours;
}

TEST_F(AddinWorkersProgramTest, CtrlCStopsEveryWorkerAndFreesThePopulation) {
  const auto before = PopulationSegments();
  const pid_t addin = StartLongRun();
  const std::vector<pid_t> workers = ChildrenOf(addin);
  ASSERT_TRUE(Within(std::chrono::seconds(20), [&] { return NewSegments(before).size() == 1; }));
  const std::string ours = *NewSegments(before).begin();
  kill(addin, SIGINT);
  int status = 0;
  waitpid(addin, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
  for (pid_t w : workers) EXPECT_TRUE(Gone(w)) << w;
  EXPECT_FALSE(PopulationSegments().count(ours)) << ours;
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
