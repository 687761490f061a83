#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "tests/support/QtTestSupport.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/GraphControl.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/Timer.h"
#include "watcher/ui/WindowUtilities.h"
#include "watcher/ui/qt/ButtonPictures.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/QtPlatform.h"

using namespace corvana;
using namespace corvana::ui;

namespace {

class QtPlatformTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::StartApplication<QApplication>("watcher_ui_qt_tests"); }

  // Once `ready` holds, runs `act` from the event loop. A box or menu still open after a while is
  // closed and the test fails, rather than hanging.
  void WhenReady(std::function<bool()> ready, std::function<void()> act) {
    auto* poll = new QTimer(&m_Guard);
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
      if (!ready()) return;
      poll->stop();
      act();
    });
    poll->start(5);
    QTimer::singleShot(5000, poll, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        ADD_FAILURE() << "the message box stayed open";
        box->reject();
      }
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        ADD_FAILURE() << "the menu stayed open";
        menu->close();
      }
    });
  }
  static QMessageBox* OpenBox() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }
  void WhenBoxIsUp(std::function<void(QMessageBox&)> act) {
    WhenReady([] { return OpenBox() != nullptr; }, [act] { act(*OpenBox()); });
  }

  QtPlatform m_Platform{
      QString(std::getenv("CORVANA_HELP_SOURCE") ? std::getenv("CORVANA_HELP_SOURCE") : "")};
  QObject m_Guard;
};

bool HasColour(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QColor c = image.pixelColor(x, y);
      if (c.alpha() > 0 && (std::abs(c.red() - c.green()) > 8 || std::abs(c.green() - c.blue()) > 8))
        return true;
    }
  return false;
}

}  // namespace

TEST_F(QtPlatformTest, EveryButtonPictureHasAGreyTwin) {
  for (const char* key : {PictureKeys::kRun, PictureKeys::kPause, PictureKeys::kStop,
                          PictureKeys::kNextOptimization, PictureKeys::kExcelUpdate, PictureKeys::kWatcher,
                          PictureKeys::kMinimize, PictureKeys::kHelp, PictureKeys::kProgressIcon}) {
    QImage normal = ButtonPictures::Picture(key, 24).toImage();
    QImage grey = ButtonPictures::Picture(GreyPicture(key), 24).toImage();
    ASSERT_FALSE(normal.isNull()) << key;
    EXPECT_TRUE(HasColour(normal)) << key;
    EXPECT_FALSE(HasColour(grey)) << key;
    EXPECT_NE(normal, grey) << key;
  }
  EXPECT_TRUE(ButtonPictures::Picture("NoSuchPicture", 24).isNull());
  EXPECT_FALSE(ButtonPictures::IsKnown("NoSuchPictureGrey"));
}

TEST_F(QtPlatformTest, UserResizeReachesTheModelButItsOwnMovesDoNotEcho) {
  Form form(m_Platform, "FormRate");
  form.Move(300, 300, 6000, 4500);
  int resizes = 0;
  form.Resize = [&] { ++resizes; };
  form.Show();
  QApplication::processEvents();
  EXPECT_EQ(resizes, 0);
  QWidget* window = m_Platform.Binder(form)->Window();
  window->resize(500, 400);  // the user drags the border
  QApplication::processEvents();
  const int tpp = m_Platform.TwipsPerPixelX();
  EXPECT_EQ(form.ScaleWidth(), 500 * tpp);
  EXPECT_EQ(form.ScaleHeight(), 400 * m_Platform.TwipsPerPixelY());
  EXPECT_EQ(resizes, 1);
  form.SetWidth(form.Width() + 10 * tpp);  // the program's own change fires once, not again from the window
  QApplication::processEvents();
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(window->width(), 510);
}

TEST_F(QtPlatformTest, WindowOperationsOnOwnAndForeignWindows) {
  Form form(m_Platform, "FormProgressSmall");
  form.Show();
  QApplication::processEvents();
  QWidget* window = m_Platform.Binder(form)->Window();

  WindowUtilities::MakeTopMost(m_Platform, form.Id());
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window->isVisible());  // changing the flag does not hide the window
  WindowUtilities::MakeNotTopMost(m_Platform, form.Id());
  EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);

  m_Platform.EnableWindow(form.Id(), false);
  EXPECT_FALSE(m_Platform.IsWindowEnabled(form.Id()));
  m_Platform.EnableWindow(form.Id(), true);
  EXPECT_TRUE(m_Platform.IsWindowEnabled(form.Id()));
  EXPECT_EQ(m_Platform.WindowProcessId(form.Id()), QCoreApplication::applicationPid());
  Rect rect;
  EXPECT_TRUE(m_Platform.WindowRectPixels(form.Id(), rect));
  EXPECT_GE(rect.Width, window->width());

  // Another process's window (the spreadsheet's): accepted, ignored, answered as unknown.
  const WindowId foreign = 0x5000123;
  m_Platform.EnableWindow(foreign, false);
  m_Platform.SetTopMost(foreign, true);
  EXPECT_FALSE(m_Platform.IsWindowEnabled(foreign));
  EXPECT_EQ(m_Platform.WindowProcessId(foreign), 0);
  EXPECT_FALSE(m_Platform.WindowRectPixels(foreign, rect));
  EXPECT_FALSE(m_Platform.SetForegroundWindow(foreign));
}

TEST_F(QtPlatformTest, GraphMenuMarksItsDialogWhileOpen) {
  Form form(m_Platform, "FormProgress");
  form.Move(0, 0, 9000, 7000);
  auto& control = form.Add<GraphControl>("OrrGraphAllTrials");
  control.Move(0, 0, 6000, 4000);
  auto graph = std::make_shared<OGrGraph>();
  graph->SetData({0, 1, 2}, {3, 2, 1});
  control.SetGraph(graph);
  int mouseUps = 0;
  control.MouseUp = [&](int, int, int, int) { ++mouseUps; };
  form.Show();
  QApplication::processEvents();
  QWidget* widget = m_Platform.Binder(form)->WidgetFor("OrrGraphAllTrials");

  QTest::mouseClick(widget, Qt::RightButton, {}, QPoint(50, 50));  // not enabled: no menu of its own
  EXPECT_FALSE(control.ModalDialogBeingDisplayed());
  EXPECT_EQ(mouseUps, 1);

  control.SetRightClickEnabled(true);
  bool flagWhileOpen = false;
  QTimer::singleShot(0, [&] {
    flagWhileOpen = control.ModalDialogBeingDisplayed();
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) menu->close();
  });
  QTest::mouseClick(widget, Qt::RightButton, {}, QPoint(50, 50));
  EXPECT_TRUE(flagWhileOpen);
  EXPECT_FALSE(control.ModalDialogBeingDisplayed());
}

TEST_F(QtPlatformTest, MessageBoxClosedWithoutChoiceAndTimersFollowTheirModel) {
  QTimer::singleShot(0, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
  });
  EXPECT_EQ(m_Platform.ShowMessageBox("Question", MsgBox::kYesNoCancel, "Corvana"), MsgBox::kCancel);
  EXPECT_TRUE(m_Platform.OpenMessageBoxes().empty());

  Form form(m_Platform, "FormProgress");
  auto& timer = form.Add<Timer>("TimerUpdate", 10, true);
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 10'000));
  // A Qt timer of the same interval is the clock: once it has fired a few times, the model's timer
  // would have fired too, had it been running.
  QTimer clock;
  int clockTicks = 0;
  QObject::connect(&clock, &QTimer::timeout, [&] { ++clockTicks; });
  clock.start(10);
  auto clockRunsOn = [&] {
    const int until = clockTicks + 3;
    return QTest::qWaitFor([&] { return clockTicks >= until; }, 10'000);
  };
  timer.SetEnabled(false);
  int stoppedAt = ticks;
  EXPECT_TRUE(clockRunsOn());
  EXPECT_EQ(ticks, stoppedAt);
  timer.SetInterval(0);
  timer.SetEnabled(true);  // an interval of 0 never fires
  EXPECT_TRUE(clockRunsOn());
  EXPECT_EQ(ticks, stoppedAt);
}

TEST_F(QtPlatformTest, MessageDialogShowsCaptionsInOrderAndIsAnsweredByCaption) {
  const std::vector<std::string> captions{"Help", "Yes", "No"};
  QString title;
  QStringList shown;
  std::vector<MessageBoxInfo> open;
  bool answered = false;
  WhenBoxIsUp([&](QMessageBox& box) {
    title = box.windowTitle();
    auto buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(),
              [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
    for (QAbstractButton* button : buttons) shown << button->text();
    // As the automation interface answers: the newest box, by caption.
    open = m_Platform.OpenMessageBoxes();
    if (open.empty()) return;
    const auto& boxCaptions = open.back().Captions;
    const auto yes = std::find(boxCaptions.begin(), boxCaptions.end(), "Yes");
    if (yes == boxCaptions.end()) return;
    answered = m_Platform.AnswerMessageBox(open.back().Id, static_cast<int>(yes - boxCaptions.begin()) + 1);
  });
  EXPECT_EQ(m_Platform.ShowMessageDialog("Run the solver?", captions, ""), 2);
  EXPECT_TRUE(answered);
  EXPECT_EQ(title, "Corvana");
  EXPECT_EQ(shown, (QStringList{"Help", "Yes", "No"}));
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].Text, "Run the solver?");
  EXPECT_EQ(open[0].Title, "Corvana");
  EXPECT_TRUE(m_Platform.OpenMessageBoxes().empty());

  // A standard box keeps answering by its answer codes.
  WhenBoxIsUp([&](QMessageBox&) {
    open = m_Platform.OpenMessageBoxes();
    if (!open.empty()) m_Platform.AnswerMessageBox(open.back().Id, MsgBox::kNo);
  });
  EXPECT_EQ(m_Platform.ShowMessageBox("Stop?", MsgBox::kYesNo, ""), MsgBox::kNo);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_TRUE(open[0].Captions.empty());
}

TEST_F(QtPlatformTest, MessageDialogLeftByEscapeOrClosingAnswersNoChoice) {
  const std::vector<std::string> captions{"Help", "Yes", "No"};
  bool refused = false;
  WhenBoxIsUp([&](QMessageBox& box) {
    const auto open = m_Platform.OpenMessageBoxes();
    refused = !open.empty() && !m_Platform.AnswerMessageBox(open.back().Id, 4) &&
              !m_Platform.AnswerMessageBox(open.back().Id, 0);
    QTest::keyClick(&box, Qt::Key_Escape);
  });
  EXPECT_EQ(m_Platform.ShowMessageDialog("Run the solver?", captions, "Corvana"), 0);
  EXPECT_TRUE(refused);
  WhenBoxIsUp([](QMessageBox& box) { box.close(); });
  EXPECT_EQ(m_Platform.ShowMessageDialog("Run the solver?", captions, "Corvana"), 0);
  EXPECT_TRUE(m_Platform.OpenMessageBoxes().empty());
}

TEST_F(QtPlatformTest, HelpShowsThePageOfTheContextOrANotice) {
  m_Platform.ShowHelp("Corvana.chm", 11130);
  EXPECT_TRUE(m_Platform.LastHelpPage().endsWith("11130.html"));
  EXPECT_NO_THROW(m_Platform.ShowHelp("Corvana.chm", 99999));  // no such page: a notice, no error
  EXPECT_TRUE(m_Platform.LastHelpPage().endsWith("99999.html"));
}

// Windows destroyed while a message box or menu is open over them: the box ends as Cancel or No,
// and nothing the window owned is freed twice (run under the sanitizers to see the difference).
class QtBoxLifetimeTest : public QtPlatformTest {
 protected:
  // A shown, active form, so that boxes take its window as their parent.
  void ShowForm() {
    m_Form = std::make_unique<Form>(m_Platform, "FormProgressSmall");
    m_Form->Move(600, 600, 4000, 3000);
    m_Form->Show();
    QWidget* window = m_Platform.Binder(*m_Form)->Window();
    m_Platform.SetForegroundWindow(m_Form->Id());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_EQ(QApplication::activeWindow(), window);
  }

  void DestroyFormWhenABoxIsUp() {
    WhenReady([this] { return !m_Platform.OpenMessageBoxes().empty(); },
              [this] {
                m_BoxParent = OpenBox() ? OpenBox()->parentWidget() : nullptr;
                m_Form.reset();
              });
  }

  std::unique_ptr<Form> m_Form;
  QWidget* m_BoxParent = nullptr;
};

TEST_F(QtBoxLifetimeTest, BoxesOverAWindowThatGoesEndAsCancelOrNo) {
  ShowForm();
  QWidget* window = m_Platform.Binder(*m_Form)->Window();
  DestroyFormWhenABoxIsUp();
  EXPECT_EQ(m_Platform.ShowMessageBox("Stop the optimization?", MsgBox::kYesNo, ""), MsgBox::kNo);
  EXPECT_EQ(m_BoxParent, window);  // it was the window's own box
  EXPECT_TRUE(m_Platform.OpenMessageBoxes().empty());

  ShowForm();
  DestroyFormWhenABoxIsUp();
  EXPECT_EQ(m_Platform.ShowMessageBox("Go on?", MsgBox::kYesNoCancel | MsgBox::kQuestion, ""),
            MsgBox::kCancel);

  ShowForm();
  DestroyFormWhenABoxIsUp();
  EXPECT_EQ(m_Platform.ShowMessageDialog("Run the solver?", {"Help", "Yes", "No"}, ""), 0);
  EXPECT_TRUE(m_Platform.OpenMessageBoxes().empty());

  // A box over no window at all is answered as before.
  WhenReady([this] { return !m_Platform.OpenMessageBoxes().empty(); },
            [this] { m_Platform.AnswerMessageBox(m_Platform.OpenMessageBoxes().back().Id, MsgBox::kYes); });
  EXPECT_EQ(m_Platform.ShowMessageBox("Stop the optimization?", MsgBox::kYesNo, ""), MsgBox::kYes);
}

TEST_F(QtBoxLifetimeTest, MenuOverAWindowThatGoesChoosesNothing) {
  ShowForm();
  auto& button = m_Form->Add<Button>("CommandExcelUpdate");
  button.Move(100, 100, 1000, 400);
  PopupMenu menu("mnuExcelUpdating");
  menu.AddItem("mnuExcelUpdating_On", "On");
  WhenReady([this] { return m_Platform.OpenPopupMenu() != nullptr; }, [this] { m_Form.reset(); });
  EXPECT_EQ(m_Platform.ShowPopupMenu(menu, *m_Form, &button, 0, 0), "");
  EXPECT_EQ(m_Platform.OpenPopupMenu(), nullptr);
}
