#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QThread>

#include "PrivateBus.h"
#include "tests/support/WaitUntil.h"
#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"

using namespace corvana::bus;
using namespace corvana::wire;

namespace {

const QString kManager = kWatcherManagerInterface;

QString ErrorOf(const QDBusMessage& reply) {
  return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QString("no error");
}

QVariant Ref(const QString& service, const QString& path) {
  return QVariant::fromValue(BusObjectRef{service, QDBusObjectPath(path)});
}

BusObjectRef RefFrom(const QVariant& value) {
  BusObjectRef ref;
  value.value<QDBusArgument>() >> ref;
  return ref;
}

class ObjectServerTest : public PrivateBusTest {};

TEST_F(ObjectServerTest, PropertiesOfEveryBusTypeRoundTrip) {
  const QString path = Create(client, "WatcherManager");
  ASSERT_TRUE(path.startsWith(kWatcherManagerPathPrefix));
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_DisplayAlerts", true)), "no error");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_PopHandle", 123456)), "no error");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_Runtime_Milliseconds", 2.5e6)), "no error");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_LogPath", QString("/tmp/é trials.log"))), "no error");
  const QVariantList genes{
      QVariant::fromValue(QDBusVariant(QString("A1"))),
      QVariant::fromValue(QDBusVariant(7)),
      QVariant::fromValue(QDBusVariant(2.5)),
      QVariant::fromValue(QDBusVariant(true)),
      QVariant::fromValue(QDBusVariant(QVariant::fromValue<short>(3))),
      QVariant::fromValue(QDBusVariant(QVariant::fromValue(TaggedValue{"Date", QDBusVariant(45000.5)})))};
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_AllGeneNamesCol", genes)), "no error");
  EXPECT_EQ(
      ErrorOf(SetProperty(client, path, "Input_HalvardCallbacksObject", Ref(":1.99", "/host/Callbacks"))),
      "no error");

  EXPECT_EQ(GetProperty(client, path, "Input_DisplayAlerts"), QVariant(true));
  EXPECT_EQ(GetProperty(client, path, "Input_PopHandle"), QVariant(123456));
  EXPECT_EQ(GetProperty(client, path, "Input_Runtime_Milliseconds"), QVariant(2.5e6));
  EXPECT_EQ(GetProperty(client, path, "Input_LogPath"), QVariant(QString("/tmp/é trials.log")));
  const QVariant back = GetProperty(client, path, "Input_AllGeneNamesCol");
  const auto items = corvana::bus::CollectionFromBus(back, "genes");
  ASSERT_EQ(items.Count(), 6);
  EXPECT_EQ(items.Item(1).ToString(), "A1");
  EXPECT_EQ(items.Item(2).KindCode(), 3);
  EXPECT_EQ(items.Item(3).ToDouble(), 2.5);
  EXPECT_EQ(items.Item(4).KindCode(), 11);
  EXPECT_EQ(items.Item(5).KindCode(), 2);
  EXPECT_EQ(items.Item(6).KindCode(), 7);
  const BusObjectRef ref = RefFrom(GetProperty(client, path, "Input_HalvardCallbacksObject"));
  EXPECT_EQ(ref.Service, ":1.99");
  EXPECT_EQ(ref.Path.path(), "/host/Callbacks");
  // Nothing is the empty reference ("/" on the wire).
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_HalvardCallbacksObject", Ref("", "/"))), "no error");
  EXPECT_TRUE(RefFrom(GetProperty(client, path, "Input_HalvardCallbacksObject")).IsNothing());
  EXPECT_TRUE(RefFrom(GetProperty(client, path, "Input_ExcelApplication")).IsNothing());
}

// The item limit is checked before a single item is converted: every item here is of a kind the
// Watcher refuses, so had any been converted the answer would be a type mismatch about item 1.
TEST_F(ObjectServerTest, ATooLargeCollectionIsRefusedBeforeItsItemsAreConverted) {
  const QString path = Create(client, "WatcherManager");
  const QVariant refused = QVariant::fromValue(QDBusVariant(QVariant::fromValue(quint64{7})));
  const QVariantList tooMany(kMaxCollectionItems + 1, refused);
  const QDBusMessage reply = SetProperty(client, path, "Input_GroupNames", tooMany);
  EXPECT_EQ(ErrorOf(reply), "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(reply.errorMessage().toStdString(),
            "Invalid argument: Input_GroupNames holds more than 100000 items; at most 100000 are accepted.");
  // At the limit the items are converted, and the first refused one is named.
  const QDBusMessage converted = SetProperty(client, path, "Input_GroupNames",
                                             QVariantList{QVariant::fromValue(QDBusVariant("A")), refused});
  EXPECT_EQ(ErrorOf(converted), "com.orrendel.CorvanaWatcher8.Error.E800A000D");
  EXPECT_NE(converted.errorMessage().indexOf("Input_GroupNames item 2"), -1)
      << converted.errorMessage().toStdString();
}

TEST_F(ObjectServerTest, SecondInitializeFailsWithTheApplicationError) {
  const QString first = Create(client, "WatcherManager");
  const QString second = Create(client, "WatcherManager");
  ASSERT_EQ(ErrorOf(Call(client, first, kManager, "Initialize")), "no error");
  const QDBusMessage refused = Call(client, second, kManager, "Initialize");
  EXPECT_EQ(refused.errorName(), "com.orrendel.CorvanaWatcher8.Error.E8004000A");
  EXPECT_EQ(refused.errorMessage(),
            "Cannot optimize, because optimization is under way in another copy of Excel.");
  EXPECT_EQ(corvana::wire::CodeFromErrorName(refused.errorName().toStdString()), 0x8004000Au);
  // The running one is untouched; once it is disposed the refused one may start.
  EXPECT_EQ(ErrorOf(Call(client, first, kManager, "Dispose")), "no error");
  EXPECT_EQ(ErrorOf(Call(client, second, kManager, "Initialize")), "no error");
  const QDBusMessage pid = Call(client, second, kManager, "WatcherProcessID");
  EXPECT_EQ(pid.arguments().value(0).toLongLong(), WatcherPid(client));
}

TEST_F(ObjectServerTest, OnlyTheCreatingPeerMayCall) {
  const QString path = Create(client, "WatcherManager");
  SetProperty(client, path, "Input_PopHandle", 5);
  QDBusConnection stranger = Connect("stranger");
  const QDBusMessage get =
      Call(stranger, path, "org.freedesktop.DBus.Properties", "Get", {kManager, "Input_PopHandle"});
  EXPECT_EQ(get.errorName(), "com.orrendel.CorvanaWatcher8.Error.E80070005");
  EXPECT_EQ(ErrorOf(SetProperty(stranger, path, "Input_PopHandle", 9)),
            "com.orrendel.CorvanaWatcher8.Error.E80070005");
  EXPECT_EQ(ErrorOf(Call(stranger, path, kManager, "Initialize")),
            "com.orrendel.CorvanaWatcher8.Error.E80070005");
  EXPECT_EQ(GetProperty(client, path, "Input_PopHandle"), QVariant(5));

  // The objects die with their creator.
  QString log;
  {
    QDBusConnection creator = Connect("creator");
    log = Create(creator, "LogObject");
    QDBusConnection::disconnectFromBus(creator.name());
  }
  QDBusMessage gone;
  corvana::test::WaitUntil([&] {
    gone = Call(client, log, kLogObjectInterface, "GetCountOfAllTrials");
    return gone.errorName() == "org.freedesktop.DBus.Error.UnknownObject";
  });
  EXPECT_EQ(gone.errorName(), "org.freedesktop.DBus.Error.UnknownObject");
}

TEST_F(ObjectServerTest, IntrospectionGivesEachPropertyItsWireTypeAndListsTheMethods) {
  const QString path = Create(client, "WatcherManager");
  QProcess gdbus;
  gdbus.start("gdbus",
              {"introspect", "--address", busAddress, "--dest", kServiceName, "--object-path", path});
  ASSERT_TRUE(gdbus.waitForFinished(10000));
  const QString xml = QString::fromUtf8(gdbus.readAllStandardOutput());
  // A property of every wire type, and the one only the Watcher sets.
  const QStringList expected{"readwrite i ShowExcelRecalculations",
                             "readwrite b Input_DisplayAlerts",
                             "readwrite s Input_LogPath",
                             "readwrite d Input_Runtime_Milliseconds",
                             "readwrite (so) Input_HalvardCallbacksObject",
                             "readwrite av Input_AllGeneNamesCol",
                             "readonly b OrrGraphModalDialogBeingDisplayed"};
  for (const QString& property : expected)
    EXPECT_TRUE(xml.contains(property + ";")) << property.toStdString();
  for (const char* method : {"Initialize()", "InitializeForms()", "StopTimer()", "ShowWatcherModally()",
                             "Dispose()", "BothDialogs_GoToPausingConfig()", "Release()"})
    EXPECT_TRUE(xml.contains(method)) << method;
  EXPECT_TRUE(xml.contains("DisplayYesNoQueryWithHelp(in  s messageText"));
}

TEST_F(ObjectServerTest, BadInputGetsAClearErrorAndLosesNothing) {
  const QString path = Create(client, "WatcherManager");
  SetProperty(client, path, "Input_PopHandle", 5);
  SetProperty(client, path, "ShowExcelRecalculations", 2);
  const QDBusMessage wrongType = SetProperty(client, path, "Input_PopHandle", QString("five"));
  EXPECT_EQ(wrongType.errorName(), "com.orrendel.CorvanaWatcher8.Error.E800A000D");
  EXPECT_TRUE(wrongType.errorMessage().contains("Input_PopHandle")) << wrongType.errorMessage().toStdString();
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "ShowExcelRecalculations", 7)),
            "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Stop_SolutionToKeep", -3)),
            "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_ExcelApplication", Ref("", "/host/App"))),
            "com.orrendel.CorvanaWatcher8.Error.E80040014");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "Input_GroupNames", QVariantList{})),
            "no error");  // empty is fine
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "NoSuchProperty", 1)),
            "org.freedesktop.DBus.Error.UnknownProperty");
  EXPECT_EQ(ErrorOf(SetProperty(client, path, "OrrGraphModalDialogBeingDisplayed", true)),
            "org.freedesktop.DBus.Error.PropertyReadOnly");
  const QDBusMessage early = Call(client, path, kManager, "InitializeForms");
  EXPECT_EQ(early.errorName(), "com.orrendel.CorvanaWatcher8.Error.E8004000A");
  EXPECT_EQ(early.errorMessage(), "InitializeForms needs a successful Initialize first.");
  EXPECT_EQ(ErrorOf(Call(client, path, kManager, "BothDialogs_Update", {true})),
            "com.orrendel.CorvanaWatcher8.Error.E800A000D");
  EXPECT_EQ(ErrorOf(Call(client, path, kManager, "NoSuchMethod")),
            "org.freedesktop.DBus.Error.UnknownMethod");

  EXPECT_EQ(GetProperty(client, path, "Input_PopHandle"), QVariant(5));
  EXPECT_EQ(GetProperty(client, path, "ShowExcelRecalculations"), QVariant(2));
  EXPECT_EQ(GetProperty(client, path, "Stop_SolutionToKeep"), QVariant(-1));
  EXPECT_EQ(ErrorOf(Call(client, path, kManager, "Initialize")), "no error");  // still serving
  // Showing modally traps what fails and completes: before InitializeForms, and once disposed.
  EXPECT_EQ(ErrorOf(Call(client, path, kManager, "ShowWatcherModally")), "no error");
  EXPECT_EQ(ErrorOf(Call(client, path, kManager, "ShowWatcherModally")), "no error");
  const QString fresh = Create(client, "WatcherManager");
  EXPECT_EQ(ErrorOf(Call(client, fresh, kManager, "ShowWatcherModally")), "no error");  // never initialized
  // The automation interface is off unless asked for.
  EXPECT_EQ(ErrorOf(Call(client, kAutomationPath, kAutomationInterface, "ListForms")),
            "org.freedesktop.DBus.Error.UnknownObject");
}

TEST_F(ObjectServerTest, LogObjectOverTheBus) {
  const QString path = Create(client, "LogObject");
  ASSERT_TRUE(path.startsWith(kLogObjectPathPrefix));
  const QString iface = kLogObjectInterface;
  EXPECT_EQ(ErrorOf(Call(client, path, iface, "Initialize", {2, 0})), "no error");
  auto add = [&](double value, bool best, bool valid, int genes = 2) {
    return Call(
        client, path, iface, "AddRecord",
        {value, value, best, QVariant::fromValue(QList<double>{value, 1}.mid(0, genes)), valid,
         QVariant::fromValue(QList<double>{}), QVariant::fromValue(QList<bool>{}), 10, 1.0, 2.0, 3.0, 4.0});
  };
  EXPECT_EQ(ErrorOf(add(5, true, true)), "no error");
  EXPECT_EQ(ErrorOf(add(9, true, true)), "no error");
  EXPECT_EQ(ErrorOf(add(3, false, false)), "no error");
  EXPECT_EQ(Call(client, path, iface, "GetResult", {-1}).arguments().value(0), QVariant(9.0));
  const QDBusMessage counts = Call(client, path, iface, "LogGetRecordCounts");
  EXPECT_EQ(counts.arguments(), (QList<QVariant>{3, 2}));
  const QDBusMessage record = Call(client, path, iface, "LogGetRecord", {2.0, QVariant::fromValue<short>(1)});
  ASSERT_EQ(record.type(), QDBusMessage::ReplyMessage) << record.errorMessage().toStdString();
  EXPECT_EQ(record.signature(), "iddibadabadidddd");
  EXPECT_EQ(record.arguments().value(3), QVariant(2));
  const QDBusMessage beyond = Call(client, path, iface, "LogGetRecord", {7.0, QVariant::fromValue<short>(0)});
  EXPECT_EQ(beyond.errorName(), "com.orrendel.CorvanaWatcher8.Error.E800A0009");
  const QDBusMessage values = Call(client, path, iface, "GetAdjustableCellValues", {-2});
  EXPECT_EQ(values.arguments().value(0), QVariant(true));
  EXPECT_EQ(GetProperty(client, path, "NewBestTrialIndex"), QVariant(2));
  // A short gene array is refused and the log keeps its three records.
  EXPECT_EQ(ErrorOf(add(1, true, true, 1)), "com.orrendel.CorvanaWatcher8.Error.E800A0009");
  EXPECT_EQ(Call(client, path, iface, "GetCountOfAllTrials").arguments().value(0), QVariant(3.0));
  // Name arrays cross 1-based: element 0 on the wire is item 1, and there is no item 0.
  EXPECT_EQ(ErrorOf(Call(client, path, iface, "PassAdjustableCellNames", {QStringList{"A1", "B1"}})),
            "no error");
  EXPECT_EQ(Call(client, path, iface, "LogGetAdjustableCellName", {1}).arguments().value(0), QVariant("A1"));
  EXPECT_EQ(Call(client, path, iface, "LogGetAdjustableCellName", {2}).arguments().value(0), QVariant("B1"));
  EXPECT_EQ(ErrorOf(Call(client, path, iface, "LogGetAdjustableCellName", {0})),
            "com.orrendel.CorvanaWatcher8.Error.E800A0009");
  EXPECT_EQ(ErrorOf(Call(client, path, iface, "Release")), "no error");
}

}  // namespace
