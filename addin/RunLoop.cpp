#include "addin/RunLoop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "addin/CommandLine.h"
#include "addin/EngineCall.h"
#include "common/ErrorTrap.h"
#include "suite/gdlib/gdlib8.h"
#include "suite/objectlib/SuiteFolders.h"

namespace corvana::addin {

namespace {

using Clock = std::chrono::steady_clock;

// Holds the population lock for one engine step.
class PopulationLock {
 public:
  explicit PopulationLock(std::int32_t handle) : m_Handle(handle) {
    CheckEngine(GdPopLock(handle), "GdPopLock");
  }
  ~PopulationLock() { GdPopUnlock(m_Handle); }
  PopulationLock(const PopulationLock&) = delete;
  PopulationLock& operator=(const PopulationLock&) = delete;

 private:
  std::int32_t m_Handle;
};

std::string NewLogPath() {
  const auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  static std::atomic<int> sequence{0};  // two runs in one millisecond still get two files
  return SuiteFolders::TrialLogFolder() + "/trials-" + std::to_string(getpid()) + "-" +
         std::to_string(stamp) + "-" + std::to_string(++sequence) + ".gdlog";
}

// Ranks below every real evaluation, so that the solutions found while only the hard constraints
// count give way to the first solution that meets them.
constexpr double kSolverOffset = 1e12;

}  // namespace

RunLoop::RunLoop(Model& model, const RunSettings& settings, RunObserver& observer,
                 const std::atomic<bool>& interrupt)
    : m_Model(model), m_Settings(settings), m_Observer(observer), m_Interrupt(interrupt) {}

RunLoop::~RunLoop() {
  if (m_LogHandle) GdLogClose(m_LogHandle);
  if (m_PopHandle) GdPopFree(m_PopHandle);
  // The Watcher reads the log until the run is over; by now it is done with it.
  // Only our own file: one made under its name after ours was deleted belongs to someone else.
  if (RemovesLog() && LogStillThere()) ::unlink(m_LogPath.c_str());
}

bool RunLoop::RemovesLog() const {
  return m_Settings.TrialLogPath.empty() && !m_Settings.KeepLog;
}

void RunLoop::Create() {
  CheckEngine(GdInit3(1, 0, 0, ""), "GdInit3");

  // The group descriptions point into these vectors, which must outlive GdPopCreate.
  std::vector<std::vector<double>> minimums, maximums;
  std::vector<GdGroupSpec> groups;
  for (const GeneGroup& group : m_Model.Groups()) {
    GdGroupSpec description{};
    description.SolvingMethod = static_cast<std::int32_t>(group.Method);
    description.GeneCount = static_cast<std::int32_t>(group.Genes.size());
    auto& mins = minimums.emplace_back();
    auto& maxs = maximums.emplace_back();
    for (const Gene& gene : group.Genes) {
      mins.push_back(gene.Min);
      maxs.push_back(gene.Max);
      description.Budget += gene.Start;  // a budget group keeps the sum it starts with
    }
    if (group.Method != SolvingMethod::Order) {
      description.Minimums = mins.data();
      description.Maximums = maxs.data();
    }
    description.AutoMutation = 1;
    description.CrossoverRate = 0.5;
    description.MutationRate = 0.1;
    groups.push_back(description);
  }
  CheckEngine(GdPopCreate(groups.data(), static_cast<std::int32_t>(groups.size()), m_Settings.Population,
                          Maximize() ? GdGoalMaximize : GdGoalMinimize, m_Settings.Seed, &m_PopHandle),
              "GdPopCreate");
  const std::vector<double> start = m_Model.StartValues();
  CheckEngine(GdPopSetInitialGenes(m_PopHandle, start.data(), static_cast<std::int32_t>(start.size())),
              "GdPopSetInitialGenes");

  m_LogPath = m_Settings.TrialLogPath.empty() ? NewLogPath() : m_Settings.TrialLogPath;
  std::vector<const char*> names;
  std::vector<std::int32_t> hard, hasValue;
  for (const Constraint& c : m_Model.Constraints()) {
    names.push_back(c.Name.c_str());
    hard.push_back(c.Hard ? 1 : 0);
    hasValue.push_back(1);
  }
  const std::int16_t created = GdLogCreate(
      m_LogPath.c_str(), static_cast<std::int32_t>(groups.size()), static_cast<std::int32_t>(start.size()),
      static_cast<std::int32_t>(names.size()), names.data(), hard.data(), hasValue.data(),
      m_Settings.EfficientFrontier.empty() ? 0 : 1, &m_LogHandle);
  // A log the user named that cannot be made is bad input, found before the run starts.
  if (created < 0 && !m_Settings.TrialLogPath.empty())
    throw UsageError("--trial-log: " + EngineErrorText(created));
  CheckEngine(created, "GdLogCreate");
  struct stat info {};
  if (::stat(m_LogPath.c_str(), &info) == 0) m_LogFile = {info.st_dev, info.st_ino};
  SetStatus(GdRunStatusOptimizing);
  m_Observer.OnRunCreated(m_PopHandle, m_LogPath.c_str());
}

void RunLoop::SetStatus(std::int16_t status) {
  PopulationLock lock(m_PopHandle);
  CheckEngine(GdPopSetRunStatus(m_PopHandle, status), "GdPopSetRunStatus");
}

double RunLoop::ActiveSeconds() const {
  return std::chrono::duration<double>(Clock::now() - m_OptimizationStart - m_Paused).count();
}

bool RunLoop::GoalReached() const {
  if (m_Settings.Trials && m_TrialsThisOptimization >= *m_Settings.Trials) return true;
  return m_Settings.Minutes && ActiveSeconds() >= *m_Settings.Minutes * 60;
}

RunLoop::Next RunLoop::FollowRunStatus() {
  const std::int16_t status = GdPopGetRunStatus(m_PopHandle);
  CheckEngine(status, "GdPopGetRunStatus");
  switch (status) {
    case GdRunStatusOptimizing: return Next::Continue;
    case GdRunStatusMarkToMoveToNextOptimization: return Next::NextOptimization;
    case GdRunStatusMarkToStop:
    case GdRunStatusStopped: m_StopReason = "user"; return Next::Stop;
    case GdRunStatusMarkToPause: SetStatus(GdRunStatusPaused); break;
    case GdRunStatusPaused: break;
    default: return Next::Continue;
  }
  // Paused: wait for the user's next word, serving the observer meanwhile.
  const auto pauseStart = Clock::now();
  Next next = Next::Continue;
  while (true) {
    m_Observer.OnIdle(true);
    if (m_Interrupt) {
      m_StopReason = "interrupted";
      next = Next::Stop;
      break;
    }
    const std::int16_t now = GdPopGetRunStatus(m_PopHandle);
    CheckEngine(now, "GdPopGetRunStatus");
    if (now == GdRunStatusOptimizing) break;
    if (now == GdRunStatusMarkToStop || now == GdRunStatusStopped) {
      m_StopReason = "user";
      next = Next::Stop;
      break;
    }
    if (now == GdRunStatusMarkToMoveToNextOptimization) {
      next = Next::NextOptimization;
      break;
    }
    // Workers that die while paused are noticed now, not on resume.
    if (m_Workers)
      m_Workers->Poll(std::chrono::milliseconds(10));
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  m_Paused += Clock::now() - pauseStart;
  return next;
}

RunResult RunLoop::Run() {
  RunResult result;
  result.Model = m_Model.Name();
  result.Objective = m_Model.ObjectiveText();
  result.GeneNames = m_Model.GeneNames();
  result.KnownBest = m_Model.KnownBest();
  m_RunStart = Clock::now();

  // An engine failure mid-run (a full disk under the log) ends the run, not the result: what was
  // found so far is still reported, with the failure.
  ErrorInfo failure;
  if (!ResumeNext(failure, [&] { RunOptimizations(result); })) {
    result.Error = failure.Description;
    m_StopReason = "error";
  }
  ResumeNext([&] { SetStatus(GdRunStatusStopped); });
  if (m_LogHandle) {
    GdLogClose(m_LogHandle);
    m_LogHandle = 0;
  }
  result.TrialLogPath = RemovesLog() ? "" : m_LogPath;
  if (!LogStillThere()) {
    result.TrialLogPath.clear();
    result.TrialLogError = "The trial log " + m_LogPath + " was deleted during the run.";
  }
  result.StopReason = m_StopReason;
  result.ElapsedSeconds = std::chrono::duration<double>(Clock::now() - m_RunStart).count();
  result.OriginalSolution = m_Model.StartValues();
  result.LastSolution = m_LastGenes.empty() ? result.OriginalSolution : m_LastGenes;
  const bool hasBest = !result.Optimizations.empty() && result.Optimizations.back().HasBest;
  result.KeptSolution = hasBest ? result.Optimizations.back().BestSolution : result.OriginalSolution;
  m_Observer.OnRunStopped();
  return result;
}

bool RunLoop::LogStillThere() const {
  struct stat info {};
  return ::stat(m_LogPath.c_str(), &info) == 0 && LogFile{info.st_dev, info.st_ino} == m_LogFile;
}

void RunLoop::RunOptimizations(RunResult& result) {
  const Evaluation original = m_Model.Evaluate(m_Model.StartValues());
  int violated = 0;
  for (std::size_t i = 0; i < m_Model.Constraints().size(); ++i)
    if (m_Model.Constraints()[i].Hard && !original.ConstraintMet[i]) ++violated;
  if (m_Settings.ConstraintSolver)
    result.UsedConstraintSolver = true;  // the whole run is the solver's: nothing to ask
  else if (violated > 0)
    m_SolverPhase = result.UsedConstraintSolver = m_Observer.AskUseConstraintSolver(violated);

  const int count = std::max<int>(1, static_cast<int>(m_Settings.EfficientFrontier.size()));
  for (int k = 1; k <= count; ++k) {
    OptimizationResult& optimization = result.Optimizations.emplace_back();
    if (!m_Settings.EfficientFrontier.empty()) {
      optimization.ConstrainingValue = m_Settings.EfficientFrontier[k - 1];
      m_Model.SetFirstConstraintBound(*optimization.ConstrainingValue);
      if (m_Workers) m_Workers->SetFirstConstraintBound(*optimization.ConstrainingValue);
    }
    m_TrialsThisOptimization = 0;
    m_OptimizationStart = Clock::now();
    m_Paused = {};
    m_Observer.OnOptimizationStarted(k);

    Next next = Next::Continue;
    while (true) {
      m_Observer.OnIdle(false);
      if (m_Interrupt) {
        m_StopReason = "interrupted";
        next = Next::Stop;
        break;
      }
      next = FollowRunStatus();
      // Moving on from the last optimization of a series means going on with it.
      if (next == Next::NextOptimization && k == count) {
        SetStatus(GdRunStatusOptimizing);
        next = Next::Continue;
      }
      if (next != Next::Continue) break;
      if (m_Settings.ConstraintSolver && optimization.HasBest && optimization.BestIsValid) {
        m_StopReason = "solved";
        next = Next::Stop;
        break;
      }
      if (GoalReached()) {
        m_StopReason =
            m_Settings.Trials && m_TrialsThisOptimization >= *m_Settings.Trials ? "trials" : "time";
        next = k == count ? Next::Stop : Next::NextOptimization;
        break;
      }
      if (m_Workers && m_Workers->Alive() > 0)
        RunWorkerTrials(optimization, k);
      else
        RunTrial(optimization, k);  // also when every worker is lost: the run goes on here
    }
    // Organisms out for evaluation belong to this optimization; an interrupt does not wait.
    if (m_Workers && !m_Interrupt) DrainWorkers(optimization, k);
    if (next == Next::Stop) break;
    SetStatus(GdRunStatusOptimizing);
  }
}

Evaluation RunLoop::FailedEvaluation() const {
  // A solution the model cannot evaluate counts as the worst possible, hard constraints broken.
  Evaluation e;
  e.Objective = e.ObjectiveWithPenalties = Maximize() ? -kSolverOffset * 2 : kSolverOffset * 2;
  e.ConstraintValues.assign(m_Model.Constraints().size(), 0);
  e.ConstraintMet.assign(m_Model.Constraints().size(), false);
  e.ConstraintPenalties.assign(m_Model.Constraints().size(), 0);
  e.Valid = false;
  return e;
}

void RunLoop::RunTrial(OptimizationResult& o, int optimization) {
  std::vector<double> genes(m_Model.GeneCount());
  std::int32_t count = 0;
  {
    PopulationLock lock(m_PopHandle);
    CheckEngine(GdPopNextOrganism(m_PopHandle, genes.data(), static_cast<std::int32_t>(genes.size()), &count),
                "GdPopNextOrganism");
  }
  Evaluation e;
  if (!ResumeNext([&] { e = m_Model.Evaluate(genes); })) e = FailedEvaluation();
  RecordTrial(o, optimization, 0, std::move(genes), std::move(e));
}

void RunLoop::LockServingObserver() {
  // The Watcher holds the lock while it asks whether to stop a multi-process run; its question is
  // answered through this process, which must not stop serving meanwhile.
  while (true) {
    const std::int16_t rc = GdPopTryLock(m_PopHandle, 50);
    if (rc != GdErrTimeout) {
      CheckEngine(rc, "GdPopTryLock");
      return;
    }
    m_Observer.OnIdle(true);
  }
}

void RunLoop::RunWorkerTrials(OptimizationResult& o, int optimization) {
  const long outstanding = m_Settings.Trials ? *m_Settings.Trials - m_TrialsThisOptimization : GD_MAX_WORKERS;
  const int busyBefore = m_Workers->Busy();
  m_Workers->Dispatch(outstanding);
  if (m_Workers->Busy() > busyBefore) m_Observer.OnTrialUnderWay(m_Trial + 1);
  m_Workers->Poll(std::chrono::milliseconds(20));
  for (FinishedTrial& t : m_Workers->TakeFinished())
    RecordTrial(o, optimization, t.Worker, std::move(t.Genes),
                t.Failed ? FailedEvaluation() : std::move(t.Result));
}

void RunLoop::DrainWorkers(OptimizationResult& o, int optimization) {
  while (m_Workers->Busy() > 0 && !m_Interrupt) {
    m_Observer.OnIdle(false);
    m_Workers->Poll(std::chrono::milliseconds(20));
    for (FinishedTrial& t : m_Workers->TakeFinished())
      RecordTrial(o, optimization, t.Worker, std::move(t.Genes),
                  t.Failed ? FailedEvaluation() : std::move(t.Result));
  }
}

bool RunLoop::Maximize() const {
  return !m_Settings.ConstraintSolver && m_Model.Maximize();
}

Evaluation RunLoop::CountNotMet(Evaluation e) const {
  // The value counts the hard constraints not met, the part below one how far they are from being
  // met, so that the search is led towards them; zero is a solution.
  int notMet = 0;
  for (std::size_t i = 0; i < m_Model.Constraints().size() && i < e.ConstraintMet.size(); ++i)
    if (m_Model.Constraints()[i].Hard && !e.ConstraintMet[i]) ++notMet;
  const double distance = notMet > 0 ? std::max(0.0, e.HardViolation) : 0.0;
  e.Objective = e.ObjectiveWithPenalties = notMet + distance / (1 + distance);
  e.Valid = notMet == 0;
  return e;
}

void RunLoop::RecordTrial(OptimizationResult& o, int optimization, int worker, std::vector<double> genes,
                          Evaluation e) {
  if (m_Settings.ConstraintSolver) e = CountNotMet(std::move(e));
  double ranked = e.ObjectiveWithPenalties;
  if (m_SolverPhase) {
    if (e.Valid)
      m_SolverPhase = false;
    else
      ranked = Maximize() ? -kSolverOffset - e.HardViolation : kSolverOffset + e.HardViolation;
  }
  std::int32_t isNewBest = 0;
  if (worker == 0) {
    PopulationLock lock(m_PopHandle);
    CheckEngine(GdPopReportResult(m_PopHandle, e.Objective, ranked, e.Valid ? 1 : 0, &isNewBest),
                "GdPopReportResult");
  } else {
    LockServingObserver();
    const std::int16_t rc =
        GdPopReportOrganism(m_PopHandle, worker, e.Objective, ranked, e.Valid ? 1 : 0, &isNewBest);
    GdPopUnlock(m_PopHandle);
    CheckEngine(rc, "GdPopReportOrganism");
  }
  ++m_Trial;
  ++m_TrialsThisOptimization;
  ++o.Trials;
  if (e.Valid) {
    ++o.ValidTrials;
    ++m_ValidTrials;
  }
  // The best is kept per optimization: in a series the constraint changes under the population. A
  // valid trial beats an invalid one whatever its penalised value, and never gives way to one: a
  // weak penalty must not make a solution that breaks a hard constraint the one the user keeps.
  const bool ranksHigher = Maximize() ? e.ObjectiveWithPenalties > o.BestValueWithPenalties
                                      : e.ObjectiveWithPenalties < o.BestValueWithPenalties;
  const bool better = !o.HasBest || (e.Valid && !o.BestIsValid) || (e.Valid == o.BestIsValid && ranksHigher);
  AppendRecord(GdLogKindTrial, m_Trial, genes, e, optimization);
  if (better) {
    o.HasBest = true;
    o.BestValue = e.Objective;
    o.BestValueWithPenalties = e.ObjectiveWithPenalties;
    o.BestIsValid = e.Valid;
    o.BestSolution = genes;
    ++o.ProgressSteps;
    AppendRecord(GdLogKindProgressStep, m_Trial, genes, e, optimization);
  }
  m_LastGenes = std::move(genes);
  m_Observer.OnTrial(m_Trial, e, better);
}

void RunLoop::AppendRecord(std::int32_t kind, long trial, const std::vector<double>& genes,
                           const Evaluation& e, int optimization) {
  std::vector<double> status;
  for (bool met : e.ConstraintMet) status.push_back(met ? 1 : 0);
  GdLogRecord record{};
  record.Kind = kind;
  record.TrialNumber = static_cast<std::int32_t>(trial);
  record.ValueWithoutPenalties = e.Objective;
  record.ValueWithPenalties = e.ObjectiveWithPenalties;
  record.ConstraintStatus = status.data();
  record.ConstraintValues = e.ConstraintValues.data();
  record.ConstraintPenalties = e.ConstraintPenalties.data();
  record.GeneValues = genes.data();
  record.Info.ElapsedSeconds = std::chrono::duration<double>(Clock::now() - m_RunStart).count();
  record.Info.Mean = e.SimMean;
  record.Info.StandardDeviation = e.SimStdDev;
  record.Info.Minimum = e.SimMin;
  record.Info.Maximum = e.SimMax;
  record.Info.SimulationIterations = e.Iterations;
  record.Info.ValidTrialCount = static_cast<std::int32_t>(m_ValidTrials);
  if (!m_Settings.EfficientFrontier.empty()) {
    record.Info.EFConstrainedValue = m_Model.Constraints().front().Bound;
    record.Info.EFFlag = e.ConstraintMet.empty() ? 0 : (e.ConstraintMet.front() ? 1 : 0);
  }
  record.Info.ConstrainingValueIndex = optimization;
  CheckEngine(GdLogAppendRecord(m_LogHandle, optimization, &record), "GdLogAppendRecord");
}

}  // namespace corvana::addin
