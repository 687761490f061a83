#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>
#include <memory>

#include "tests/support/PixelCount.h"
#include "tests/support/QtTestSupport.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/CheckBox.h"
#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/GraphControl.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/PictureBox.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/ProgressBar.h"
#include "watcher/ui/ScrollBar.h"
#include "watcher/ui/TabControl.h"
#include "watcher/ui/TextBox.h"
#include "watcher/ui/Timer.h"
#include "watcher/ui/qt/ControlBinder.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/GridTableModel.h"
#include "watcher/ui/qt/QtPlatform.h"
#include "watcher/ui/testing/CountingGridSource.h"

using namespace corvana;
using namespace corvana::ui;

namespace {

// A form with one control of each kind, as a window of the program builds it.
struct TestForm {
  explicit TestForm(Platform& platform) : Window(platform, "FormTest") {
    Window.SetCaption("Corvana Watcher");
    Window.Move(600, 600, 9600 + 120, 7200 + 420);
    auto& tabs = Window.Add<TabControl>("TabMain", 3);
    tabs.Move(120, 60, 9360, 360);
    for (int i = 0; i < 3; ++i) tabs.SetItemCaption(i, "Tab " + std::to_string(i));
    tabs.SetItemEnabled(2, false);
    auto& frame = Window.Add<Frame>("FrameTabMain(0)");
    frame.Move(120, 480, 9360, 5400);
    frame.SetBorderVisible(false);
    InFrame<Label>("LabelProgressStatus", 120, 120, 4200, 300).SetCaption("Optimizing");
    InFrame<TextBox>("TextCrossover", 4440, 120, 1200, 315);
    InFrame<CheckBox>("CheckFixSeed", 5760, 120, 2400, 315).SetCaption("Fix seed");
    auto& combo = InFrame<ComboBox>("ComboLogType", 120, 540, 2400, 315);
    combo.AddItem("All trials");
    combo.AddItem("Progress steps");
    combo.SetListIndex(0);
    InFrame<ScrollBar>("ScrollMutation", 2640, 540, 2400, 255).SetMax(100);
    InFrame<ProgressBar>("ProgressBar", 5160, 540, 4000, 300).SetValue(60);
    auto& grid = InFrame<Grid>("SGGridSummary", 120, 960, 4400, 1400);
    grid.AddColumn("Cell A", 1400);
    grid.AddColumn("Cell B", 1400);
    grid.SetRowHeaders({"Best", "Original", "Last"});
    grid.LoadText("1\t2\r3\t4\r5\t6");
    auto& log = InFrame<Grid>("SGGridLog", 4640, 960, 4500, 1400);
    log.AddColumn("Trial", 1500);
    log.AddColumn("Value", 1500);
    auto& picture = InFrame<PictureBox>("PopulationColorGraph", 120, 2480, 2400, 2400);
    picture.SetScaleSize(2, 2);
    picture.FillRect(0, 0, 1, 1, QBColor(12));
    picture.FillRect(1, 0, 1, 1, QBColor(9));
    picture.FillRect(0, 1, 2, 1, QBColor(14));
    Graph = std::make_shared<OGrGraph>();
    Graph->SetTitleText("Best value\nall trials");
    Graph->SetData({0, 10, 30, 60}, {5, 7, 7.5, 9});
    InFrame<GraphControl>("OrrGraphAllTrials", 2640, 2480, 6500, 2800).SetGraph(Graph);
    auto& run = Window.Add<Button>("CommandRun");
    run.Move(120, 6000, 1500, 600);
    run.SetPictureKey(PictureKeys::kRun);
    run.SetCaption("Run");
    auto& stop = Window.Add<Button>("CommandStop");
    stop.Move(1740, 6000, 1500, 600);
    stop.SetPictureKey(GreyPicture(PictureKeys::kStop));
    stop.SetCaption("Stop");
    Window.Add<Timer>("TimerUpdate", 20, false);
    Window.Add<PopupMenu>("GridPopup").AddItem("mnuGridPopup_Copy", "Copy");
  }
  // A control of the tab's frame, in its place there.
  template <class C>
  C& InFrame(const char* name, int left, int top, int width, int height) {
    auto& control = Window.Add<C>(name);
    control.SetContainer("FrameTabMain(0)");
    control.Move(left, top, width, height);
    return control;
  }

  Form Window;
  std::shared_ptr<OGrGraph> Graph;
};

class QtBinder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { corvana::test::StartApplication<QApplication>("watcher_ui_qt_tests"); }
  void SetUp() override {
    const char* help = std::getenv("CORVANA_HELP_SOURCE");
    m_Platform = std::make_unique<QtPlatform>(help ? QString(help) : QString());
    m_Form = std::make_unique<TestForm>(*m_Platform);
  }
  void TearDown() override {
    m_Form.reset();
    m_Platform.reset();
  }
  template <class W>
  W* Widget(const char* name) {
    QWidget* widget = m_Platform->Binder(m_Form->Window)->WidgetFor(name);
    if (auto* direct = qobject_cast<W*>(widget)) return direct;
    return widget ? widget->findChild<W*>() : nullptr;  // a grid is a view inside a box
  }

  std::unique_ptr<QtPlatform> m_Platform;
  std::unique_ptr<TestForm> m_Form;
};

}  // namespace

TEST_F(QtBinder, WidgetsMirrorTheModels) {
  Form& form = m_Form->Window;
  form.Show();
  QApplication::processEvents();
  auto* window = m_Platform->Binder(form)->Window();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Corvana Watcher");
  const int tpp = m_Platform->TwipsPerPixelX();
  EXPECT_EQ(window->width(), 9600 / tpp);

  auto* label = Widget<QLabel>("LabelProgressStatus");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->parentWidget(), Widget<QWidget>("FrameTabMain(0)"));  // placed in its frame
  EXPECT_EQ(label->geometry(), QRect(120 / tpp, 120 / tpp, 4200 / tpp, 300 / tpp));
  form.Get<Label>("LabelProgressStatus").SetCaption("Paused");
  EXPECT_EQ(label->text(), "Paused");
  form.Get<Button>("CommandRun").SetPressed(true);
  EXPECT_TRUE(Widget<QPushButton>("CommandRun")->isChecked());
  form.Get<ProgressBar>("ProgressBar").SetValue(25);
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar")->value(), 250);
  form.Get<CheckBox>("CheckFixSeed").SetVisible(false);
  EXPECT_FALSE(Widget<QCheckBox>("CheckFixSeed")->isVisibleTo(window));
  form.Get<TabControl>("TabMain").SetItemVisible(1, false);
  EXPECT_FALSE(Widget<QTabBar>("TabMain")->isTabVisible(1));
}

TEST_F(QtBinder, UserActionsReachTheModels) {
  Form& form = m_Form->Window;
  int runClicks = 0, tabClicks = 0, changes = 0, rightClicks = 0;
  form.Get<Button>("CommandRun").Click = [&] { ++runClicks; };
  form.Get<TabControl>("TabMain").Click = [&](int) { ++tabClicks; };
  form.Get<TextBox>("TextCrossover").Change = [&] { ++changes; };
  form.Get<Grid>("SGGridSummary").MouseUp = [&](int button, int, int, int) {
    rightClicks += button == kRightButton;
  };
  form.Show();
  QApplication::processEvents();

  QTest::mouseClick(Widget<QPushButton>("CommandRun"), Qt::LeftButton);
  EXPECT_EQ(runClicks, 1);
  EXPECT_FALSE(Widget<QPushButton>("CommandRun")->isChecked());  // the model decides the pressed look

  auto* tabs = Widget<QTabBar>("TabMain");
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(form.Get<TabControl>("TabMain").SelectedIndex(), 1);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());  // disabled tab
  EXPECT_EQ(form.Get<TabControl>("TabMain").SelectedIndex(), 1);
  EXPECT_EQ(tabClicks, 1);

  QTest::keyClicks(Widget<QLineEdit>("TextCrossover"), "0.7");
  EXPECT_EQ(form.Get<TextBox>("TextCrossover").Text(), "0.7");
  EXPECT_EQ(changes, 3);

  QTest::mouseClick(Widget<QCheckBox>("CheckFixSeed"), Qt::LeftButton, {}, QPoint(6, 10));  // on its box
  EXPECT_TRUE(form.Get<CheckBox>("CheckFixSeed").Checked());

  emit Widget<QComboBox>("ComboLogType")->activated(1);
  EXPECT_EQ(form.Get<ComboBox>("ComboLogType").ListIndex(), 1);

  auto* grid = Widget<QTableView>("SGGridSummary");
  QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(20, 10));
  EXPECT_EQ(rightClicks, 1);

  // The close box asks the model, which refuses while the run goes on.
  form.QueryUnload = [](bool& cancel, int mode) { cancel = mode == kUnloadFormControlMenu; };
  m_Platform->Binder(form)->Window()->close();
  QApplication::processEvents();
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(m_Platform->Binder(form)->Window()->isVisible());
}

TEST_F(QtBinder, MouseMovesOverThePictureAndFocusRequestsReachTheWidgets) {
  Form& form = m_Form->Window;
  int moves = 0, lastX = -1, lastY = -1;
  form.Get<PictureBox>("PopulationColorGraph").MouseMove = [&](int, int, int x, int y) {
    ++moves;
    lastX = x;
    lastY = y;
  };
  form.Show();
  m_Platform->Binder(form)->Window()->activateWindow();
  QApplication::processEvents();
  const int tpp = m_Platform->TwipsPerPixelX();
  QTest::mouseMove(Widget<QWidget>("PopulationColorGraph"), QPoint(40, 30));  // no button held
  QApplication::processEvents();
  EXPECT_GE(moves, 1);
  EXPECT_EQ(lastX, 40 * tpp);
  EXPECT_EQ(lastY, 30 * m_Platform->TwipsPerPixelY());

  form.Get<Grid>("SGGridSummary").SetFocus();
  QApplication::processEvents();
  QWidget* focused = QApplication::focusWidget();
  ASSERT_NE(focused, nullptr);
  EXPECT_TRUE(focused == Widget<QWidget>("SGGridSummary") ||
              Widget<QWidget>("SGGridSummary")->isAncestorOf(focused));
}

TEST_F(QtBinder, ModalLoopsKeepTimersRunningAndDialogsCanBeAnswered) {
  Form& form = m_Form->Window;
  auto& timer = form.Get<Timer>("TimerUpdate");
  int ticks = 0;
  timer.Tick = [&] {
    if (++ticks == 3) form.Hide();
  };
  timer.SetEnabled(true);
  form.Show(ShowMode::Modal);  // returns once the timer has hidden it
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(form.Visible());
  timer.SetEnabled(false);

  QTimer::singleShot(0, [&] {
    auto open = m_Platform->OpenMessageBoxes();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].Title, "Corvana");
    EXPECT_TRUE(m_Platform->AnswerMessageBox(open[0].Id, MsgBox::kNo));
  });
  EXPECT_EQ(m_Platform->ShowMessageBox("Stop the optimization?", MsgBox::kYesNo + MsgBox::kQuestion, ""),
            MsgBox::kNo);

  form.Show();
  auto& menu = form.Get<PopupMenu>("GridPopup");
  QTimer::singleShot(0, [&] {
    ASSERT_EQ(m_Platform->OpenPopupMenu(), &menu);
    EXPECT_FALSE(m_Platform->ChoosePopupMenuKey("mnuUnknown"));
    EXPECT_TRUE(m_Platform->ChoosePopupMenuKey("mnuGridPopup_Copy"));
  });
  EXPECT_EQ(m_Platform->ShowPopupMenu(menu, form, &form.Get<Grid>("SGGridSummary"), 100, 100),
            "mnuGridPopup_Copy");

  m_Platform->ShowHelp("", 11090);
  EXPECT_TRUE(m_Platform->LastHelpPage().endsWith("/11090.html"));
}

TEST_F(QtBinder, VirtualGridAsksOnlyForDrawnRows) {
  Form& form = m_Form->Window;
  CountingGridSource source(10'000'000);
  auto& log = form.Get<Grid>("SGGridLog");
  log.SetDataSource(&source);
  form.Show();
  QApplication::processEvents();
  auto* view = Widget<QTableView>("SGGridLog");
  view->grab();  // draws the visible rows now
  const int visible = log.VisibleRows();
  EXPECT_GT(visible, 0);
  auto* model = m_Platform->Binder(form)->Binder("SGGridLog")->TableModel();
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->TotalRows(), 10'000'000);
  EXPECT_LE(source.Calls(), visible + 2);
  const auto before = source.Calls();
  log.ScrollToLastRows();
  view->grab();
  EXPECT_GT(source.Calls(), before);
  EXPECT_LE(source.Calls() - before, visible + 2);
  // The last row is drawn, whole, at the bottom.
  QModelIndex last = model->index(model->rowCount() - 1, 0);
  EXPECT_EQ(model->data(last, Qt::DisplayRole).toString(), "10000000");
  EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(last)));

  source.SetRowCount(10'000'005);  // the log grew
  log.RefreshRowCount();
  EXPECT_EQ(model->TotalRows(), 10'000'005);

  // Only the user's scrolling is an event: a window that follows new rows must tell the two apart.
  int scrolls = 0;
  log.Scroll = [&] { ++scrolls; };
  log.SetTopRow(5);
  auto* bar = view->parentWidget()->findChild<QScrollBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->value(), 5);
  EXPECT_EQ(scrolls, 0);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(scrolls, 1);
  EXPECT_EQ(log.TopRow(), 4);
  bar->setValue(2);  // as a layout clamping the view would
  EXPECT_EQ(log.TopRow(), 2);
  EXPECT_EQ(scrolls, 1);
  QWheelEvent wheel(QPointF(5, 5), view->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->viewport(), &wheel);
  EXPECT_EQ(scrolls, 2);
  EXPECT_EQ(log.TopRow(), 5);
  log.Scroll = nullptr;
  log.SetDataSource(nullptr);  // the source may go away now
}

TEST_F(QtBinder, GridCaptionsReadWholeOrFromTheirStart) {
  Form& form = m_Form->Window;
  auto& grid = form.Get<Grid>("SGGridLog");
  const QString longCaption = "Commodities index fund, emerging markets, hedged in the home currency";
  grid.ClearColumns();
  grid.AddColumn("Treasury bills", 300);
  grid.AddColumn(longCaption.toStdString(), 300);
  form.Show();
  QApplication::processEvents();
  auto* view = Widget<QTableView>("SGGridLog");
  const QFontMetrics fm(view->horizontalHeader()->font());
  // A short caption gets the room it needs, past the column's own width.
  EXPECT_GE(view->columnWidth(0), fm.horizontalAdvance("Treasury bills"));
  // A long one stays within the budget, reads from its start and is whole in its tooltip.
  EXPECT_LT(view->columnWidth(1), fm.horizontalAdvance(longCaption));
  EXPECT_GE(view->columnWidth(1), view->columnWidth(0));
  EXPECT_EQ(view->horizontalHeader()->textElideMode(), Qt::ElideRight);
  EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), longCaption);
}

TEST_F(QtBinder, ScreenshotShowsButtonsBarPictureAndGraph) {
  Form& form = m_Form->Window;
  CountingGridSource source(1000);
  form.Get<Grid>("SGGridLog").SetDataSource(&source);
  form.Show();
  QApplication::processEvents();
  form.Get<Grid>("SGGridLog").ScrollToLastRows();
  QApplication::processEvents();
  QTemporaryDir dir;
  const char* keep = std::getenv("CORVANA_SCREENSHOT_DIR");
  QString path = keep ? QString(keep) + "/test-form.png" : dir.filePath("form.png");
  ASSERT_TRUE(m_Platform->SaveScreenshot(form, path.toStdString()));
  QImage shot(path);
  ASSERT_FALSE(shot.isNull());
  FormBinder& binder = *m_Platform->Binder(form);
  // The window's caption heads the picture, in a title bar of its own.
  const int titleBar = shot.height() - binder.Window()->height();
  EXPECT_GT(titleBar, 10);
  EXPECT_EQ(shot.width(), binder.Window()->width());
  EXPECT_GT(test::CountPixelsNear(shot, QRect(0, 0, shot.width() / 2, titleBar), QColor(255, 255, 255), 60),
            20);
  auto rectOf = [&](const char* name) {
    QWidget* w = binder.WidgetFor(name);
    return QRect(w->mapTo(binder.Window(), QPoint(0, titleBar)), w->size());
  };
  // Run shows its green picture; Stop only its grey twin.
  EXPECT_GT(test::CountPixelsNear(shot, rectOf("CommandRun"), QColor(30, 160, 60), 60), 20);
  EXPECT_EQ(test::CountPixelsNear(shot, rectOf("CommandStop"), QColor(210, 40, 40), 60), 0);
  // The bar is filled on its left part only.
  QRect bar = rectOf("ProgressBar");
  QColor fill = binder.WidgetFor("ProgressBar")->palette().color(QPalette::Highlight);
  QRect left(bar.left() + 2, bar.top() + 2, bar.width() * 55 / 100 - 2, bar.height() - 4);
  QRect right(bar.left() + bar.width() * 65 / 100, bar.top() + 2, bar.width() * 30 / 100, bar.height() - 4);
  EXPECT_GT(test::CountPixelsNear(shot, left, fill, 100), left.width() * left.height() * 3 / 4);
  EXPECT_LT(test::CountPixelsNear(shot, right, fill, 100), right.width() * right.height() / 10);
  // The picture box's palette cells, in their places.
  QRect picture = rectOf("PopulationColorGraph");
  EXPECT_GT(test::CountPixelsNear(shot, QRect(picture.topLeft(), picture.size() / 2), QColor(255, 0, 0), 10),
            100);
  EXPECT_GT(
      test::CountPixelsNear(
          shot, QRect(picture.center().x() + 2, picture.top(), picture.width() / 2 - 2, picture.height() / 2),
          QColor(0, 0, 255), 10),
      100);
  EXPECT_GT(
      test::CountPixelsNear(
          shot, QRect(picture.left(), picture.center().y() + 2, picture.width(), picture.height() / 2 - 2),
          QColor(255, 255, 0), 10),
      100);
  // The graph drew its curve.
  EXPECT_GT(test::CountPixelsNear(shot, rectOf("OrrGraphAllTrials"), QColor(0, 70, 170), 30), 50);
  form.Get<Grid>("SGGridLog").SetDataSource(nullptr);
}
