#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/watcher/watcher_window/TrialLogWriter.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/testing/FakePlatform.h"

namespace corvana {

class FormProgress;
class FormProgressSmall;

// One watched optimization in this process: the real manager and windows on the fake platform,
// the real engine with a population and a trial log written here as the optimizing side would.
class WatcherRun {
 public:
  struct Options {
    int Genes = 3;  // per group
    int Groups = 1;
    std::int32_t SolvingMethod = 1;  // of every group (GdMethodRecipe)
    double GeneMaximum = 10;
    bool AutoMutation = false;
    int PopulationSize = 5;
    // Input_AllGeneNamesCol; none: Cell1, Cell2, ... one per gene.
    std::optional<std::vector<std::string>> GeneNames{};
    bool MultiProcess = false;
    bool ShowOptionsAtEnd = false;
    double TrialGoal = 0;
    double MillisecondsGoal = 0;
    // The add-in's window and the work area of the screen that holds it.
    std::int32_t ExcelAppHwnd = 0;
    std::optional<ui::Rect> HostWorkArea{};
    // The trial log's constraints, and whether it is an efficient-frontier series'.
    std::vector<TrialLogWriter::Constraint> Constraints{};
    bool Series = false;
    // Further inputs, set before the windows are made.
    std::function<void(WatcherManager&)> Inputs{};
    // Draws the windows instead of the fake (a real toolkit's, for screenshots).
    ui::Platform* Toolkit = nullptr;
  };

  // Private runtime and logging folders for the whole test process, logging switched on.
  static void PrepareProcess();

  WatcherRun() : WatcherRun(Options{}) {}
  explicit WatcherRun(const Options& options);
  ~WatcherRun();

  ui::FakePlatform Platform;
  WatcherManager Manager;
  template <class Window = FormProgress>
  Window& Full() {
    return dynamic_cast<Window&>(*Manager.FullWindow());
  }
  FormProgressSmall& Small();

  // The optimizing side: evaluates the population's next organisms (value = sum of the genes)
  // and logs each trial, with a progress step at every new best.
  void RunTrials(int count);
  // A trial of the given value with the last organism's genes; validTrials < 0: every trial so far valid.
  void LogTrial(double value, bool newBest, int validTrials = -1);
  TrialLogWriter& Log() { return *m_Log; }
  // Past the first-trial hand-shake with `trials` more trials logged, as the add-in answers it.
  void Start(int trials, std::int32_t allTrialsShown = 100, std::int32_t lastTrialsShown = 50);
  void SendFirstTrialInfo(std::int32_t allTrialsShown, std::int32_t lastTrialsShown);
  void SetStatus(std::int16_t status);
  std::int16_t Status();
  void WriteBoolean(int channel, bool value);
  void WriteLong(int channel, std::int32_t value);
  void WriteDouble(int channel, double value);
  bool ReadBoolean(int channel);
  std::int32_t ReadLong(int channel);

  // One TimerUpdate tick of the full window.
  void Tick();
  // Lines the diagnostic log got since the last call (their text after the tick columns).
  std::vector<std::string> NewLogLines();

  const std::string& LogPath() const noexcept { return m_LogPath; }
  int GeneTotal() const noexcept { return m_Options.Genes * m_Options.Groups; }
  std::int32_t PopHandle() const noexcept { return m_Pop; }
  void FreePopulation();

 private:
  Options m_Options;
  std::string m_LogPath;
  std::int32_t m_Pop = 0;
  std::unique_ptr<TrialLogWriter> m_Log;
  std::vector<double> m_Genes;
  std::size_t m_LogOffset = 0;
};

bool Contains(const std::vector<std::string>& lines, const std::string& line);
// Index of the first line equal to `line` at or after `from`; -1 when absent.
long IndexOf(const std::vector<std::string>& lines, const std::string& line, long from = 0);
// Whether `lines` hold each of `expected` in this order, with any others between them.
testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& expected);

}  // namespace corvana
