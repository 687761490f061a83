// The full window drawn by the real toolkit, offscreen: the log tab over a long log and the
// constraint-solver tab of a run with hard constraints. With CORVANA_SCREENSHOT_DIR set the
// pictures are kept there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/app/ProgressWindowFactory.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/qt/QtPlatform.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

class WindowScreenshot : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "window_screenshot_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    WatcherRun::PrepareProcess();
  }

  // A run of the portfolio's shape: five assets, two hard constraints and a soft one.
  void Start(bool solver, int trials) {
    m_Manager = std::make_unique<WatcherManager>(std::make_shared<PlatformControllerServices>(m_Platform),
                                                 std::make_shared<ProgressWindowFactory>(m_Platform));
    m_Manager->Initialize();
    m_LogPath = m_Dir.filePath("trials.log").toStdString();
    const char* assets[] = {"Treasury bills", "Government bonds", "Corporate bonds", "Large-cap stocks",
                            "Commodities"};
    const char* names[] = {"Total weight = 100%", "Stocks <= 60%", "Return >= 6%"};
    const std::int32_t hard[] = {1, 1, 0}, hasValue[] = {1, 1, 1};
    std::vector<double> minimums(5, 0.0), maximums(5, 1.0);
    GdGroupSpec group{};
    group.SolvingMethod = GdMethodRecipe;
    group.GeneCount = 5;
    group.Minimums = minimums.data();
    group.Maximums = maximums.data();
    group.CrossoverRate = 0.5;
    group.MutationRate = 0.1;
    ASSERT_EQ(GdPopCreate(&group, 1, 20, GdGoalMaximize, 7, &m_Pop), 0);
    ASSERT_EQ(GdLogCreate(m_LogPath.c_str(), 1, 5, 3, names, hard, hasValue, 0, &m_Log), 0);
    GdPopSetRunStatus(m_Pop, GdRunStatusOptimizing);
    for (std::int16_t channel = 2; channel <= 21; ++channel) {
      const std::int32_t zero = 0;
      GdWriteTempData(channel, &zero, 4);
    }
    WatcherManager& m = *m_Manager;
    m.Input_PopHandle = m_Pop;
    m.Input_LogPath = m_LogPath;
    m.Input_PopulationSize = 20;
    m.Input_OptimizationEngine = 1;
    m.Input_StatisticToOptimize = 12;
    m.Input_TargetCellNumberFormat = "0.00%";
    m.Input_ConstraintSolverMode = solver;
    m.Input_NumConstraints = 2;
    for (const char* a : assets) m.Input_AllGeneNamesCol.Add(a);
    m.Input_ConstraintSolver_HardConstraintDescriptions = Collection({Variant("Weights"), Variant("Stocks")});
    m.Input_ConstraintSolver_HardConstraintFormulas =
        Collection({Variant("SUM(B2:B6) = 100%"), Variant("B5 <= 60%")});
    m.InitializeForms();

    double best = -1;
    std::vector<double> genes(5), status(3), values(3), penalties(3, 0.0);
    for (int t = 1; t <= trials; ++t) {
      for (int g = 0; g < 5; ++g) genes[g] = ((t * 37 + g * 11) % 100) / 100.0;
      status = {t > trials / 3 ? 1.0 : 0.0, t % 4 != 0 ? 1.0 : 0.0, t % 3 != 0 ? 1.0 : 0.0};
      values = {genes[0] + genes[1], genes[3], 0.05 + (t % 7) / 100.0};
      const double value = solver ? (2 - status[0] - status[1]) : 0.04 + (t % 97) / 1000.0 + t / 1e6;
      GdLogRecord record{};
      record.Kind = GdLogKindTrial;
      record.TrialNumber = t;
      record.ValueWithoutPenalties = value;
      record.ValueWithPenalties = value;
      record.ConstraintStatus = status.data();
      record.ConstraintValues = values.data();
      record.ConstraintPenalties = penalties.data();
      record.GeneValues = genes.data();
      record.Info.ElapsedSeconds = t / 40.0;
      record.Info.ValidTrialCount = t - t / 3;
      record.Info.ConstrainingValueIndex = 1;
      ASSERT_EQ(GdLogAppendRecord(m_Log, 1, &record), 0);
      const bool better = best < 0 || (solver ? value < best : value > best);
      if (better) {
        best = value;
        record.Kind = GdLogKindProgressStep;
        ASSERT_EQ(GdLogAppendRecord(m_Log, 1, &record), 0);
      }
    }
    const std::int32_t shown = trials * 2, last = 100;
    GdWriteTempData(6, &shown, 4);
    GdWriteTempData(7, &last, 4);
    const std::int16_t yes = -1;
    GdWriteTempData(8, &yes, 2);
  }

  void TearDown() override {
    if (m_Manager) m_Manager->Dispose();
    m_Manager.reset();
    if (m_Log) GdLogClose(m_Log);
    if (m_Pop) GdPopFree(m_Pop);
    ResetWatcherGlobals();
  }

  FormProgress& Full() { return dynamic_cast<FormProgress&>(*m_Manager->FullWindow()); }

  QImage Shoot(int tab, const char* file, int width = 13500, int height = 8400) {
    FormProgress& form = Full();
    form.TimerUpdate_Timer();
    form.TabMain.SetSelectedIndex(tab);
    form.TabMain_Click(0);
    form.GetForm().Show();
    form.GetForm().Move(0, 0, width, height);
    QApplication::processEvents();
    form.TimerUpdate_Timer();
    QApplication::processEvents();
    const char* keep = std::getenv("CORVANA_SCREENSHOT_DIR");
    const std::string path = keep ? std::string(keep) + "/" + file : m_Dir.filePath(file).toStdString();
    EXPECT_TRUE(m_Platform.SaveScreenshot(form.GetForm(), path));
    return QImage(QString::fromStdString(path));
  }

  QTemporaryDir m_Dir;
  ui::QtPlatform m_Platform;
  std::unique_ptr<WatcherManager> m_Manager;
  std::string m_LogPath;
  std::int32_t m_Pop = 0;
  std::int32_t m_Log = 0;
};

TEST_F(WindowScreenshot, LogTabShowsTheNewestTrials) {
  Start(false, 250000);
  const QImage shot = Shoot(FormProgress::TabLog, "watcher-log-large.png");
  ASSERT_FALSE(shot.isNull());
  FormProgress& form = Full();
  EXPECT_EQ(form.SGGridLog.RowCount(), 250000);
  EXPECT_EQ(form.SGGridLog.TopRow() + form.SGGridLog.VisibleRows(), 250000);
  EXPECT_EQ(form.SGGridLog.CellText(249999, 0), "250000");
  // Only the rows in view were read, not the log.
  EXPECT_LT(form.LogServer()->RecordsRead(), 200);
}

TEST_F(WindowScreenshot, ResizedWindowIsFilledByItsGraphsAndGrids) {
  Start(false, 20000);
  const QImage small = Shoot(FormProgress::TabLog, "watcher-log-small.png", 9000, 6500);
  const QImage large = Shoot(FormProgress::TabLog, "watcher-resized.png", 21000, 13500);
  ASSERT_FALSE(small.isNull());
  ASSERT_FALSE(large.isNull());
  EXPECT_GT(large.width(), small.width() * 2);
  FormProgress& form = Full();
  const ui::Frame& frame = *form.FrameTabMain[FormProgress::TabProgress];
  EXPECT_GT(form.OrrGraphAllTrials.Width(), frame.Width() - 600);
  EXPECT_GT(form.OrrGraphAllTrials.Height() + form.OrrGraphLastTrials.Height(), frame.Height() - 1500);
  EXPECT_GT(form.SGGridLog.Width(), frame.Width() - 600);
}

TEST_F(WindowScreenshot, ConstraintSolverTabMarksTheHardConstraints) {
  Start(true, 400);
  const QImage shot = Shoot(FormProgress::TabConstraintSolver, "watcher-constraint-solver.png");
  ASSERT_FALSE(shot.isNull());
  const ui::Grid& grid = Full().SGGridConstraintSolver;
  ASSERT_EQ(grid.RowCount(), 2);
  for (int c = 1; c <= 3; ++c) EXPECT_FALSE(grid.CellText(0, c).empty()) << c;
}

}  // namespace
}  // namespace corvana
