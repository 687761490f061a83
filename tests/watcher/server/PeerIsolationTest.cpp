#include <sys/stat.h>

#include <QDBusPendingCall>
#include <QFile>
#include <QTest>
#include <functional>

#include "StandAloneWatcher.h"
#include "suite/gdlib/gdlib8.h"
#include "watcher/server/BusValues.h"
#include "watcher/server/ObjectServer.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"

using namespace corvana::bus;
using namespace corvana::wire;

namespace {

const QString kManager = kWatcherManagerInterface;

class PeerIsolationTest : public StandAloneWatcherTest {
 protected:
  // The Watcher inherits an umask that would leave new files open to everyone.
  void SetUp() override {
    const mode_t saved = ::umask(0);
    StandAloneWatcherTest::SetUp();
    ::umask(saved);
  }
  // A peer starts a run with its windows, gets `method` under way on it and, once `underWay` holds,
  // leaves as a killed add-in does: another peer can then start a run in the same, still living,
  // Watcher, and the old run's windows have gone with it.
  void LeaveWhile(const char* method, const QList<QVariant>& args,
                  const std::function<bool(QDBusConnection&)>& underWay) {
    QString ownerName;
    {
      QDBusConnection owner = Connect("owner");
      ownerName = owner.name();
      const QString path = StartRun(owner, true);
      ASSERT_FALSE(path.isEmpty());
      if (QString(method) == "ShowWatcherModally") Call(owner, path, kManager, "StopTimer");
      QDBusMessage call = QDBusMessage::createMethodCall(kServiceName, path, kManager, method);
      call.setArguments(args);
      QDBusPendingCall pending = owner.asyncCall(call, INT_MAX);
      ASSERT_TRUE(QTest::qWaitFor([&] { return underWay(owner); }, 10000)) << method << " did not come up";
    }
    QDBusConnection::disconnectFromBus(ownerName);

    QDBusConnection next = Connect("next");
    const QString path = Create(next, "WatcherManager");
    ASSERT_FALSE(path.isEmpty());
    QDBusMessage initialize;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          initialize = Call(next, path, kManager, "Initialize");
          return initialize.type() == QDBusMessage::ReplyMessage;
        },
        10000))
        << initialize.errorMessage().toStdString();
    EXPECT_EQ(WatcherPid(next), watcherPid) << "the Watcher was restarted";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Automation(next, "ListForms").arguments().value(0).toStringList().isEmpty(); }, 10000));
    EXPECT_EQ(watcher.state(), QProcess::Running);
  }
  static bool Refused(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ErrorMessage; }
};

// The owner ends while its question is on screen over the windows.
TEST_F(PeerIsolationTest, OwnerLeavingWhileAQuestionIsOpenDeclinesItAndFreesTheRun) {
  LeaveWhile("DisplayYesNoQueryWithHelp", {"Stop the optimization?", "", 0, false, false},
             [&](QDBusConnection& owner) {
               return !Automation(owner, "ListMessageBoxes").arguments().value(0).toStringList().isEmpty();
             });
}

TEST_F(PeerIsolationTest, OwnerLeavingDuringShowWatcherModallyEndsTheWindowAndTheRun) {
  LeaveWhile("ShowWatcherModally", {}, [&](QDBusConnection& owner) {
    return Automation(owner, "GetFormVisible", {"FormProgress"}).arguments().value(0).toBool();
  });
}

TEST_F(PeerIsolationTest, OnlyTheRunsOwnerMayAutomateAndScreenshotsNeverReplaceFiles) {
  QDBusConnection stranger = Connect("stranger");
  // Before any run nobody steers.
  EXPECT_EQ(Automation(client, "ListForms").errorName(),
            QString::fromStdString(corvana::wire::ErrorName(corvana::wire::kErrAccessDenied)));
  const QString path = StartRun(client, true);
  ASSERT_FALSE(path.isEmpty());
  EXPECT_EQ(Automation(client, "ListForms").type(), QDBusMessage::ReplyMessage);
  for (const auto& [method, args] : std::vector<std::pair<const char*, QList<QVariant>>>{
           {"ListForms", {}},
           {"Click", {"FormProgressSmall", "CommandStop"}},
           {"AnswerMessageBox", {"Yes"}},
           {"SaveScreenshot", {"FormProgressSmall", "/tmp/x.png"}}}) {
    const QDBusMessage refused = Automation(stranger, method, args);
    EXPECT_EQ(refused.errorName(),
              QString::fromStdString(corvana::wire::ErrorName(corvana::wire::kErrAccessDenied)))
        << method;
    EXPECT_TRUE(refused.errorMessage().contains("active WatcherManager")) << method;
  }
  EXPECT_EQ(GdPopGetRunStatus(popHandle), GdRunStatusOptimizing);

  // An existing file is left as it is; a new picture is private whatever the umask.
  const QString text = QString::fromStdString(runtimeDir + "/notes.txt");
  {
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me\n");
  }
  const QDBusMessage overwrite = Automation(client, "SaveScreenshot", {"FormProgressSmall", text});
  EXPECT_EQ(overwrite.errorName(),
            QString::fromStdString(corvana::wire::ErrorName(corvana::kErrApplication)));
  QFile kept(text);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "keep me\n");
  const QString link = QString::fromStdString(runtimeDir + "/link.png");
  ASSERT_TRUE(QFile::link(text, link));
  EXPECT_TRUE(Refused(Automation(client, "SaveScreenshot", {"FormProgressSmall", link})));

  const QString shot = QString::fromStdString(runtimeDir + "/small.png");
  ASSERT_EQ(Automation(client, "SaveScreenshot", {"FormProgressSmall", shot}).type(),
            QDBusMessage::ReplyMessage);
  struct stat status {};
  ASSERT_EQ(::stat(shot.toLocal8Bit().constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  // Its own picture it may write again.
  EXPECT_EQ(Automation(client, "SaveScreenshot", {"FormProgressSmall", shot}).type(),
            QDBusMessage::ReplyMessage);
}

TEST_F(PeerIsolationTest, APeerHoldsALimitedNumberOfObjects) {
  QStringList held;
  for (int i = 0; i < ObjectServer::kMaxObjectsPerPeer; ++i)
    held << Create(client, i % 2 ? "LogObject" : "WatcherManager");
  const QDBusMessage over = Call(client, kFactoryPath, kFactoryInterface, "CreateLogObject");
  EXPECT_EQ(over.errorName(), QString::fromStdString(corvana::wire::ErrorName(corvana::kErrApplication)));
  EXPECT_TRUE(over.errorMessage().contains(QString::number(ObjectServer::kMaxObjectsPerPeer)))
      << over.errorMessage().toStdString();
  EXPECT_TRUE(Refused(Call(client, kFactoryPath, kFactoryInterface, "CreateWatcherManager")));
  // The cap is per peer, and released objects make room again.
  QDBusConnection other = Connect("other");
  EXPECT_FALSE(Create(other, "LogObject").isEmpty());
  Call(client, held.first(), kManager, "Release");
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return Call(client, kFactoryPath, kFactoryInterface, "CreateWatcherManager").type() ==
               QDBusMessage::ReplyMessage;
      },
      5000));
}

}  // namespace
