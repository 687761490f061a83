// The full window drawn by the real toolkit, offscreen: the log tab over a long log and the
// constraint-solver tab of a run with hard constraints. With CORVANA_SCREENSHOT_DIR set the
// pictures are kept there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "tests/support/QtTestSupport.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/qt/QtPlatform.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

class WindowScreenshot : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    corvana::test::StartApplication<QApplication>("window_screenshot_tests");
    WatcherRun::PrepareProcess();
  }

  // A run of the portfolio's shape: five assets, two hard constraints and a soft one.
  void Start(bool solver, int trials) {
    m_Run = std::make_unique<WatcherRun>(WatcherRun::Options{
        .Genes = 5,
        .GeneMaximum = 1,
        .PopulationSize = 20,
        .GeneNames = std::vector<std::string>{"Treasury bills", "Government bonds", "Corporate bonds",
                                              "Large-cap stocks", "Commodities"},
        .Constraints = {{"Total weight = 100%", 1}, {"Stocks <= 60%", 1}, {"Return >= 6%", 0}},
        .Inputs =
            [solver](WatcherManager& m) {
              m.Input_TargetCellNumberFormat = "0.00%";
              m.Input_ConstraintSolverMode = solver;
              m.Input_NumConstraints = 2;
              m.Input_ConstraintSolver_HardConstraintDescriptions =
                  Collection({Variant("Weights"), Variant("Stocks")});
              m.Input_ConstraintSolver_HardConstraintFormulas =
                  Collection({Variant("SUM(B2:B6) = 100%"), Variant("B5 <= 60%")});
            },
        .Toolkit = &m_Platform});
    double best = -1;
    for (int t = 1; t <= trials; ++t) {
      TrialLogWriter::Trial trial{
          .Genes = std::vector<double>(5),
          .Status = {t > trials / 3 ? 1.0 : 0.0, t % 4 != 0 ? 1.0 : 0.0, t % 3 != 0 ? 1.0 : 0.0},
          .ValidTrials = t - t / 3,
          .ElapsedSeconds = t / 40.0};
      for (int g = 0; g < 5; ++g) trial.Genes[g] = ((t * 37 + g * 11) % 100) / 100.0;
      trial.Values = {trial.Genes[0] + trial.Genes[1], trial.Genes[3], 0.05 + (t % 7) / 100.0};
      trial.Value = solver ? (2 - trial.Status[0] - trial.Status[1]) : 0.04 + (t % 97) / 1000.0 + t / 1e6;
      const bool better = best < 0 || (solver ? trial.Value < best : trial.Value > best);
      if (better) best = trial.Value;
      m_Run->Log().Append(std::move(trial), better);
    }
    m_Run->SendFirstTrialInfo(trials * 2, 100);
  }

  FormProgress& Full() { return m_Run->Full(); }

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
  std::unique_ptr<WatcherRun> m_Run;
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
