#include <QDBusPendingCall>
#include <QStringList>

#include "FakeHost.h"
#include "PrivateBus.h"
#include "suite/gdlib/gdlib8.h"
#include "tests/support/QtTestSupport.h"
#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"
#include "wire/XLWatcherChannels.h"

using namespace corvana::bus;
using namespace corvana::wire;
using corvana::test::WaitServingEvents;

namespace {

// The Watcher with its real windows, driven through the automation interface. A process holds the
// add-in's survival mutex, or the Watcher would end at its next survival check, which on a busy
// machine comes before the test's last call.
class ModalWindowTest : public PrivateBusTest {
 protected:
  bool WithAutomation() const override { return true; }
  void SetUp() override {
    PrivateBusTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));
  }

  // The reply's values; a refusal fails the test.
  QList<QVariant> Automate(const char* method, const QList<QVariant>& args = {}) {
    const QDBusMessage reply = Automation(client, method, args);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method << ": " << reply.errorMessage().toStdString();
    return reply.arguments();
  }

  corvana::test::AddinSurvivalMutex addin;
};

TEST_F(ModalWindowTest, AutomationSeesTheFormsAndRefusesUnknownNames) {
  ASSERT_FALSE(StartRun(client, true).isEmpty());
  const QStringList forms = Automate("ListForms").value(0).toStringList();
  EXPECT_TRUE(forms.contains("FormProgress")) << forms.join(",").toStdString();
  EXPECT_TRUE(forms.contains("FormProgressSmall")) << forms.join(",").toStdString();
  const QList<QVariant> controls = Automate("ListControls", {"FormProgress"});
  const QStringList names = controls.value(0).toStringList();
  EXPECT_TRUE(names.contains("CommandOK"));
  EXPECT_EQ(names.size(), controls.value(1).toStringList().size());
  EXPECT_EQ(Automate("GetFormVisible", {"NoSuchForm"}).value(0), QVariant(false));
  const QDBusMessage unknown = Automation(client, "Click", {"FormProgress", "Nothing"});
  EXPECT_EQ(unknown.errorName(), "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(unknown.errorMessage(), "The form FormProgress has no control named Nothing.");
  const QDBusMessage notClickable = Automation(client, "SetText", {"FormProgress", "CommandOK", "x"});
  EXPECT_EQ(notClickable.errorName(), "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(Automation(client, "AnswerMessageBox", {"Yes"}).errorMessage(),
            "AnswerMessageBox: no message box is open.");
}

TEST_F(ModalWindowTest, SolverQuestionIsAnsweredByCaptionAndAskedAgainAfterHelp) {
  const QString path = StartRun(client, true);
  ASSERT_FALSE(path.isEmpty());
  SetProperty(client, path, "Input_DisplayAlerts", true);
  const auto readAnswer = [] {
    std::int32_t value = 0;
    EXPECT_EQ(GdReadTempData(corvana::ChannelAskUserAboutSolver, &value, 4), 0);
    return value;
  };
  const auto openQuestions = [&] { return Automate("ListMessageBoxes").value(0).toStringList(); };
  const std::int32_t violated = 1;
  ASSERT_EQ(GdWriteTempData(corvana::ChannelAskUserAboutSolver, &violated, 4), 0);
  QStringList open;
  WaitServingEvents([&] {
    open = openQuestions();
    return !open.isEmpty();
  });
  ASSERT_EQ(open.size(), 1) << "the question did not come up";
  EXPECT_EQ(Automation(client, "AnswerMessageBox", {"OK"}).errorMessage(),
            "AnswerMessageBox: the open box has no button OK.");

  Automate("AnswerMessageBox", {"Help"});
  // Past a tick of the update timer the question is still open and unanswered.
  EXPECT_FALSE(WaitServingEvents([&] { return readAnswer() != violated; }, std::chrono::milliseconds(1500)));
  EXPECT_EQ(openQuestions(), open);
  EXPECT_EQ(readAnswer(), violated);

  Automate("AnswerMessageBox", {"yes"});
  WaitServingEvents([&] { return readAnswer() != violated; }, std::chrono::seconds(5));
  EXPECT_EQ(readAnswer(), -1);
  EXPECT_TRUE(openQuestions().isEmpty());
}

TEST_F(ModalWindowTest, ModalWindowKeepsServingAndTheWatcherEndsWithTheAddin) {
  const QString path = StartRun(client, true);
  ASSERT_FALSE(path.isEmpty());
  Call(client, path, kWatcherManagerInterface, "StopTimer");
  FakeHost host;
  ASSERT_TRUE(client.registerObject("/Host/Application", &host, QDBusConnection::ExportAllSlots));
  SetProperty(client, path, "Input_ExcelApplication",
              QVariant::fromValue(BusObjectRef{client.baseService(), QDBusObjectPath("/Host/Application")}));
  const qint64 pid = WatcherPid(client);
  QDBusMessage show =
      QDBusMessage::createMethodCall(kServiceName, path, kWatcherManagerInterface, "ShowWatcherModally");
  QDBusPendingCall pending = client.asyncCall(show, INT_MAX);
  EXPECT_FALSE(WaitServingEvents([&] { return pending.isFinished(); }, std::chrono::seconds(1)))
      << "ShowWatcherModally answered before the window was closed";
  EXPECT_EQ(Automate("GetFormVisible", {"FormProgress"}).value(0), QVariant(true));
  EXPECT_EQ(GetProperty(client, path, "Input_PopHandle"), QVariant(popHandle));  // still served
  // The host window was prepared through the host's own objects, reached by reference.
  EXPECT_EQ(host.Calls.mid(0, 3),
            (QStringList{"GetBooleanProperty 1033", "SetBooleanProperty 0", "EnableWindow 0"}));
  EXPECT_TRUE(host.Calls.contains("Run Corvana.xla!OptDoEvents")) << host.Calls.join(", ").toStdString();

  addin.Kill();
  EXPECT_GE(WaitForExit(pid, 2000), 0) << "the Watcher outlived the add-in while modal";
}

}  // namespace
