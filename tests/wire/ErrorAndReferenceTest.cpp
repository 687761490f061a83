#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVirtualObject>
#include <cstdint>

#include "common/ComError.h"
#include "tests/support/QtTestSupport.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"
#include "wire/dbus/BusErrors.h"
#include "wire/dbus/BusObjectRef.h"

using namespace corvana;

TEST(ErrorNameTest, EveryCodeCrossesByItsNameAndBack) {
  const std::uint32_t codes[] = {
      kErrApplication,         kErrInvalidArgument, wire::kErrAccessDenied, 0x80040013u, kErrEngineText,
      kErrSubscriptOutOfRange, kErrTypeMismatch,    kErrUnexpected,         0u,          0xFFFFFFFFu};
  for (std::uint32_t code : codes) {
    const std::string name = wire::ErrorName(code);
    EXPECT_EQ(wire::CodeFromErrorName(name), code) << name;
  }
  EXPECT_EQ(wire::ErrorName(kErrApplication), "com.orrendel.CorvanaWatcher8.Error.E8004000A");
  EXPECT_NE(wire::kErrAccessDenied, 0x80040013u) << "the timer's failure has that code to itself";
}

TEST(ErrorNameTest, NamesFromOutsideTheContractCarryNoCode) {
  for (const char* name :
       {"org.freedesktop.DBus.Error.NoReply", "com.orrendel.CorvanaWatcher8.Error.",
        "com.orrendel.CorvanaWatcher8.Error.E8004000", "com.orrendel.CorvanaWatcher8.Error.X8004000A",
        "com.orrendel.CorvanaWatcher8.Error.E8004000AB", "com.orrendel.CorvanaWatcher8.Error.E8004000G"})
    EXPECT_EQ(wire::CodeFromErrorName(name), std::nullopt) << name;
}

namespace {

// A peer that answers "Raise(u code, s text)" with that error and "Echo" with what it was sent.
class Peer : public QDBusVirtualObject {
 public:
  explicit Peer(QDBusConnection connection) : m_Connection(std::move(connection)) {}
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
    const QList<QVariant> args = message.arguments();
    if (message.member() == "Raise")
      m_Connection.send(wire::ErrorReply(
          message, ComError(args.at(0).toUInt(), "Peer", args.at(1).toString().toStdString())));
    else
      m_Connection.send(message.createReply(args));
    return true;
  }

 private:
  QDBusConnection m_Connection;
};

class WireOverTheBusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::StartCoreApplication("wire_test");
    wire::BusObjectRef::Register();
  }
  void SetUp() override {
    ASSERT_TRUE(server.isConnected()) << "no session bus";
    ASSERT_TRUE(server.registerVirtualObject("/peer", &peer));
  }
  void TearDown() override {
    server.unregisterObject("/peer");
    QDBusConnection::disconnectFromBus("wire-server");
    QDBusConnection::disconnectFromBus("wire-client");
  }
  // Two connections, so the message really is marshalled and read back.
  QDBusMessage Call(const char* method, const QList<QVariant>& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(server.baseService(), "/peer", "test.Peer", method);
    call.setArguments(args);
    QDBusPendingCall pending = client.asyncCall(call, 10000);
    EXPECT_TRUE(test::WaitServingEvents([&] { return pending.isFinished(); }));
    return pending.reply();
  }

  QDBusConnection server = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "wire-server");
  QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "wire-client");
  Peer peer{server};
};

}  // namespace

TEST_F(WireOverTheBusTest, AnErrorReplyBecomesTheSameCodeAndText) {
  for (std::uint32_t code : {kErrApplication, wire::kErrAccessDenied, kErrTypeMismatch, 0x80040013u}) {
    const QDBusMessage reply = Call("Raise", {code, QStringLiteral("Wrong: ü and all")});
    ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    const ComError error = wire::ErrorFromReply(reply, "Raise");
    EXPECT_EQ(error.Code(), code);
    EXPECT_EQ(error.Description(), "Wrong: ü and all");
    EXPECT_EQ(error.Source(), "Raise");
  }
  // An error from outside the contract keeps its text and becomes the application error.
  QDBusMessage call = QDBusMessage::createMethodCall(server.baseService(), "/peer", "test.Peer", "Raise");
  const ComError foreign =
      wire::ErrorFromReply(call.createErrorReply("org.freedesktop.DBus.Error.NoReply", "No reply."), "Raise");
  EXPECT_EQ(foreign.Code(), kErrApplication);
  EXPECT_EQ(foreign.Description(), "No reply.");
}

TEST_F(WireOverTheBusTest, AReferenceCrossesAndNothingStaysNothing) {
  const wire::BusObjectRef host{QStringLiteral(":1.42"), QDBusObjectPath(wire::kHostApplicationPath)};
  const QDBusMessage reply =
      Call("Echo", {QVariant::fromValue(host), QVariant::fromValue(wire::BusObjectRef{})});
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  ASSERT_EQ(reply.signature(), "(so)(so)");
  wire::BusObjectRef back, nothing{QStringLiteral("x"), QDBusObjectPath("/x")};
  reply.arguments().at(0).value<QDBusArgument>() >> back;
  reply.arguments().at(1).value<QDBusArgument>() >> nothing;
  EXPECT_EQ(back.Service, host.Service);
  EXPECT_EQ(back.Path.path(), host.Path.path());
  EXPECT_TRUE(nothing.IsNothing());
}
