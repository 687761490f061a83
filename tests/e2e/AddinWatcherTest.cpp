#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <vector>

#include "suite/gdlib/gdlib8.h"
#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/WaitUntil.h"

namespace corvana::e2e {
namespace {

// Both processes real, on a bus of the test's own. A run is long enough that only the scripted
// user (or the test) ends it.
const QStringList kLongRun = {"run", "--trials", "2000000", "--minutes", "3"};

class AddinWatcherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::StartCoreApplication("e2e"); }
  void SetUp() override {
    if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
    ASSERT_TRUE(m_Session.Ready()) << m_Session.Error().toStdString();
  }

  // Runs the add-in with a script; the script's steps are themselves checks: a step that cannot
  // complete fails the run with exit code 1.
  QJsonObject RunScript(const QString& script, QStringList args = kLongRun) {
    args << "--script" << m_Session.WriteFile("user.script", script) << "--trial-log" << LogPath();
    auto addin = m_Session.StartAddin(args);
    const QJsonObject result = E2eSession::Finish(*addin);
    m_ExitCode = addin->exitCode();
    return result;
  }
  QString LogPath() const { return m_Session.File("trials.gdlog"); }
  long TrialsInLog() {
    std::int32_t trials = 0, steps = 0;
    if (GdLogGetRecordCountsWVB(LogPath().toUtf8().constData(), &trials, &steps) != 0) return -1;
    return trials;
  }
  // The longest time between two consecutive trials of the log, in seconds.
  double LongestGap() {
    const QByteArray path = LogPath().toUtf8();
    double previous = -1, longest = 0;
    for (long n = 1, count = TrialsInLog(); n <= count; ++n) {
      std::int32_t elapsed = 0, trial = 0;
      double without = 0, with = 0, genes[64];
      GdLogRecordInfo info{};
      if (GdLogReadRecordWVB(path.constData(), n, GdLogKindTrial, &elapsed, &without, &with, &trial, nullptr,
                             nullptr, nullptr, 0, genes, 64, &info) != 0)
        break;
      if (previous >= 0) longest = std::max(longest, info.ElapsedSeconds - previous);
      previous = info.ElapsedSeconds;
    }
    return longest;
  }
  void WaitForTrials(long count) {
    test::WaitUntil([&] { return TrialsInLog() >= count; }, std::chrono::seconds(30));
  }

  E2eSession m_Session;
  int m_ExitCode = -1;
};

// Ends a run stopped by the user: the Watcher asks to be shown modally, the user clicks OK.
const QString kCloseAtEnd =
    "wait-status stopped\n"
    "wait-modal\n"
    "wait-form FormProgress\n"
    "click FormProgress CommandOK\n";

TEST_F(AddinWatcherTest, PauseThenRun) {
  const QJsonObject r = RunScript(
      "wait-trials 500\n"
      "click FormProgressSmall CommandPause\n"
      "wait-status paused\n"
      "wait-property FormProgressSmall CommandPause Pressed true\n"
      "sleep 2\n"  // the user's pause, whose length the log must show
      "click FormProgressSmall CommandRun\n"
      "wait-status running\n"
      "wait-property FormProgressSmall CommandRun Pressed true\n"
      "click FormProgressSmall CommandStop\n"
      "answer yes\n" +
      kCloseAtEnd);
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  EXPECT_TRUE(r["watcher"].toObject()["attached"].toBool());
  // No trial ran while the run was paused.
  EXPECT_GE(LongestGap(), 1.8);
  EXPECT_EQ(r["trials"].toInt(), TrialsInLog());
}

TEST_F(AddinWatcherTest, StopWhileRunningAnsweredNoThenYes) {
  const QJsonObject r = RunScript(
      "wait-trials 500\n"
      "click FormProgressSmall CommandStop\n"
      "answer no\n"
      "wait-status running\n"
      "wait-property FormProgressSmall CommandStop PictureKey Stop\n"
      "click FormProgressSmall CommandStop\n"
      "answer yes\n" +
      kCloseAtEnd);
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  EXPECT_TRUE(r["end_of_run"].toObject()["shown_to_user"].toBool());
}

TEST_F(AddinWatcherTest, StopWhilePaused) {
  const QJsonObject r = RunScript(
      "wait-trials 500\n"
      "click FormProgressSmall CommandPause\n"
      "wait-status paused\n"
      // The windows switch to their paused buttons on the Watcher's next tick.
      "wait-property FormProgressSmall CommandPause Pressed true\n"
      "click FormProgressSmall CommandStop\n"
      "answer yes\n" +
      kCloseAtEnd);
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
}

TEST_F(AddinWatcherTest, EndOfRunChoicesReachTheAddin) {
  const QJsonObject r = RunScript(
      "wait-trials 500\n"
      "click FormProgressSmall CommandStop\n"
      "answer yes\n"
      "wait-status stopped\n"
      "wait-modal\n"
      "wait-form FormProgress\n"
      "set-check FormProgress CheckRestoreOriginal on\n"
      "set-check FormProgress CheckWriteLogOfAllTrials on\n"
      "set-check FormProgress CheckGenerateOptimizationSummary on\n"
      "set-combo FormProgress ComboReportPlacement 1\n"
      "click FormProgress CommandOK\n");
  ASSERT_EQ(m_ExitCode, 0);
  const QJsonObject choices = r["end_of_run"].toObject();
  EXPECT_TRUE(choices["shown_to_user"].toBool());
  EXPECT_EQ(choices["solution_to_keep"].toInt(), -2);
  EXPECT_TRUE(choices["write_log_of_all_trials"].toBool());
  EXPECT_TRUE(choices["generate_optimization_summary"].toBool());
  EXPECT_EQ(choices["report_placement"].toInt(), 1);
  // The original solution is what stays: equal weights.
  for (const QJsonValue& weight : r["kept_solution"].toObject()) EXPECT_DOUBLE_EQ(weight.toDouble(), 0.125);
}

TEST_F(AddinWatcherTest, StopTimerRequestIsAcknowledged) {
  // The stop-timer step completes only when the Watcher has answered on its channel.
  const QJsonObject r = RunScript("wait-trials 200\nstop-timer\n", {"run", "--minutes", "0.1"});
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "time");
  // A Watcher without its timer never asks to be shown: the run ends without questions.
  EXPECT_FALSE(r["end_of_run"].toObject()["shown_to_user"].toBool());
}

TEST_F(AddinWatcherTest, InfeasibleStartAsksTheConstraintSolverQuestion) {
  // The spring's first guess breaks a hard constraint: the Watcher puts the question to the user.
  const QJsonObject r =
      RunScript("answer yes\n", {"run", "--model", "spring", "--trials", "2000", "--no-end-options"});
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_TRUE(r["constraint_solver_used"].toBool());
  EXPECT_EQ(r["trials"].toInt(), 2000);
}

TEST_F(AddinWatcherTest, SecondOptimizationIsRefusedWhileOneRuns) {
  auto first = m_Session.StartAddin(kLongRun + QStringList{"--trial-log", LogPath(), "--no-end-options"});
  WaitForTrials(100);
  ASSERT_GT(TrialsInLog(), 0);
  auto second = m_Session.StartAddin({"run", "--trials", "300", "--model", "spring"});
  const QJsonObject r = E2eSession::Finish(*second);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_FALSE(r["watcher"].toObject()["attached"].toBool());
  EXPECT_TRUE(r["watcher"].toObject()["error"].toString().contains(
      "Cannot optimize, because optimization is under way in another copy of Excel."))
      << r["watcher"].toObject()["error"].toString().toStdString();
  EXPECT_EQ(r["trials"].toInt(), 300);  // the run itself went on

  ::kill(static_cast<pid_t>(first->processId()), SIGINT);
  E2eSession::Finish(*first);
  EXPECT_EQ(first->exitCode(), 130);
}

TEST_F(AddinWatcherTest, AddinKilledEndsTheWatcherWithinTwoSeconds) {
  auto addin = m_Session.StartAddin(kLongRun + QStringList{"--trial-log", LogPath()});
  WaitForTrials(100);
  const qint64 watcher = m_Session.WatcherPid();
  ASSERT_GT(watcher, 0);
  addin->kill();
  addin->waitForFinished(5000);
  EXPECT_TRUE(E2eSession::WaitForExit(watcher, 2000));
}

TEST_F(AddinWatcherTest, WatcherKilledLetsTheAddinFinishAndReport) {
  auto addin = m_Session.StartAddin({"run", "--minutes", "0.1", "--trial-log", LogPath()});
  WaitForTrials(100);
  const qint64 watcher = m_Session.WatcherPid();
  ASSERT_GT(watcher, 0);
  ::kill(static_cast<pid_t>(watcher), SIGKILL);
  const QJsonObject r = E2eSession::Finish(*addin);
  EXPECT_EQ(addin->exitCode(), 0);
  EXPECT_EQ(r["stop_reason"].toString(), "time");
  EXPECT_TRUE(r["watcher"].toObject()["attached"].toBool());
  EXPECT_EQ(r["watcher"].toObject()["error"].toString(), "The Watcher ended during the run.");
  EXPECT_EQ(r["trials"].toInt(), TrialsInLog());
}

TEST_F(AddinWatcherTest, DiagnosticLogHoldsTheOperations) {
  QFile marker(QDir(m_Session.LogDir()).filePath("OrrendelLoggingDetail.txt"));
  ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
  marker.close();
  auto addin = m_Session.StartAddin({"run", "--trials", "20000", "--no-end-options"});
  E2eSession::Finish(*addin);
  ASSERT_EQ(addin->exitCode(), 0);
  // The Watcher writes its last lines as it disposes of the manager, then ends.
  EXPECT_TRUE(test::WaitUntil([&] { return m_Session.WatcherPid() == 0; }));
  QFile log(QDir(m_Session.LogDir()).filePath("Corvana.log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(log.readAll());
  for (const char* line :
       {"Exiting WatcherManager.Initialize", "Entering WatcherManager.InitializeForms",
        "Exiting WatcherManager.InitializeForms", "About to call GetFirstTrialInfoSentByXL",
        "WatcherManager.InitializeAfterFirstTrialIfReady: Ready", "WATCHER: entering WatcherManager.Dispose",
        "WATCHER: exiting WatcherManager.Dispose"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(line) + "\r\n")) << line;
}

TEST_F(AddinWatcherTest, InterruptStopsCleanlyAndFreesSharedMemory) {
  // Learn this suite scope's segment names from a population of our own.
  qputenv("ORRENDEL_RUNTIME_DIR", m_Session.RuntimeDir().toUtf8());
  const double low[] = {0}, high[] = {1};
  GdGroupSpec group{GdMethodRecipe, 1, low, high, 0, 0, 1, 0.5, 0.1};
  std::int32_t probe = 0;
  ASSERT_EQ(GdPopCreate(&group, 1, 4, GdGoalMaximize, 1, &probe), 0);
  QString prefix;
  for (const QString& name : QDir("/dev/shm").entryList(QDir::Files))
    if (name.endsWith(QStringLiteral("-pop-%1").arg(probe)))
      prefix = name.chopped(QString::number(probe).size());
  GdPopFree(probe);
  ASSERT_FALSE(prefix.isEmpty());

  auto addin = m_Session.StartAddin(kLongRun + QStringList{"--trial-log", LogPath()});
  WaitForTrials(1000);
  ::kill(static_cast<pid_t>(addin->processId()), SIGINT);
  const QJsonObject r = E2eSession::Finish(*addin);
  EXPECT_EQ(addin->exitCode(), 130);
  EXPECT_EQ(r["stop_reason"].toString(), "interrupted");
  EXPECT_EQ(r["trials"].toInt(), TrialsInLog());
  EXPECT_TRUE(QDir("/dev/shm").entryList({prefix + "*"}, QDir::Files).isEmpty());
}

TEST_F(AddinWatcherTest, InterruptWhileTheEndOfRunWindowIsOpenClosesIt) {
  // The user stops the run and then leaves the end-of-run window open; Ctrl-C must not hang.
  const QString script = m_Session.WriteFile("user.script",
                                             "wait-trials 300\n"
                                             "click FormProgressSmall CommandStop\n"
                                             "answer yes\n"
                                             "wait-status stopped\n"
                                             "wait-modal\n"
                                             "wait-form FormProgress\n");
  auto addin = m_Session.StartAddin(kLongRun + QStringList{"--script", script, "--trial-log", LogPath()});
  ASSERT_FALSE(addin->waitForFinished(15000)) << "the run ended without waiting for the user";
  ::kill(static_cast<pid_t>(addin->processId()), SIGINT);
  const QJsonObject r = E2eSession::Finish(*addin, 15000);
  EXPECT_EQ(addin->state(), QProcess::NotRunning);
  EXPECT_EQ(addin->exitCode(), 130);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  EXPECT_FALSE(r["end_of_run"].toObject()["shown_to_user"].toBool());
  EXPECT_EQ(r["trials"].toInt(), TrialsInLog());
}

// The add-in ends while the Watcher asks "Stop the optimization?": the question closes with its
// window, and the Watcher neither crashes nor stays behind.
TEST_F(AddinWatcherTest, AddinEndedWhileTheStopQuestionIsOpen) {
  QFile detail(QDir(m_Session.LogDir()).filePath("OrrendelLoggingDetail.txt"));
  ASSERT_TRUE(detail.open(QIODevice::WriteOnly));
  detail.close();
  // Each time the Watcher unloads its windows to the end rather than aborting under them.
  const auto unloaded = [&] {
    QFile log(QDir(m_Session.LogDir()).filePath("Corvana.log"));
    return log.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(log.readAll()).count("HideAndUnloadDialog, unloaded form")
               : -1;
  };
  for (const int signal : {SIGINT, SIGKILL}) {
    QFile::remove(QDir(m_Session.LogDir()).filePath("Corvana.log"));
    SCOPED_TRACE(signal == SIGINT ? "Ctrl-C" : "killed");
    QFile::remove(m_Session.File("asking.png"));
    // The picture is written only once the question is on screen.
    const QString script = m_Session.WriteFile("user.script",
                                               "wait-trials 300\n"
                                               "click FormProgressSmall CommandStop\n"
                                               "wait-question\n"
                                               "screenshot FormProgressSmall " +
                                                   m_Session.File("asking.png") +
                                                   "\n"
                                                   "sleep 600\n");
    const QString log = m_Session.File(QStringLiteral("trials-%1.gdlog").arg(signal));
    auto addin = m_Session.StartAddin(kLongRun + QStringList{"--script", script, "--trial-log", log});
    ASSERT_TRUE(test::WaitUntil([&] { return QFile::exists(m_Session.File("asking.png")); },
                                std::chrono::seconds(60)));
    const qint64 watcher = m_Session.WatcherPid();
    ASSERT_GT(watcher, 0);
    ::kill(static_cast<pid_t>(addin->processId()), signal);
    addin->waitForFinished(15000);
    EXPECT_EQ(addin->state(), QProcess::NotRunning);
    if (signal == SIGINT) {
      EXPECT_EQ(addin->exitCode(), 130);
    }
    EXPECT_TRUE(E2eSession::WaitForExit(watcher, 2000));
    EXPECT_EQ(unloaded(), 1);
  }
}

// Two worker processes evaluate the trials; the Watcher shows the multi-process run and steers it.
TEST_F(AddinWatcherTest, WorkerProcessesRunWatchedPausedResumedAndStopped) {
  const QJsonObject r = RunScript(
      "wait-trials 500\n"
      // The buttons wake, in colour, once the workers' first trial is under way.
      "wait-property FormProgressSmall CommandPause PictureKey Pause\n"
      "wait-property FormProgressSmall - Caption Corvana Progress (2 worker processes)\n"
      "screenshot FormProgressSmall " +
          m_Session.File("small-window-workers.png") +
          "\n"
          "click FormProgressSmall CommandPause\n"
          "wait-status paused\n"
          "wait-property FormProgressSmall CommandPause Pressed true\n"
          "click FormProgressSmall CommandRun\n"
          "wait-status running\n"
          "wait-property FormProgressSmall CommandRun Pressed true\n"
          "click FormProgressSmall CommandStop\n"
          "answer yes\n" +
          kCloseAtEnd,
      kLongRun + QStringList{"--workers", "2"});
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  EXPECT_TRUE(r["watcher"].toObject()["attached"].toBool());
  EXPECT_EQ(r["workers"].toObject()["processes"].toInt(), 2);
  EXPECT_EQ(r["workers"].toObject()["lost"].toInt(), 0);
  EXPECT_EQ(r["trials"].toInt(), TrialsInLog());
  m_Session.CheckPicture("small-window-workers.png");
}

// The log tab at the end of a run: every trial, then only the progress steps. The same seed
// repeats the run, so an unwatched run first tells how many steps there are to show.
TEST_F(AddinWatcherTest, LogTabShowsEveryTrialThenOnlyTheProgressSteps) {
  const QStringList run = {"run", "--trials", "3000", "--seed", "7"};
  auto alone = m_Session.StartAddin(run + QStringList{"--no-watcher"});
  const int steps = E2eSession::Finish(*alone)["progress_steps"].toInt();
  ASSERT_GT(steps, 1);
  const QJsonObject r = RunScript(
      "wait-status stopped\n"
      "wait-modal\n"
      "wait-form FormProgress\n"
      "select-tab FormProgress TabMain 2\n"
      "wait-property FormProgress SGGridLog RowCount 3000\n"
      "set-combo FormProgress ComboLogType 1\n"
      "wait-property FormProgress SGGridLog RowCount " +
          QString::number(steps) +
          "\n"
          "screenshot FormProgress " +
          m_Session.File("watcher-log-progress-steps.png") +
          "\n"
          "click FormProgress CommandOK\n",
      run);
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["progress_steps"].toInt(), steps);
  m_Session.CheckPicture("watcher-log-progress-steps.png");
}

// A constraint-solver run seen in the full window at its end: the solver tab marks the hard
// constraints, and the window dragged larger is filled by its grids and graphs.
TEST_F(AddinWatcherTest, ConstraintSolverRunInAResizedWindow) {
  const QJsonObject r = RunScript(
      "wait-status stopped\n"
      "wait-modal\n"
      "wait-form FormProgress\n"
      "select-tab FormProgress TabMain 5\n"
      "sleep 1\n"
      "screenshot FormProgress " +
          m_Session.File("watcher-constraint-solver-run.png") +
          "\n"
          "resize FormProgress 21000 13500\n"
          "wait-property FormProgress - Width 21000\n"
          "select-tab FormProgress TabMain 2\n"
          "sleep 1\n"
          "screenshot FormProgress " +
          m_Session.File("watcher-resized-run.png") +
          "\n"
          "click FormProgress CommandOK\n",
      {"run", "--model", "spring", "--constraint-solver", "--trials", "2000000", "--minutes", "3"});
  ASSERT_EQ(m_ExitCode, 0);
  EXPECT_EQ(r["stop_reason"].toString(), "solved");
  EXPECT_TRUE(r["constraint_solver_used"].toBool());
  const QJsonObject optimization = r["optimizations"].toArray().at(0).toObject();
  EXPECT_EQ(optimization["best_value"].toDouble(), 0);
  EXPECT_EQ(r["trials"].toInt(), TrialsInLog());
  m_Session.CheckPicture("watcher-constraint-solver-run.png");
  m_Session.CheckPicture("watcher-resized-run.png");
  // 21,000 twips at 15 to the pixel, less any frame, as the window was dragged.
  EXPECT_GT(QImage(m_Session.File("watcher-resized-run.png")).width(), 1300);
}

}  // namespace
}  // namespace corvana::e2e
