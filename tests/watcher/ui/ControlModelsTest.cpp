#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/ComError.h"
#include "watcher/ui/CheckBox.h"
#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/PictureBox.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/ProgressBar.h"
#include "watcher/ui/ScrollBar.h"
#include "watcher/ui/TabControl.h"
#include "watcher/ui/TextBox.h"
#include "watcher/ui/testing/CountingGridSource.h"

using namespace corvana;
using namespace corvana::ui;

namespace {

class FailingSource : public IsgGridDataSource {
 public:
  std::int32_t IsgGridDataSource_GetRowCount() override { throw ComError(kErrApplication, "src", "no log"); }
  void IsgGridDataSource_GetRowData(std::int32_t, std::int32_t, std::vector<Variant>&) override {
    throw ComError(kErrApplication, "src", "no log");
  }
};

}  // namespace

TEST(ControlModels, ObserverSeesEachRealChangeOnce) {
  TextBox box("TextCrossover");
  std::vector<std::string> seen;
  box.SetObserver([&](Control&, std::string_view property) { seen.emplace_back(property); });
  box.SetText("0.5");
  box.SetText("0.5");  // unchanged: nothing to mirror
  box.SetVisible(false);
  box.Move(10, 20, 300, 200);
  box.Move(10, 20, 300, 200);
  EXPECT_EQ(seen, (std::vector<std::string>{"Text", "Visible", "Geometry"}));
}

TEST(ControlModels, EventsFireForCodeChangesAndUserActionsRespectState) {
  // Code changes raise the change events too, which is why forms hold an ignore flag meanwhile.
  CheckBox check("CheckFixSeed");
  int clicks = 0;
  check.Click = [&] { ++clicks; };
  check.SetValue(kChecked);
  check.SetValue(kChecked);
  EXPECT_EQ(clicks, 1);
  EXPECT_THROW(check.SetValue(3), ComError);
  check.SetEnabled(false);
  check.UserClick();
  EXPECT_TRUE(check.Checked());
  check.SetEnabled(true);
  check.UserClick();
  EXPECT_FALSE(check.Checked());
  EXPECT_EQ(clicks, 2);

  TextBox box("TextMutation");
  int changes = 0;
  box.Change = [&] { ++changes; };
  box.SetLocked(true);
  box.UserSetText("typed");
  EXPECT_EQ(box.Text(), "");
  box.SetLocked(false);
  box.UserSetText("typed");
  EXPECT_EQ(changes, 1);
  int lastKey = -1;
  box.KeyPress = [&](int& key) { lastKey = key; };
  box.UserKeyPress(13);
  EXPECT_EQ(lastKey, 13);
}

TEST(ControlModels, ComboBoxSelection) {
  ComboBox combo("ComboLogType");
  int clicks = 0;
  combo.Click = [&] { ++clicks; };
  EXPECT_EQ(combo.Text(), "");
  combo.AddItem("All trials");
  combo.AddItem("Progress steps");
  combo.SetListIndex(1);
  EXPECT_EQ(combo.Text(), "Progress steps");
  EXPECT_THROW(combo.SetListIndex(2), ComError);
  EXPECT_THROW(combo.List(5), ComError);
  combo.UserSelect(7);  // not an entry: nothing happens
  EXPECT_EQ(combo.ListIndex(), 1);
  combo.Clear();
  EXPECT_EQ(combo.ListIndex(), -1);
  EXPECT_EQ(clicks, 2);
}

TEST(ControlModels, TabControlUserCannotSelectUnavailableTabs) {
  TabControl tabs("TabMain", 7);
  std::vector<int> previous;
  tabs.Click = [&](int p) { previous.push_back(p); };
  tabs.SetItemEnabled(6, false);
  tabs.SetItemVisible(3, false);
  EXPECT_FALSE(tabs.UserSelect(6));
  EXPECT_FALSE(tabs.UserSelect(3));
  EXPECT_FALSE(tabs.UserSelect(9));
  EXPECT_TRUE(tabs.UserSelect(2));
  tabs.SetSelectedIndex(6);  // code may select a disabled tab (the stopping configuration does)
  EXPECT_EQ(tabs.SelectedIndex(), 6);
  EXPECT_EQ(previous, (std::vector<int>{0, 2}));
  EXPECT_THROW(tabs.SetSelectedIndex(7), ComError);
  EXPECT_THROW(tabs.Item(-1), ComError);
  tabs.SetItemCount(3);
  EXPECT_EQ(tabs.SelectedIndex(), 2);
}

TEST(ControlModels, ScrollBarChangeAndScroll) {
  ScrollBar bar("ScrollCrossover");
  bar.SetMin(0);
  bar.SetMax(100);
  int changes = 0, scrolls = 0;
  bar.Change = [&] { ++changes; };
  bar.Scroll = [&] { ++scrolls; };
  EXPECT_THROW(bar.SetValue(101), ComError);
  bar.UserScroll(40);
  bar.UserScroll(45);
  bar.UserEndScroll();
  EXPECT_EQ(scrolls, 2);
  EXPECT_EQ(changes, 1);
  bar.UserSetValue(1000);  // clamped like a real thumb
  EXPECT_EQ(bar.Value(), 100);
  bar.SetMax(50);  // the value follows a shrinking range
  EXPECT_EQ(bar.Value(), 50);
  EXPECT_EQ(changes, 3);
}

TEST(ControlModels, ProgressBarAndPictureBoxClampBadValues) {
  ProgressBar bar("ProgressBar");
  bar.SetValue(150);
  EXPECT_DOUBLE_EQ(bar.Fraction(), 1.0);
  bar.SetValue(std::nan(""));
  EXPECT_DOUBLE_EQ(bar.Value(), 0);
  bar.SetMax(0);  // Max = Min: nothing filled, no division by zero
  EXPECT_DOUBLE_EQ(bar.Fraction(), 0);

  PictureBox picture("PopulationColorGraph");
  picture.Move(0, 0, 3000, 1500);
  EXPECT_EQ(picture.ScaleWidth(), 3000);
  picture.SetScaleSize(256, 128);
  EXPECT_EQ(picture.ScaleHeight(), 128);
  EXPECT_THROW(picture.SetScaleSize(0, 10), ComError);
  picture.FillRect(0, 0, 0, 5, QBColor(12));  // empty: not drawn
  picture.FillRect(0, 0, 4, 5, QBColor(12));
  ASSERT_EQ(picture.Rects().size(), 1u);
  EXPECT_EQ(picture.Rects()[0].Fill, (Color{255, 0, 0}));
  EXPECT_EQ(QBColor(15), (Color{255, 255, 255}));
  EXPECT_EQ(QBColor(16), (Color{0, 0, 0}));
  picture.Cls();
  EXPECT_TRUE(picture.Rects().empty());
}

TEST(ControlModels, PopupMenuKeys) {
  PopupMenu menu("ExcelUpdating");
  menu.AddItem("mnuExcelUpdating_On", "On");
  menu.AddItem("mnuExcelUpdating_Best", "Best");
  menu.AddItem("mnuExcelUpdating_Off", "Off");
  EXPECT_THROW(menu.AddItem("mnuExcelUpdating_On", "again"), ComError);
  EXPECT_THROW(menu.SetChecked("mnuNone", true), ComError);
  menu.SetChecked("mnuExcelUpdating_On", true);
  menu.CheckOnly("mnuExcelUpdating_Off");
  int ticked = 0;
  for (const auto& entry : menu.Entries()) ticked += entry.Checked ? 1 : 0;
  EXPECT_EQ(ticked, 1);
  EXPECT_TRUE(menu.Entry("mnuExcelUpdating_Off").Checked);
  menu.SetItemEnabled("mnuExcelUpdating_Best", false);
  EXPECT_FALSE(menu.CanChoose("mnuExcelUpdating_Best"));
}

TEST(GridModel, LoadTextSplitsRowsAndColumns) {
  Grid grid("SGGridSummary");
  grid.LoadText("1\t2\t3\r4\t\t6\r\n7\r");
  ASSERT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.CellText(0, 2), "3");
  EXPECT_EQ(grid.CellText(1, 1), "");
  EXPECT_EQ(grid.CellText(1, 2), "6");
  EXPECT_EQ(grid.CellText(2, 0), "7");
  EXPECT_EQ(grid.CellText(2, 1), "");
  EXPECT_EQ(grid.CellText(3, 0), "");  // outside: empty, no error
  EXPECT_EQ(grid.DisplayColumnCount(), 3);
  grid.LoadText("");
  EXPECT_EQ(grid.RowCount(), 0);
  grid.AddColumn("A", 1000);
  grid.AddColumn("B", 1000);
  grid.LoadText("x\ty\tz-not-shown");
  EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"x", "y"}));
}

TEST(GridModel, VirtualSourceIsAskedOnlyForRowsRead) {
  Grid grid("SGGridLog");
  for (const char* caption : {"Trial", "Value", "Name"}) grid.AddColumn(caption, 900);
  CountingGridSource source(10'000'000);
  grid.SetDataSource(&source);
  EXPECT_EQ(grid.RowCount(), 10'000'000);
  EXPECT_TRUE(source.Asked().empty());
  grid.Move(0, 0, 5000, 255 * 10 + 275);
  grid.ScrollToLastRows();
  EXPECT_EQ(grid.TopRow(), 10'000'000 - 10);
  EXPECT_EQ(grid.RowTexts(9'999'999), (std::vector<std::string>{"10000000", "4999999.5", "r9999999"}));
  EXPECT_EQ(source.Asked(), (std::vector<std::int32_t>{9'999'999}));

  source.SetRowCount(12'000'000);
  grid.RefreshRowCount();
  EXPECT_EQ(grid.RowCount(), 12'000'000);
}

TEST(GridModel, FailingSourceShowsNothingAndDoesNotThrow) {
  Grid grid("SGGridLog");
  grid.AddColumn("Trial", 900);
  FailingSource source;
  grid.SetDataSource(&source);
  EXPECT_EQ(grid.RowCount(), 0);
  EXPECT_EQ(grid.CellText(0, 0), "");
}
