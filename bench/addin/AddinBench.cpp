// Trials per second of the default model, alone and watched by a live Watcher on a private bus,
// and the Watcher's share of one core while it watches. Run both in one go: the ratio is the figure.
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
#include <chrono>
#include <memory>

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
    m_Daemon.terminate();
    m_Daemon.waitForFinished(5000);
  }
  QDBusConnection Connect() { return QDBusConnection::connectToBus(m_Address, "bench"); }
  bool Ready() const { return !m_Address.isEmpty(); }

 private:
  QTemporaryDir m_Dir;
  QProcess m_Daemon;
  QString m_Address;
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

void BM_TrialsAlone(benchmark::State& state) {
  static QTemporaryDir dir;
  qputenv("ORRENDEL_RUNTIME_DIR", dir.path().toUtf8());
  const RunSettings settings = Settings();
  std::atomic<bool> interrupt{false};
  for (auto _ : state) {
    auto model = ModelCatalog::Create("portfolio");
    TimingObserver timing(nullptr);
    RunLoop loop(*model, settings, timing, interrupt);
    loop.Create();
    loop.Run();
    state.SetIterationTime(timing.Seconds());
  }
  state.SetItemsProcessed(state.iterations() * kTrialsPerRun);
}
BENCHMARK(BM_TrialsAlone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TrialsWatched(benchmark::State& state) {
  PrivateBus bus;
  if (!bus.Ready()) {
    state.SkipWithError("no private bus");
    return;
  }
  QDBusConnection connection = bus.Connect();
  const RunSettings settings = Settings();
  std::atomic<bool> interrupt{false};
  double watcherCpu = 0, wall = 0;
  for (auto _ : state) {
    auto model = ModelCatalog::Create("portfolio");
    WatcherDriver driver(*model, settings, connection, interrupt);
    if (!driver.Start()) {
      state.SkipWithError(driver.Error().c_str());
      return;
    }
    TimingObserver timing(&driver);
    RunLoop loop(*model, settings, timing, interrupt);
    loop.Create();
    if (!driver.Attached()) {
      state.SkipWithError(("the Watcher did not attach: " + driver.Error()).c_str());
      return;
    }
    const QDBusReply<uint> pid = connection.interface()->servicePid("com.orrendel.CorvanaWatcher8");
    const double cpuBefore = pid.isValid() ? CpuSeconds(pid.value()) : 0;
    loop.Run();
    watcherCpu += pid.isValid() ? CpuSeconds(pid.value()) - cpuBefore : 0;
    wall += timing.Seconds();
    state.SetIterationTime(timing.Seconds());
  }
  state.SetItemsProcessed(state.iterations() * kTrialsPerRun);
  // Share of one core the Watcher used while the trials ran.
  state.counters["watcher_cpu_share"] = wall > 0 ? watcherCpu / wall : 0;
}
BENCHMARK(BM_TrialsWatched)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
