#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "suite/objectlib/ResourceServer.h"
#include "watcher/common/Utilities.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/ScrollBar.h"
#include "watcher/ui/Timer.h"
#include "watcher/ui/WindowUtilities.h"
#include "watcher/ui/testing/FakePlatform.h"

using namespace corvana;
using namespace corvana::ui;
namespace fs = std::filesystem;

namespace {

class WindowUtilitiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Folder = fs::temp_directory_path() / ("ui_resources_" + std::to_string(::getpid()));
    fs::create_directories(m_Folder);
    std::ofstream(m_Folder / "Corvana8_en.txt")
        << "Language=9\nFontName=Test Sans\nFontSize=9.5\nFontCharset=1\n"
           "SizeFactor=1.25\n4308=In New Worksheets\n4309=In a New Workbook\n";
    m_SavedServer = g_ResourceServer;
    g_ResourceServer = ResourceServer::OpenIn(m_Folder.string(), "Corvana8", "en");
  }
  void TearDown() override {
    g_ResourceServer = m_SavedServer;
    fs::remove_all(m_Folder);
  }

  fs::path m_Folder;
  std::shared_ptr<ResourceServer> m_SavedServer;
  FakePlatform m_Platform;
};

}  // namespace

TEST_F(WindowUtilitiesTest, ZOrderAndForeground) {
  Form form(m_Platform, "FormProgressSmall");
  WindowUtilities::MakeTopMost(m_Platform, form.Id());
  EXPECT_TRUE(m_Platform.TopMostState(form.Id()));
  WindowUtilities::MakeNotTopMost(m_Platform, form.Id());
  EXPECT_FALSE(m_Platform.TopMostState(form.Id()));
  EXPECT_EQ(m_Platform.CallsOf("SetTopMost").size(), 2u);

  std::int32_t savedPid = g_WatcherProcessID;
  g_WatcherProcessID = 777;
  m_Platform.SetForeground(9001, 777);
  EXPECT_TRUE(WindowUtilities::IsOwnProcessForeground(m_Platform));
  m_Platform.SetForeground(9002, 31337);  // the spreadsheet's window
  EXPECT_FALSE(WindowUtilities::IsOwnProcessForeground(m_Platform));
  m_Platform.SetForeground(0, 0);
  EXPECT_FALSE(WindowUtilities::IsOwnProcessForeground(m_Platform));
  g_WatcherProcessID = savedPid;
}

TEST_F(WindowUtilitiesTest, CopyGridJoinsCellsWithTabsAndRowsWithCR) {
  Grid grid("SGGridPopulation");
  grid.AddColumn("A", 1000);
  grid.AddColumn("B", 1000);
  grid.LoadText("1\t2\r3\t\r");
  WindowUtilities::CopyGridToClipboard(m_Platform, grid);
  EXPECT_EQ(m_Platform.ClipboardText(), "1\t2\r3\t");
  grid.LoadText("");
  WindowUtilities::CopyGridToClipboard(m_Platform, grid);
  EXPECT_EQ(m_Platform.ClipboardText(), "");
}

TEST_F(WindowUtilitiesTest, CopyGridLeadsEachRowWithItsCaption) {
  Grid grid("SGGridSummary");
  grid.AddColumn("Value", 1000);
  grid.AddColumn("Trial", 1000);
  grid.LoadText("10\t4\r8\t2\r7\t1\r");
  grid.SetRowHeaders({"Best", "Last"});  // fewer captions than rows: the rest copy empty
  WindowUtilities::CopyGridToClipboard(m_Platform, grid);
  EXPECT_EQ(m_Platform.ClipboardText(), "Best\t10\t4\rLast\t8\t2\r\t7\t1");
}

TEST_F(WindowUtilitiesTest, ReportPlacementComboTakesResourceTexts) {
  ComboBox combo("ComboReportPlacement");
  combo.AddItem("stale");
  WindowUtilities::FillReportPlacementCombo(combo);
  EXPECT_EQ(combo.Items(), (std::vector<std::string>{"In New Worksheets", "In a New Workbook"}));
  EXPECT_EQ(combo.ListIndex(), 0);

  g_ResourceServer.reset();  // without a server the helper traps the error and leaves the list empty
  EXPECT_NO_THROW(WindowUtilities::FillReportPlacementCombo(combo));
  EXPECT_EQ(combo.ListCount(), 0);
}

TEST_F(WindowUtilitiesTest, LocalizationAppliesTheServersFontOnlyWhereThereIsOne) {
  Form form(m_Platform, "FormProgress");
  auto& label = form.Add<Label>("LabelProgressStatus");
  auto& scroll = form.Add<ScrollBar>("ScrollCrossover");
  auto& grid = form.Add<Grid>("SGGridSummary");
  WindowUtilities::ApplyFormLocalization(form);
  EXPECT_EQ(label.GetFont().Name, "Test Sans");
  EXPECT_DOUBLE_EQ(label.GetFont().Size, 9.5);
  EXPECT_EQ(label.GetFont().Charset, 1);
  EXPECT_EQ(grid.GetFont().Name, "Test Sans");
  EXPECT_EQ(scroll.GetFont().Name, "");

  Grid other("SGGridLog");
  WindowUtilities::StyleGrid(other);
  EXPECT_EQ(other.Style().RowHeight, 275);
  EXPECT_EQ(other.Style().MinColumnWidth, 150);
  EXPECT_EQ(other.GetFont().Name, "Test Sans");
}

TEST_F(WindowUtilitiesTest, ScaleFormSizeAndIcon) {
  Form form(m_Platform, "FormProgress");
  form.Move(0, 0, 8000, 6000);
  WindowUtilities::ScaleFormSize(form, nullptr, true, false);
  EXPECT_EQ(form.Width(), 10000);
  EXPECT_EQ(form.Height(), 6000);
  WindowUtilities::ScaleFormSize(form, g_ResourceServer.get(), false, true);
  EXPECT_EQ(form.Height(), 7500);

  form.SetOwnerWindow(4242);
  WindowUtilities::SetFormIcon(form);
  EXPECT_EQ(form.IconKey(), "ProgressIcon");
  auto icons = m_Platform.CallsOf("SetWindowIcon");
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(icons[0].Window, form.Id());
  EXPECT_EQ(icons[1].Window, 4242u);
}

TEST_F(WindowUtilitiesTest, AdjustGridColumnsKeepsColumnsInsideTheGrid) {
  Grid grid("SGGridSummary");
  grid.Move(100, 100, 6000, 2000);
  for (int i = 0; i < 4; ++i) grid.AddColumn("C" + std::to_string(i), 3000);
  WindowUtilities::AdjustGridColumns(grid, 5000);
  int total = 0;
  for (const auto& column : grid.Columns()) total += column.Width;
  EXPECT_LE(total, 6000);
  EXPECT_GT(total, 5000);

  // Few narrow columns widen to share the room, never past the value.
  Grid wide("SGGridConstraintSolver");
  wide.Move(0, 0, 20000, 2000);
  wide.AddColumn("A", 800);
  wide.AddColumn("B", 800);
  WindowUtilities::AdjustGridColumns(wide, 5000);
  EXPECT_EQ(wide.Column(0).Width, 5000);

  // Too many columns to fit stop at the minimum width and scroll.
  Grid many("SGGridPopulation");
  many.Move(0, 0, 3000, 2000);
  for (int i = 0; i < 100; ++i) many.AddColumn("G", 1000);
  WindowUtilities::AdjustGridColumns(many, 5000);
  EXPECT_EQ(many.Column(99).Width, many.Style().MinColumnWidth);
}
