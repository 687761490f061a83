#include "tests/watcher/watcher_window/WatcherRun.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>

#include "suite/gdlib/gdlib8.h"
#include "tests/support/TempDir.h"
#include "watcher/app/ProgressWindowFactory.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherWindow.h"
#include "watcher/progress_form/ProgressForm.h"
#include "watcher/small_window/FormProgressSmall.h"
#include "watcher/ui/Timer.h"

namespace corvana {

namespace {

// Removed when the test process ends.
const TempDir& ProcessDir() {
  static TempDir folder;
  return folder;
}

}  // namespace

void WatcherRun::PrepareProcess() {
  static const bool prepared = [] {
    std::filesystem::create_directories(ProcessDir() / "runtime");
    std::filesystem::create_directories(ProcessDir() / "log");
    ProcessDir().Write("log/" + std::string(DebugLogFile::kMarkerFileName), "");
    setenv("ORRENDEL_RUNTIME_DIR", (ProcessDir() / "runtime").c_str(), 1);
    setenv("ORRENDEL_LOG_DIR", (ProcessDir() / "log").c_str(), 1);
    setenv("ORRENDEL_LANGUAGE", "en", 1);
    return true;
  }();
  (void)prepared;
}

WatcherRun::WatcherRun(const Options& options)
    : Manager(std::make_shared<PlatformControllerServices>(options.Toolkit ? *options.Toolkit : Platform),
              std::make_shared<ProgressWindowFactory>(options.Toolkit ? *options.Toolkit : Platform)),
      m_Options(options) {
  PrepareProcess();
  static std::atomic<int> serial{0};
  m_LogPath = ProcessDir() / ("trials-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".log");

  Manager.Initialize();

  std::vector<double> minimums(options.Genes, 0.0), maximums(options.Genes, options.GeneMaximum);
  GdGroupSpec group{};
  group.SolvingMethod = options.SolvingMethod;
  group.GeneCount = options.Genes;
  group.Minimums = minimums.data();
  group.Maximums = maximums.data();
  group.Budget = 10.0;
  group.GroupCount = 4;
  group.AutoMutation = options.AutoMutation ? 1 : 0;
  group.CrossoverRate = 0.5;
  group.MutationRate = 0.1;
  const std::vector<GdGroupSpec> groups(static_cast<std::size_t>(options.Groups), group);
  EXPECT_EQ(GdPopCreate(groups.data(), options.Groups, options.PopulationSize, GdGoalMaximize, 7, &m_Pop), 0);
  m_Log = std::make_unique<TrialLogWriter>(m_LogPath, GeneTotal(), options.Constraints, options.Series);
  SetStatus(GdRunStatusOptimizing);
  for (int channel = 2; channel <= 21; ++channel) WriteLong(channel, 0);

  Manager.Input_PopHandle = m_Pop;
  Manager.Input_LogPath = m_LogPath;
  Manager.Input_PopulationSize = options.PopulationSize;
  Manager.Input_OptimizationEngine = 1;
  Manager.Input_DisplayAlerts = true;
  Manager.Input_ExcelAppHwnd = options.ExcelAppHwnd;
  if (options.HostWorkArea)
    Platform.SetWorkArea(static_cast<ui::WindowId>(static_cast<std::uint32_t>(options.ExcelAppHwnd)),
                         *options.HostWorkArea);
  Manager.Input_MCoreOptimization = options.MultiProcess;
  Manager.Input_MCoreNumWorkerProcesses = options.MultiProcess ? 4 : 1;
  Manager.Input_Runtime_TrialCount = options.TrialGoal;
  Manager.Input_Runtime_Milliseconds = options.MillisecondsGoal;
  Manager.Input_StatisticToOptimize = 12;
  Manager.Stop_AtEndShowOptionsToUser = options.ShowOptionsAtEnd;
  Manager.Input_GAMutationIsAuto = options.AutoMutation;
  if (options.GeneNames)
    for (const auto& name : *options.GeneNames) Manager.Input_AllGeneNamesCol.Add(name);
  else
    for (int i = 1; i <= GeneTotal(); ++i) Manager.Input_AllGeneNamesCol.Add("Cell" + std::to_string(i));
  for (int g = 1; g <= options.Groups; ++g) {
    Manager.Input_GroupNames.Add("Group" + std::to_string(g));
    Manager.Input_GroupSolvingMethods.Add(Variant(options.SolvingMethod));
  }
  if (options.Inputs) options.Inputs(Manager);
  NewLogLines();
  Manager.InitializeForms();
}

WatcherRun::~WatcherRun() {
  Manager.Dispose();
  m_Log.reset();
  if (m_Pop) GdPopFree(m_Pop);
  ResetWatcherGlobals();
}

FormProgressSmall& WatcherRun::Small() {
  return dynamic_cast<FormProgressSmall&>(*Manager.SmallProgressWindow());
}

void WatcherRun::LogTrial(double value, bool newBest, int validTrials) {
  m_Log->Append({.Value = value, .Genes = m_Genes, .ValidTrials = validTrials}, newBest);
}

void WatcherRun::RunTrials(int count) {
  for (int i = 0; i < count; ++i) {
    m_Genes.assign(GeneTotal(), 0.0);
    std::int32_t n = 0;
    ASSERT_EQ(GdPopNextOrganism(m_Pop, m_Genes.data(), GeneTotal(), &n), 0);
    const double value = std::accumulate(m_Genes.begin(), m_Genes.end(), 0.0);
    std::int32_t isNewBest = 0;
    ASSERT_EQ(GdPopReportResult(m_Pop, value, value, 1, &isNewBest), 0);
    LogTrial(value, m_Log->Trials() == 0 || isNewBest != 0);
  }
}

void WatcherRun::Start(int trials, std::int32_t allTrialsShown, std::int32_t lastTrialsShown) {
  RunTrials(trials);
  SendFirstTrialInfo(allTrialsShown, lastTrialsShown);
  Tick();
  ASSERT_TRUE(Manager.GotInitializedAfterFirstTrial);
}

void WatcherRun::SendFirstTrialInfo(std::int32_t allTrialsShown, std::int32_t lastTrialsShown) {
  WriteLong(6, allTrialsShown);
  WriteLong(7, lastTrialsShown);
  WriteBoolean(8, true);
}

void WatcherRun::SetStatus(std::int16_t status) {
  ASSERT_EQ(GdPopSetRunStatus(m_Pop, status), 0);
}
std::int16_t WatcherRun::Status() {
  return GdPopGetRunStatus(m_Pop);
}

void WatcherRun::WriteBoolean(int channel, bool value) {
  const std::int16_t v = value ? -1 : 0;
  ASSERT_EQ(GdWriteTempData(static_cast<std::int16_t>(channel), &v, 2), 0);
}

void WatcherRun::WriteLong(int channel, std::int32_t value) {
  ASSERT_EQ(GdWriteTempData(static_cast<std::int16_t>(channel), &value, 4), 0);
}

void WatcherRun::WriteDouble(int channel, double value) {
  ASSERT_EQ(GdWriteTempData(static_cast<std::int16_t>(channel), &value, 8), 0);
}

bool WatcherRun::ReadBoolean(int channel) {
  std::int16_t v = 0;
  EXPECT_EQ(GdReadTempData(static_cast<std::int16_t>(channel), &v, 2), 0);
  return v != 0;
}

std::int32_t WatcherRun::ReadLong(int channel) {
  std::int32_t v = 0;
  EXPECT_EQ(GdReadTempData(static_cast<std::int16_t>(channel), &v, 4), 0);
  return v;
}

void WatcherRun::Tick() {
  // Either window shape: what its timer's tick does.
  auto& window = dynamic_cast<ProgressForm<WatcherWindow>&>(*Manager.FullWindow());
  window.GetForm().Get<ui::Timer>("TimerUpdate").Tick();
}

std::vector<std::string> WatcherRun::NewLogLines() {
  std::vector<std::string> lines;
  std::ifstream in(g_LogFilePath, std::ios::binary);
  if (!in) return lines;
  in.seekg(static_cast<std::streamoff>(m_LogOffset));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "WATCHER, <tick>  <difference> <text>"
    const auto afterTick = line.find("  ");
    const auto text = afterTick == std::string::npos ? std::string::npos : line.find(' ', afterTick + 2);
    lines.push_back(text == std::string::npos ? line : line.substr(text + 1));
  }
  in.clear();
  in.seekg(0, std::ios::end);
  m_LogOffset = static_cast<std::size_t>(in.tellg());
  return lines;
}

void WatcherRun::FreePopulation() {
  GdPopFree(m_Pop);
  m_Pop = 0;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return IndexOf(lines, line) >= 0;
}

long IndexOf(const std::vector<std::string>& lines, const std::string& line, long from) {
  for (long i = std::max(0L, from); i < static_cast<long>(lines.size()); ++i)
    if (lines[i] == line) return i;
  return -1;
}

testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& expected) {
  long from = 0;
  for (const auto& line : expected) {
    const long at = IndexOf(lines, line, from);
    if (at < 0) return testing::AssertionFailure() << "no \"" << line << "\" from line " << from;
    from = at + 1;
  }
  return testing::AssertionSuccess();
}

}  // namespace corvana
