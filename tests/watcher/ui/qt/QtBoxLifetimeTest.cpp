#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "watcher/ui/Button.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/QtPlatform.h"

using namespace corvana::ui;

namespace {

// Windows destroyed while a message box or menu is open over them: the box ends as Cancel or No,
// and nothing the window owned is freed twice (run under the sanitizers to see the difference).
class QtBoxLifetimeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "watcher_ui_qt_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }

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

  // Once `ready` holds, runs `act` from the event loop; fails the test if it never does.
  void WhenReady(std::function<bool()> ready, std::function<void()> act) {
    auto* poll = new QTimer(&m_Guard);
    auto deadline = std::make_shared<QDeadlineTimer>(5000);
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
      if (ready()) {
        poll->deleteLater();
        act();
      } else if (deadline->hasExpired()) {
        poll->deleteLater();
        ADD_FAILURE() << "the box or menu never came up";
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) menu->close();
      }
    });
    poll->start(5);
  }
  void DestroyFormWhenABoxIsUp() {
    WhenReady([this] { return !m_Platform.OpenMessageBoxes().empty(); },
              [this] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                m_BoxParent = box ? box->parentWidget() : nullptr;
                m_Form.reset();
              });
  }

  QtPlatform m_Platform;
  QObject m_Guard;
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

}  // namespace
