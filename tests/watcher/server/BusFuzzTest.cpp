#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QXmlStreamReader>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <random>

#include "StandAloneWatcher.h"
#include "watcher/server/BusValues.h"
#include "wire/BusNames.h"
#include "wire/ErrorNames.h"
#include "wire/dbus/BusObjectRef.h"

using namespace corvana::bus;
using namespace corvana::wire;

namespace {

// Random calls of random members with random values, right and wrong types, from the owner and
// from a stranger, against every object the Watcher serves. The run is bounded by its call count
// (and stops early at a generous deadline on a slow machine); its seed is printed, and
// CORVANA_BUS_FUZZ_SEED replays it.
constexpr int kCalls = 20000;
constexpr qint64 kDeadlineMs = 55000;
const QString kManager = kWatcherManagerInterface;
const QString kProperties = "org.freedesktop.DBus.Properties";

struct Member {
  QString Name;
  QStringList Types;  // of the in-arguments, one complete type each; a property's own type
};

// What a manager is expected to hold: every value it accepted, none it refused.
struct Shadow {
  std::map<QString, QVariant> Scalars;              // b, i, d, s
  std::map<QString, int> Counts;                    // av
  std::map<QString, QPair<QString, QString>> Refs;  // (so)
  bool Disposed = false;
};

QPair<QString, QString> RefPair(const QVariant& value) {
  BusObjectRef ref;
  value.value<QDBusArgument>() >> ref;
  return {ref.Service, ref.Path.path()};
}

// A reference to the root path is nothing, whatever the bus name.
QPair<QString, QString> RefAsStored(const BusObjectRef& ref) {
  if (ref.Path.path() == "/" || ref.Path.path().isEmpty()) return {"", ""};
  return {ref.Service, ref.Path.path()};
}

bool SameScalar(const QVariant& a, const QVariant& b) {
  if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double && std::isnan(a.toDouble()) &&
      std::isnan(b.toDouble()))
    return true;
  return a == b;
}

class BusFuzzTest : public StandAloneWatcherTest {
 protected:
  // The methods of the object's own interface, and its properties when asked for.
  std::vector<Member> Members(const QString& path, std::vector<Member>* properties = nullptr) {
    const QDBusMessage reply = Call(client, path, "org.freedesktop.DBus.Introspectable", "Introspect");
    std::vector<Member> members;
    QXmlStreamReader xml(reply.arguments().value(0).toString());
    bool own = false;
    while (!xml.atEnd()) {
      xml.readNext();
      if (!xml.isStartElement()) continue;
      const auto attributes = xml.attributes();
      if (xml.name() == u"interface") own = attributes.value("name").startsWith(u"com.orrendel.");
      if (!own) continue;
      if (xml.name() == u"method")
        members.push_back({attributes.value("name").toString(), {}});
      else if (xml.name() == u"arg" && !members.empty() && attributes.value("direction") != u"out")
        members.back().Types << attributes.value("type").toString();
      else if (xml.name() == u"property" && properties)
        properties->push_back({attributes.value("name").toString(), {attributes.value("type").toString()}});
    }
    return members;
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_Random); }
  bool OneIn(int n) { return Pick(n) == 0; }

  QString RandomString() {
    static const QStringList samples{"A1",          "",    "Corvana", "/tmp/x.log",          "FormProgress",
                                     "CommandStop", "Yes", "No",      "mnuExcelUpdating_On", "\t\n",
                                     "é ü 日本"};
    if (!OneIn(4)) return samples[Pick(samples.size())];
    QString text;
    const int length = OneIn(200) ? 20000 : Pick(40);
    for (int i = 0; i < length; ++i) text += QChar(0x20 + Pick(OneIn(8) ? 0x2000 : 0x5f));
    return text;
  }
  // A well-formed member name that no object has.
  QString UnknownName() { return "No" + QString::number(Pick(1000)) + "Such"; }
  int RandomInt() {
    using Limits = std::numeric_limits<int>;
    static const int samples[] = {0, 1, -1, 2, 3, 4, 12, 13, -2, -5, 100, Limits::min(), Limits::max()};
    return OneIn(3) ? static_cast<int>(m_Random()) : samples[Pick(std::size(samples))];
  }
  double RandomDouble() {
    using Limits = std::numeric_limits<double>;
    static const double samples[] = {
        0.0, -0.0, 1.5, -1.001e300, 1e308, -1e308, Limits::infinity(), Limits::quiet_NaN(), 45000.5};
    return OneIn(3) ? std::uniform_real_distribution<double>(-1e6, 1e6)(m_Random)
                    : samples[Pick(std::size(samples))];
  }
  QVariant RandomItem() {
    switch (Pick(7)) {
      case 0: return RandomInt();
      case 1: return RandomDouble();
      case 2: return RandomString();
      case 3: return OneIn(2);
      case 4: return QVariant::fromValue<short>(static_cast<short>(RandomInt()));
      case 5:
        return QVariant::fromValue(
            TaggedValue{OneIn(2) ? "Date" : RandomString(), QDBusVariant(RandomDouble())});
      default: return QVariant::fromValue(QList<double>{1, 2});
    }
  }
  int RandomLength() { return OneIn(2000) ? 100001 : OneIn(20) ? Pick(500) : Pick(8); }

  // A value of the complete D-Bus type.
  QVariant RandomValue(const QString& type) {
    if (type == "b") return OneIn(2);
    if (type == "i") return RandomInt();
    if (type == "n") return QVariant::fromValue<short>(static_cast<short>(RandomInt()));
    if (type == "d") return RandomDouble();
    if (type == "s") return RandomString();
    if (type == "o") return QVariant::fromValue(QDBusObjectPath(OneIn(2) ? "/" : "/x/y"));
    if (type == "v") return QVariant::fromValue(QDBusVariant(RandomItem()));
    if (type == "(so)") {
      static const QStringList services{"", ":1.99999", "com.example.Missing"};
      return QVariant::fromValue(BusObjectRef{services[Pick(services.size())],
                                              QDBusObjectPath(OneIn(2) ? "/" : "/Host/Application")});
    }
    if (type == "av") {
      QVariantList items;
      const int n = RandomLength();
      for (int i = 0; i < n; ++i)
        items << QVariant::fromValue(QDBusVariant(n > 2000 ? QVariant(i) : RandomItem()));
      return items;
    }
    if (type == "ad") {
      QList<double> items;
      for (int i = RandomLength() % 1000; i > 0; --i) items << RandomDouble();
      return QVariant::fromValue(items);
    }
    if (type == "ab") {
      QList<bool> items;
      for (int i = Pick(10); i > 0; --i) items << OneIn(2);
      return QVariant::fromValue(items);
    }
    if (type == "as") {
      QStringList items;
      for (int i = Pick(10); i > 0; --i) items << RandomString();
      return items;
    }
    return RandomString();
  }
  QList<QVariant> RandomArguments(const QStringList& types) {
    QList<QVariant> args;
    for (const QString& type : types) args << RandomValue(type);
    return args;
  }
  // Arguments of the wrong shape for `types` (a different count or a different type).
  QList<QVariant> WrongArguments(const QStringList& types) {
    static const QStringList any{"b", "i", "n", "d", "s", "o", "v", "av", "ad", "as", "(so)"};
    QList<QVariant> args;
    QStringList sent;
    do {
      args.clear();
      sent.clear();
      for (int i = Pick(5); i > 0; --i) args << RandomValue(sent.emplace_back(any[Pick(any.size())]));
    } while (sent == types);
    return args;
  }

  QDBusMessage Send(QDBusConnection& peer, const QString& path, const QString& iface, const QString& member,
                    const QList<QVariant>& args) {
    ++m_CallCount;
    const QDBusMessage reply = Call(peer, path, iface, member, args, 15000);
    if (reply.type() != QDBusMessage::ReplyMessage && reply.type() != QDBusMessage::ErrorMessage)
      ADD_FAILURE() << "no answer to " << member.toStdString();
    if (reply.errorName() == "org.freedesktop.DBus.Error.NoReply" ||
        reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown" ||
        reply.errorName() == "org.freedesktop.DBus.Error.Disconnected")
      ADD_FAILURE() << member.toStdString() << " on " << path.toStdString() << ": "
                    << reply.errorName().toStdString() << " " << reply.errorMessage().toStdString();
    return reply;
  }

  QString NewManager() {
    const QString path = Create(client, "WatcherManager");
    Shadow shadow;
    for (const Member& property : m_ManagerProperties) {
      const QVariant value = GetProperty(client, path, property.Name);
      if (property.Types.value(0) == "av")
        shadow.Counts[property.Name] = CollectionFromBus(value, "").Count();
      else if (property.Types.value(0) == "(so)")
        shadow.Refs[property.Name] = RefPair(value);
      else
        shadow.Scalars[property.Name] = value;
    }
    m_Shadows[path] = shadow;
    return path;
  }

  void FuzzManagerProperty(const QString& path) {
    Shadow& shadow = m_Shadows[path];
    const int kind = Pick(3);
    QString name;
    QString type;
    if (kind == 0 && !shadow.Counts.empty()) {
      auto it = std::next(shadow.Counts.begin(), Pick(static_cast<int>(shadow.Counts.size())));
      name = it->first;
      type = "av";
    } else if (kind == 1) {
      auto it = std::next(shadow.Refs.begin(), Pick(static_cast<int>(shadow.Refs.size())));
      name = it->first;
      type = "(so)";
    } else {
      auto it = std::next(shadow.Scalars.begin(), Pick(static_cast<int>(shadow.Scalars.size())));
      name = it->first;
      type = SignatureOf(it->second);
    }
    if (OneIn(10)) {
      Send(client, path, kProperties, "Get", {kManager, OneIn(3) ? RandomString() : name});
      return;
    }
    static const QStringList types{"b", "i", "d", "s", "av", "(so)", "n", "as"};
    const QString sent = OneIn(4) ? types[Pick(types.size())] : type;
    const QVariant value = RandomValue(sent);
    const QDBusMessage reply =
        Send(client, path, kProperties, "Set", {kManager, name, QVariant::fromValue(QDBusVariant(value))});
    if (reply.type() != QDBusMessage::ReplyMessage) return;
    EXPECT_EQ(sent, type) << name.toStdString() << " accepted a value of type " << sent.toStdString();
    if (type == "av")
      shadow.Counts[name] = static_cast<int>(value.toList().size());
    else if (type == "(so)")
      shadow.Refs[name] = RefAsStored(value.value<BusObjectRef>());
    else
      shadow.Scalars[name] = value;
  }

  void FuzzMethod(QDBusConnection& peer, const QString& path, const QString& iface,
                  const std::vector<Member>& members) {
    const Member& member = members[Pick(static_cast<int>(members.size()))];
    // These open windows or wait for the user: only ever sent with the wrong arguments.
    static const QStringList waiting{"InitializeForms", "ShowWatcherModally", "EFGraphChartInExcel"};
    const bool isManager = iface == kManager;
    bool wrong = OneIn(3) || (isManager && waiting.contains(member.Name));
    QList<QVariant> args = wrong ? WrongArguments(member.Types) : RandomArguments(member.Types);
    if (!wrong && member.Name == "DisplayYesNoQueryWithHelp") {
      // A question that is shown waits for the user; only suppressed ones are asked.
      if (m_Shadows[path].Scalars["Input_DisplayAlerts"].toBool()) return;
      args[3] = true;
    }
    const QString name = OneIn(30) ? UnknownName() : member.Name;
    const QDBusMessage reply = Send(peer, path, iface, name, args);
    if (reply.type() != QDBusMessage::ReplyMessage || name != member.Name) return;
    if (member.Name == "Release") {
      m_Shadows.erase(path);
      m_Released = path;
      return;
    }
    if (!isManager) return;
    Shadow& shadow = m_Shadows[path];
    if (member.Name == "Initialize") {
      m_ProcessStarted = true;
      for (auto& [key, count] : shadow.Counts) count = 0;
      shadow.Scalars["IDForGdLogReadRecordVB"] = 0;
    } else if ((member.Name == "Dispose" || member.Name == "ShowWatcherModally") && !shadow.Disposed) {
      // Showing modally always ends with Dispose, whatever failed on the way.
      shadow.Disposed = true;
      for (auto& [key, count] : shadow.Counts) count = 0;
      for (auto& [key, ref] : shadow.Refs) ref = {"", ""};
    } else if (member.Name == "WatcherProcessID") {
      // The process identifier is taken by the first Initialize.
      EXPECT_EQ(reply.arguments().value(0).toLongLong(), m_ProcessStarted ? watcherPid : 0);
    }
  }

  void ExpectShadowHolds(const QString& path) {
    const Shadow& shadow = m_Shadows[path];
    for (const auto& [name, value] : shadow.Scalars)
      EXPECT_TRUE(SameScalar(GetProperty(client, path, name), value))
          << path.toStdString() << " " << name.toStdString();
    for (const auto& [name, count] : shadow.Counts)
      EXPECT_EQ(CollectionFromBus(GetProperty(client, path, name), name.toStdString()).Count(), count)
          << path.toStdString() << " " << name.toStdString();
    for (const auto& [name, ref] : shadow.Refs)
      EXPECT_EQ(RefPair(GetProperty(client, path, name)), ref)
          << path.toStdString() << " " << name.toStdString();
  }

  std::vector<Member> m_ManagerProperties;
  bool m_ProcessStarted = false;
  QString m_Released;  // the object last released
  std::mt19937_64 m_Random;
  std::map<QString, Shadow> m_Shadows;
  int m_CallCount = 0;
};

TEST_F(BusFuzzTest, RandomCallsLeaveTheWatcherServingAndItsStateAsAccepted) {
  const char* given = std::getenv("CORVANA_BUS_FUZZ_SEED");
  const std::uint64_t seed = given ? std::strtoull(given, nullptr, 10) : std::random_device{}();
  m_Random.seed(seed);
  std::printf("bus fuzz seed %llu (replay: CORVANA_BUS_FUZZ_SEED=%llu)\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
  std::fflush(stdout);
  SCOPED_TRACE("CORVANA_BUS_FUZZ_SEED=" + std::to_string(seed));

  QDBusConnection stranger = Connect("stranger");
  const QString first = Create(client, "WatcherManager");
  const auto managerMembers = Members(first, &m_ManagerProperties);
  ASSERT_GT(m_ManagerProperties.size(), 50u);
  Call(client, first, kManager, "Release");
  QString log = Create(client, "LogObject");
  const auto factoryMembers = Members(kFactoryPath);
  const auto logMembers = Members(log);
  const auto automationMembers = Members(kAutomationPath);
  ASSERT_FALSE(managerMembers.empty());
  ASSERT_FALSE(logMembers.empty());
  ASSERT_FALSE(automationMembers.empty());
  int strangerRefusals = 0;

  QElapsedTimer clock;
  clock.start();
  while (m_CallCount < kCalls && clock.elapsed() < kDeadlineMs && !HasFailure()) {
    if (m_CallCount % 5000 == 0) std::printf("bus fuzz: %d calls\n", m_CallCount);
    if (m_Shadows.size() < 2) NewManager();
    if (!log.isEmpty() && OneIn(400)) {
      Send(client, log, kLogObjectInterface, "Release", {});
      log.clear();
    }
    if (log.isEmpty()) log = Create(client, "LogObject");
    const QString manager = std::next(m_Shadows.begin(), Pick(static_cast<int>(m_Shadows.size())))->first;
    switch (Pick(10)) {
      case 0:
      case 1:
      case 2: FuzzManagerProperty(manager); break;
      case 3:
      case 4: FuzzMethod(client, manager, kManager, managerMembers); break;
      case 5:
      case 6:
        FuzzMethod(client, log, kLogObjectInterface, logMembers);
        if (m_Released == log) log.clear();
        break;
      case 7: FuzzMethod(client, kAutomationPath, kAutomationInterface, automationMembers); break;
      case 8: {
        // The factory, with its own methods only now and then: objects are capped per peer.
        const QDBusMessage reply = Send(
            client, kFactoryPath, kFactoryInterface,
            OneIn(10) ? factoryMembers[Pick(static_cast<int>(factoryMembers.size()))].Name : UnknownName(),
            OneIn(2) ? QList<QVariant>{} : WrongArguments({}));
        if (reply.type() == QDBusMessage::ReplyMessage) {
          // Released through its own interface, or it stays held and counts against the cap.
          const QString made = reply.arguments().value(0).value<QDBusObjectPath>().path();
          Send(client, made,
               made.startsWith(corvana::wire::kLogObjectPathPrefix) ? kLogObjectInterface : kManager,
               "Release", {});
        }
        break;
      }
      default: {
        // A stranger is refused everywhere except the factory and introspection.
        const QString path = OneIn(3) ? log : OneIn(2) ? manager : QString(kAutomationPath);
        const QString iface = path == log       ? kLogObjectInterface
                              : path == manager ? kManager
                                                : kAutomationInterface;
        const auto& members = path == log ? logMembers : path == manager ? managerMembers : automationMembers;
        const Member& member = members[Pick(static_cast<int>(members.size()))];
        const QDBusMessage reply =
            OneIn(4) ? Send(stranger, path, kProperties, "Get", {iface, RandomString()})
                     : Send(stranger, path, iface, member.Name, RandomArguments(member.Types));
        EXPECT_EQ(reply.errorName().toStdString(), corvana::wire::ErrorName(corvana::wire::kErrAccessDenied))
            << member.Name.toStdString();
        ++strangerRefusals;
        break;
      }
    }
  }
  std::printf("bus fuzz: %d calls in %lld ms, %d refused to a stranger\n", m_CallCount,
              static_cast<long long>(clock.elapsed()), strangerRefusals);

  // Alive, with every accepted value and none refused, and a fresh run still works.
  ASSERT_EQ(watcher.state(), QProcess::Running);
  EXPECT_EQ(WatcherPid(client), watcherPid);
  for (const auto& [path, shadow] : m_Shadows) ExpectShadowHolds(path);
  for (const auto& [path, shadow] : m_Shadows) Call(client, path, kManager, "Dispose");
  const QString fresh = StartRun(client, false);
  EXPECT_FALSE(fresh.isEmpty()) << "a new run was refused after the fuzz run";
  EXPECT_EQ(Call(client, fresh, kManager, "WatcherProcessID").arguments().value(0).toLongLong(), watcherPid);
  const QString freshLog = Create(client, "LogObject");
  EXPECT_EQ(Call(client, freshLog, kLogObjectInterface, "Initialize", {1, 0}).type(),
            QDBusMessage::ReplyMessage);
  EXPECT_EQ(
      Call(client, freshLog, kLogObjectInterface, "AddRecord",
           {4.0, 4.0, true, QVariant::fromValue(QList<double>{1}), true, QVariant::fromValue(QList<double>{}),
            QVariant::fromValue(QList<bool>{}), 10, 1.0, 2.0, 3.0, 4.0})
          .type(),
      QDBusMessage::ReplyMessage);
  EXPECT_EQ(Call(client, freshLog, kLogObjectInterface, "GetResult", {-1}).arguments().value(0),
            QVariant(4.0));
}

}  // namespace
