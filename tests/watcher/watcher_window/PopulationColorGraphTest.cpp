#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/watcher_window/FormProgress.h"
#include "watcher/watcher_window/PopulationColorTable.h"

namespace corvana {
namespace {

TEST(PopulationColorTableTest, RangeEndsAreTheFirstAndLastColours) {
  PopulationColorTable table;
  table.Initialize(2, 4);
  table.SetRangeValue(1, 1, 0.0, 0.0, 10.0);
  table.SetRangeValue(1, 2, 10.0, 0.0, 10.0);  // step 16 is drawn as 15
  table.SetRangeValue(1, 3, 5.0, 0.0, 10.0);
  table.SetRangeValue(1, 4, -3.0, 0.0, 10.0);  // outside the range: clamped
  table.SetRangeValue(2, 1, 99.0, 0.0, 10.0);
  table.SetRangeValue(2, 2, 4.0, 4.0, 4.0);  // an empty range leaves the cell
  table.Resolve();
  EXPECT_EQ(table.Cell(1, 1), 0);
  EXPECT_EQ(table.Cell(1, 2), 15);
  EXPECT_EQ(table.Cell(1, 3), 8);
  EXPECT_EQ(table.Cell(1, 4), 0);
  EXPECT_EQ(table.Cell(2, 1), 15);
  double value = 0;
  EXPECT_FALSE(table.Value(2, 2, value));
  EXPECT_TRUE(table.Value(1, 3, value));
  EXPECT_EQ(value, 5.0);
}

TEST(PopulationColorTableTest, DistinctValuesTakeColoursInOrderOfFirstAppearanceAndWrap) {
  PopulationColorTable table;
  table.Initialize(1, 20);
  for (int k = 1; k <= 20; ++k) table.SetDistinctValue(1, k, 100.0 + k);
  EXPECT_EQ(table.Cell(1, 1), PopulationColorTable::kFromDistinctValues);
  table.Resolve();
  EXPECT_EQ(table.Cell(1, 1), 1);
  EXPECT_EQ(table.Cell(1, 15), 15);
  EXPECT_EQ(table.Cell(1, 16), 0);  // 16 Mod 16
  EXPECT_EQ(table.Cell(1, 17), 1);  // the 17th wraps
  EXPECT_EQ(table.DistinctValues(1).size(), 20u);

  // A later update keeps each value's colour; a resolved table resolves to itself.
  table.SetDistinctValue(1, 1, 117.0);
  table.SetDistinctValue(1, 2, 555.0);
  table.Resolve();
  table.Resolve();
  EXPECT_EQ(table.Cell(1, 1), 1);
  EXPECT_EQ(table.Cell(1, 2), 21 % 16);
}

TEST(PopulationColorTableTest, DistinctValuesBeyondTheListFallToColourZero) {
  PopulationColorTable table;
  table.Initialize(1, 256);
  for (int k = 1; k <= 256; ++k) table.SetDistinctValue(1, k, k);
  table.SetDistinctValue(1, 1, 1000.0);  // the 257th value
  table.Resolve();
  EXPECT_EQ(table.DistinctValues(1).size(), PopulationColorTable::kMaxDistinctValues);
  EXPECT_EQ(table.Cell(1, 1), 0);
  EXPECT_EQ(table.Cell(1, 2), 2);
}

TEST(PopulationColorTableTest, SizeIsCappedAndCellsAreDrawnInWholeUnits) {
  PopulationColorTable table;
  table.Initialize(300, 300);
  EXPECT_EQ(table.Columns(), 256);
  EXPECT_EQ(table.Rows(), 256);
  EXPECT_THROW(table.Cell(257, 1), ComError);

  table.Initialize(3, 2);
  table.SetRangeValue(2, 2, 10.0, 0.0, 10.0);
  table.Resolve();
  std::vector<ui::FilledRect> rects;
  table.Draw(1000, 301, rects);  // 333 x 150 a cell
  ASSERT_EQ(rects.size(), 6u);
  EXPECT_EQ(rects[0], (ui::FilledRect{ui::Rect{0, 0, 333, 150}, ui::QBColor(0)}));
  EXPECT_EQ(rects[3], (ui::FilledRect{ui::Rect{333, 150, 333, 150}, ui::QBColor(15)}));
  int column = 0, row = 0;
  EXPECT_TRUE(table.CellAt(340, 160, 1000, 301, column, row));
  EXPECT_EQ(column, 2);
  EXPECT_EQ(row, 2);
  EXPECT_FALSE(table.CellAt(999, 10, 1000, 301, column, row));  // right of the last cell
  table.Draw(2, 301, rects);
  EXPECT_TRUE(rects.empty());
}

// A run past the first trial with the colour-picture tab on screen.
void ShowColorTab(WatcherRun& run) {
  run.Start(8);
  ASSERT_TRUE(run.Full().TabMain.UserSelect(FormProgress::TabColorGraph));
  run.Platform.AdvanceTime(1);  // the redraw the tab change asked for
}

TEST(PopulationColorGraphTest, ComputedOnlyWhileTheTabShowsAndLogged) {
  WatcherRun run({.Genes = 4, .PopulationSize = 6});
  FormProgress& form = run.Full();
  EXPECT_EQ(form.ColorTable().Columns(), 4);
  EXPECT_EQ(form.ColorTable().Rows(), 6);

  run.Start(8);  // the first, forced refresh reads everything
  // Every gene of every organism, as the table holds it or as the engine has it.
  const auto values = [&](bool fromEngine) {
    std::vector<double> values;
    for (int c = 1; c <= 4; ++c)
      for (int k = 1; k <= 6; ++k) {
        double v = -1;
        fromEngine ? (void)GdGeneGetValue(run.PopHandle(), 1, c, k, &v)
                   : (void)form.ColorTable().Value(c, k, v);
        values.push_back(v);
      }
    return values;
  };
  const auto snapshot = [&] { return values(false); };
  const auto engine = [&] { return values(true); };
  const auto first = snapshot();
  EXPECT_EQ(first, engine());
  run.RunTrials(60);
  run.Tick();
  ASSERT_NE(engine(), first);
  EXPECT_EQ(snapshot(), first);  // tab 0 shows: nothing read
  double value = 0;

  ASSERT_TRUE(form.TabMain.UserSelect(FormProgress::TabColorGraph));
  run.NewLogLines();
  run.Tick();
  ASSERT_TRUE(form.ColorTable().Value(4, 6, value));
  EXPECT_EQ(snapshot(), engine());
  EXPECT_EQ(form.PopulationColorGraph.Rects().size(), 24u);
  bool logged = false;
  for (const auto& line : run.NewLogLines())
    logged |=
        line.rfind("Color table update time: ", 0) == 0 && line.find(" milliseconds.") != std::string::npos;
  EXPECT_TRUE(logged);
}

TEST(PopulationColorGraphTest, PaintAndResizeRedrawFromTheStoredTable) {
  WatcherRun run;
  FormProgress& form = run.Full();
  ShowColorTab(run);
  run.Tick();
  const auto before = form.PopulationColorGraph.Rects();
  double first = 0;
  ASSERT_TRUE(form.ColorTable().Value(1, 1, first));

  // The population moves on; a paint redraws what was read, without asking the engine.
  run.RunTrials(40);
  form.PopulationColorGraph.SetRects({});
  form.GetForm().BackendPaint();
  EXPECT_TRUE(form.TimerForColorGraph.Enabled());
  run.Platform.AdvanceTime(1);
  EXPECT_FALSE(form.TimerForColorGraph.Enabled());  // one-shot
  EXPECT_EQ(form.PopulationColorGraph.Rects(), before);
  double after = 0;
  ASSERT_TRUE(form.ColorTable().Value(1, 1, after));
  EXPECT_EQ(after, first);

  // A resize draws the same table at the new size.
  form.GetForm().Move(0, 0, 14000, 9000);
  form.Form_Resize();
  run.Platform.AdvanceTime(1);
  ASSERT_FALSE(form.PopulationColorGraph.Rects().empty());
  EXPECT_NE(form.PopulationColorGraph.Rects(), before);
}

TEST(PopulationColorGraphTest, TimerStaysOffWhileAnotherTabShowsOrBeforeTheFirstTrial) {
  WatcherRun run;
  FormProgress& form = run.Full();
  // Before the first trial the timer may run but draws nothing.
  form.TimerForColorGraph_Timer();
  EXPECT_TRUE(form.PopulationColorGraph.Rects().empty());

  run.Start(3);
  form.GetForm().BackendPaint();
  form.Form_Resize();
  EXPECT_FALSE(form.TimerForColorGraph.Enabled());
}

TEST(PopulationColorGraphTest, GroupsWithoutRangesAreColouredByTheirValues) {
  WatcherRun run({.Genes = 5,
                  .SolvingMethod = GdMethodOrder,
                  .PopulationSize = 4});  // each organism a permutation of 1..5
  FormProgress& form = run.Full();
  ShowColorTab(run);
  run.Tick();
  for (int column = 1; column <= 5; ++column) {
    const auto& seen = form.ColorTable().DistinctValues(column);
    for (int row = 1; row <= 4; ++row) {
      double value = 0;
      ASSERT_TRUE(form.ColorTable().Value(column, row, value));
      const auto place = std::find(seen.begin(), seen.end(), value) - seen.begin() + 1;
      EXPECT_EQ(form.ColorTable().Cell(column, row), place % 16);
    }
  }
}

TEST(PopulationColorGraphTest, ToolTipNamesTheGeneUnderTheMouse) {
  WatcherRun run({.Genes = 4});
  FormProgress& form = run.Full();
  ShowColorTab(run);
  run.Tick();
  const int cellWidth = form.PopulationColorGraph.ScaleWidth() / 4;
  const int cellHeight = form.PopulationColorGraph.ScaleHeight() / 5;
  ASSERT_TRUE(form.PopulationColorGraph.MouseMove);
  form.PopulationColorGraph.MouseMove(0, 0, cellWidth * 2 + 5, cellHeight + 5);
  double value = 0;
  ASSERT_EQ(GdGeneGetValue(run.PopHandle(), 1, 3, 2, &value), 0);
  const std::string& tip = form.PopulationColorGraph.ToolTipText();
  EXPECT_EQ(tip.rfind("Cell3: ", 0), 0u) << tip;
  form.PopulationColorGraph.MouseMove(0, 0, form.PopulationColorGraph.ScaleWidth() + 10, 5);
  EXPECT_EQ(form.PopulationColorGraph.ToolTipText(), "");
}

TEST(PopulationColorGraphTest, WideRunsShowTheFirst256GenesAndOrganisms) {
  WatcherRun run({.Genes = 300, .PopulationSize = 300});
  FormProgress& form = run.Full();
  EXPECT_EQ(form.ColorTable().Columns(), 256);
  EXPECT_EQ(form.ColorTable().Rows(), 256);
  ShowColorTab(run);
  run.Tick();
  double value = 0;
  EXPECT_TRUE(form.ColorTable().Value(256, 256, value));
}

}  // namespace
}  // namespace corvana
