// The Watcher's cost to the default model's trials: alone and watched runs alternate in one process, on
// a live Watcher over a private bus; the median of the pairs' ratios is the figure.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "addin/ModelCatalog.h"
#include "addin/RunLoop.h"
#include "addin/WatcherDriver.h"

namespace {

using namespace corvana::addin;
using Clock = std::chrono::steady_clock;

constexpr long kTrialsPerRun = 4000;

// Times the trial loop itself, from the first trial to the last, leaving out start-up and the
// end-of-run hand-over.
class TimingObserver : public RunObserver {
 public:
  explicit TimingObserver(RunObserver* next) : m_Next(next) {}
  void OnRunCreated(std::int32_t h, const char* p) override {
    if (m_Next) m_Next->OnRunCreated(h, p);
  }
  void OnOptimizationStarted(int n) override {
    if (m_Next) m_Next->OnOptimizationStarted(n);
  }
  void OnTrial(long t, const Evaluation& e, bool best) override {
    if (t == 1) First = Clock::now();
    Last = Clock::now();
    if (m_Next) m_Next->OnTrial(t, e, best);
  }
  void OnIdle(bool paused) override {
    if (m_Next) m_Next->OnIdle(paused);
  }
  void OnRunStopped() override {
    if (m_Next) m_Next->OnRunStopped();
  }
  double Seconds() const { return std::chrono::duration<double>(Last - First).count(); }
  Clock::time_point First, Last;

 private:
  RunObserver* m_Next;
};

RunSettings Settings() {
  RunSettings s;
  s.Trials = kTrialsPerRun;
  s.ShowEndOptions = false;
  return s;
}

// A private session bus whose activation starts the Watcher as built.
class PrivateBus {
 public:
  PrivateBus() {
    QDir(m_Dir.path()).mkpath("run");
    QDir(m_Dir.path()).mkpath("log");
    qputenv("ORRENDEL_RUNTIME_DIR", m_Dir.filePath("run").toUtf8());
    qputenv("ORRENDEL_LOG_DIR", m_Dir.filePath("log").toUtf8());
    qputenv("ORRENDEL_SYSTEM_DIR", CORVANA_SYSTEM_DIR);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    m_Daemon.start("dbus-daemon", {"--config-file=" CORVANA_BUS_CONFIG, "--nofork", "--print-address=1"});
    if (m_Daemon.waitForStarted(10000) && m_Daemon.waitForReadyRead(10000))
      m_Address = QString::fromUtf8(m_Daemon.readLine()).trimmed();
  }
  ~PrivateBus() {
    QDBusConnection::disconnectFromBus(m_Name);
    m_Daemon.terminate();
    m_Daemon.waitForFinished(5000);
  }
  // A connection name of this bus's own: Qt hands out an existing connection by its name.
  QDBusConnection Connect() { return QDBusConnection::connectToBus(m_Address, m_Name); }
  bool Ready() const { return !m_Address.isEmpty(); }

 private:
  QTemporaryDir m_Dir;
  QProcess m_Daemon;
  QString m_Address;
  QString m_Name = QStringLiteral("bench-%1").arg(reinterpret_cast<quintptr>(this));
};

// CPU seconds a process has used so far, from /proc.
double CpuSeconds(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return 0;
  const QString text = QString::fromLatin1(stat.readAll());
  const QStringList fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
  if (fields.size() < 13) return 0;
  return (fields[11].toDouble() + fields[12].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// One watched run of the default model on `connection`: the trials' seconds, or a negative value
// with the reason in `error` when the Watcher did not watch it. `watcherCpu` gets the Watcher's CPU
// seconds during the trials.
double WatchedRun(QDBusConnection& connection, double& watcherCpu, std::string& error) {
  const RunSettings settings = Settings();
  std::atomic<bool> interrupt{false};
  auto model = ModelCatalog::Create("portfolio");
  WatcherDriver driver(*model, settings, connection, interrupt);
  if (!driver.Start()) {
    error = driver.Error();
    return -1;
  }
  TimingObserver timing(&driver);
  RunLoop loop(*model, settings, timing, interrupt);
  loop.Create();
  if (!driver.Attached()) {
    error = "the Watcher did not attach: " + driver.Error();
    return -1;
  }
  const QDBusReply<uint> pid = connection.interface()->servicePid("com.orrendel.CorvanaWatcher8");
  const double cpuBefore = pid.isValid() ? CpuSeconds(pid.value()) : 0;
  loop.Run();
  watcherCpu = pid.isValid() ? CpuSeconds(pid.value()) - cpuBefore : 0;
  return timing.Seconds();
}

double AloneRun() {
  const RunSettings settings = Settings();
  std::atomic<bool> interrupt{false};
  auto model = ModelCatalog::Create("portfolio");
  TimingObserver timing(nullptr);
  RunLoop loop(*model, settings, timing, interrupt);
  loop.Create();
  loop.Run();
  return timing.Seconds();
}

// The Watcher's cost to the run: alone and watched runs alternate in one process, on one bus and
// one Watcher, so that the machine's drift falls on both alike; the figure is the median of the
// pairs' ratios (watched time / alone time). Every watched run after the first is a second
// optimization in the same process, as a spreadsheet host runs them.
void BM_WatcherCost(benchmark::State& state) {
  PrivateBus bus;
  if (!bus.Ready()) {
    state.SkipWithError("no private bus");
    return;
  }
  QDBusConnection connection = bus.Connect();
  std::vector<double> ratios;
  double watcherCpu = 0, watchedWall = 0, aloneWall = 0;
  for (auto _ : state) {
    const double alone = AloneRun();
    double cpu = 0;
    std::string error;
    const double watched = WatchedRun(connection, cpu, error);
    if (watched < 0) {
      state.SkipWithError(error.c_str());
      return;
    }
    ratios.push_back(watched / alone);
    watcherCpu += cpu;
    watchedWall += watched;
    aloneWall += alone;
    state.SetIterationTime(watched);
  }
  std::sort(ratios.begin(), ratios.end());
  state.counters["pairs"] = static_cast<double>(ratios.size());
  state.counters["median_ratio"] = ratios[ratios.size() / 2];
  state.counters["alone_trials_per_s"] = static_cast<double>(ratios.size() * kTrialsPerRun) / aloneWall;
  state.counters["watched_trials_per_s"] = static_cast<double>(ratios.size() * kTrialsPerRun) / watchedWall;
  // Share of one core the Watcher used while the trials ran.
  state.counters["watcher_cpu_share"] = watchedWall > 0 ? watcherCpu / watchedWall : 0;
}
BENCHMARK(BM_WatcherCost)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

// Start-up as the user sees it: from the add-in's first call on the bus, which activates the
// Watcher, to the small window shown (InitializeForms returned). A fresh bus each time, so each
// start is a cold start of the Watcher process.
void BM_WatcherStartUp(benchmark::State& state) {
  for (auto _ : state) {
    PrivateBus bus;
    if (!bus.Ready()) {
      state.SkipWithError("no private bus");
      return;
    }
    QDBusConnection connection = bus.Connect();
    const RunSettings settings = Settings();
    std::atomic<bool> interrupt{false};
    auto model = ModelCatalog::Create("portfolio");
    WatcherDriver driver(*model, settings, connection, interrupt);
    if (!driver.Start()) {
      state.SkipWithError(driver.Error().c_str());
      return;
    }
    RunLoop loop(*model, settings, driver, interrupt);
    const auto start = Clock::now();
    loop.Create();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!driver.Attached()) {
      state.SkipWithError(("the Watcher did not attach: " + driver.Error()).c_str());
      return;
    }
    state.SetIterationTime(seconds);
    interrupt = true;
    loop.Run();
  }
}
BENCHMARK(BM_WatcherStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
