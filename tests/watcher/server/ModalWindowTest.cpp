#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include "FakeHost.h"
#include "PrivateBus.h"
#include "suite/gdlib/gdlib8.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TwoGenePopulation.h"
#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"
#include "wire/XLWatcherChannels.h"

using namespace corvana::bus;
using namespace corvana::wire;
using corvana::test::WaitServingEvents;

namespace {

// The Watcher with its real windows, driven through the automation interface.
class ModalWindowTest : public PrivateBusTest {
 protected:
  bool WithAutomation() const override { return true; }

  void SetUp() override {
    PrivateBusTest::SetUp();
    ASSERT_TRUE(corvana::test::CreateTwoGenePopulation(1, 3, &popHandle));
  }
  void TearDown() override {
    GdPopFree(popHandle);
    PrivateBusTest::TearDown();
  }
  QList<QVariant> Automation(const char* method, const QList<QVariant>& args = {}) {
    const QDBusMessage reply = Call(client, kAutomationPath, kAutomationInterface, method, args);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method << ": " << reply.errorMessage().toStdString();
    return reply.arguments();
  }
  QString StartRun() {
    const QString path = Create(client, "WatcherManager");
    SetProperty(client, path, "Input_PopHandle", popHandle);
    SetProperty(client, path, "Input_LogPath", QString::fromStdString(runtimeDir + "/none.log"));
    EXPECT_EQ(Call(client, path, kWatcherManagerInterface, "Initialize").type(), QDBusMessage::ReplyMessage);
    const QDBusMessage forms = Call(client, path, kWatcherManagerInterface, "InitializeForms");
    EXPECT_EQ(forms.type(), QDBusMessage::ReplyMessage) << forms.errorMessage().toStdString();
    return path;
  }

  std::int32_t popHandle = 0;
};

TEST_F(ModalWindowTest, AutomationSeesTheFormsAndRefusesUnknownNames) {
  // Without an add-in holding its survival mutex the Watcher ends at its next survival check, which
  // on a busy machine comes before the last call here.
  corvana::test::AddinSurvivalMutex addin;
  ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));
  StartRun();
  const QStringList forms = Automation("ListForms").value(0).toStringList();
  EXPECT_TRUE(forms.contains("FormProgress")) << forms.join(",").toStdString();
  EXPECT_TRUE(forms.contains("FormProgressSmall")) << forms.join(",").toStdString();
  const QList<QVariant> controls = Automation("ListControls", {"FormProgress"});
  const QStringList names = controls.value(0).toStringList();
  EXPECT_TRUE(names.contains("CommandOK"));
  EXPECT_EQ(names.size(), controls.value(1).toStringList().size());
  EXPECT_EQ(Automation("GetFormVisible", {"NoSuchForm"}).value(0), QVariant(false));
  const QDBusMessage unknown =
      Call(client, kAutomationPath, kAutomationInterface, "Click", {"FormProgress", "Nothing"});
  EXPECT_EQ(unknown.errorName(), "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(unknown.errorMessage(), "The form FormProgress has no control named Nothing.");
  const QDBusMessage notClickable =
      Call(client, kAutomationPath, kAutomationInterface, "SetText", {"FormProgress", "CommandOK", "x"});
  EXPECT_EQ(notClickable.errorName(), "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(Call(client, kAutomationPath, kAutomationInterface, "AnswerMessageBox", {"Yes"}).errorMessage(),
            "AnswerMessageBox: no message box is open.");
  const QString shot = QString::fromStdString(runtimeDir + "/small.png");
  Automation("SaveScreenshot", {"FormProgressSmall", shot});
  EXPECT_TRUE(QFile::exists(shot));
}

TEST_F(ModalWindowTest, SolverQuestionIsAnsweredByCaptionAndAskedAgainAfterHelp) {
  // A process holding the add-in's survival mutex, so that the Watcher's survival check keeps it.
  corvana::test::AddinSurvivalMutex addin;
  ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));
  const QString path = StartRun();
  SetProperty(client, path, "Input_DisplayAlerts", true);
  const auto readAnswer = [] {
    std::int32_t value = 0;
    EXPECT_EQ(GdReadTempData(corvana::ChannelAskUserAboutSolver, &value, 4), 0);
    return value;
  };
  const auto openQuestions = [&] { return Automation("ListMessageBoxes").value(0).toStringList(); };
  const std::int32_t violated = 1;
  ASSERT_EQ(GdWriteTempData(corvana::ChannelAskUserAboutSolver, &violated, 4), 0);
  QStringList open;
  WaitServingEvents([&] {
    open = openQuestions();
    return !open.isEmpty();
  });
  ASSERT_EQ(open.size(), 1) << "the question did not come up";
  EXPECT_EQ(Call(client, kAutomationPath, kAutomationInterface, "AnswerMessageBox", {"OK"}).errorMessage(),
            "AnswerMessageBox: the open box has no button OK.");

  Automation("AnswerMessageBox", {"Help"});
  // Past a tick of the update timer the question is still open and unanswered.
  EXPECT_FALSE(WaitServingEvents([&] { return readAnswer() != violated; }, std::chrono::milliseconds(1500)));
  EXPECT_EQ(openQuestions(), open);
  EXPECT_EQ(readAnswer(), violated);

  Automation("AnswerMessageBox", {"yes"});
  WaitServingEvents([&] { return readAnswer() != violated; }, std::chrono::seconds(5));
  EXPECT_EQ(readAnswer(), -1);
  EXPECT_TRUE(openQuestions().isEmpty());
  addin.Kill();
}

TEST_F(ModalWindowTest, ModalWindowKeepsServingAndTheWatcherEndsWithTheAddin) {
  // A process holding the add-in's survival mutex, so that the Watcher's survival check keeps it.
  corvana::test::AddinSurvivalMutex addin;
  ASSERT_TRUE(addin.Take(runtimeDir, AddinMutexName()));

  const QString path = StartRun();
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
  EXPECT_EQ(Automation("GetFormVisible", {"FormProgress"}).value(0), QVariant(true));
  EXPECT_EQ(GetProperty(client, path, "Input_PopHandle"), QVariant(popHandle));  // still served
  // The host window was prepared through the host's own objects, reached by reference.
  EXPECT_EQ(host.Calls.mid(0, 3),
            (QStringList{"GetBooleanProperty 1033", "SetBooleanProperty 0", "EnableWindow 0"}));
  EXPECT_TRUE(host.Calls.contains("Run Corvana.xla!OptDoEvents")) << host.Calls.join(", ").toStdString();

  addin.Kill();
  const qint64 took = WaitForExit(pid, 2000);
  // 100 ms polling while modal, then the 500 ms self-destruct timer.
  EXPECT_GE(took, 0) << "the Watcher outlived the add-in";
  EXPECT_LE(took, 1000);
  std::printf("Watcher ended %lld ms after the add-in while modal\n", static_cast<long long>(took));
}

}  // namespace
