#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/ErrorTrap.h"
#include "watcher/controller/SmallWindow.h"
#include "watcher/progress_form/ProgressForm.h"
#include "watcher/small_window/SmallWindowFigures.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/ProgressBar.h"
#include "watcher/ui/TextBox.h"
#include "watcher/ui/Timer.h"

namespace corvana {

// What both compact progress windows do alike: the bar of the run's budget used, the iteration,
// trial and run-time figures, the run buttons, the start-up animation of a multi-process run and
// the window's place in the corner of the work area. Each window adds its own figures and buttons
// and says how its clicks and its start differ.
class SmallProgressForm : public ProgressForm<SmallWindow> {
 public:
  ~SmallProgressForm() override;

  // ---- SmallWindow ----
  void InitializeAfterFirstTrial() override {}
  void Dispose() override;
  void ControlsAfterStopClickedDisableEnable(bool enable) override;
  void UpdateRunPauseButtons() override;

  // Writes True to channel 10 when the user has moved the window since the last look.
  void CheckWindowMoved();

  // ---- Events ----
  virtual void CommandRun_Click() = 0;
  virtual void CommandPause_Click() = 0;
  virtual void CommandStop_Click() = 0;
  void CommandWatcher_Click();
  void TimerInitialization_Timer();
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);

  bool ProgressBarShown() const noexcept { return m_ProgressBarShown; }
  bool RunPauseStopInactive() const noexcept { return m_RunPauseStopInactive; }
  bool WatcherButtonInactive() const noexcept { return m_WatcherButtonInactive; }
  RunState Mode() const noexcept { return m_RunState; }

 protected:
  SmallProgressForm(ui::Platform& platform, const std::string& name);

  using FigureRow = std::pair<ui::Label*, ui::TextBox*>;
  using ButtonPicture = std::pair<ui::Button*, const char*>;
  // Places the figures in rows under the iteration (trial and run time first), the buttons left to
  // right in the bottom row, and sizes the window to hold them. Called once by each window's
  // constructor, after it has added its own controls.
  void LayOut(std::initializer_list<FigureRow> rows, std::initializer_list<ButtonPicture> buttons);

  // Steps of Initialize both windows share, with the window's own steps where they go; errors
  // trapped into the result.
  struct OwnInitializeSteps {
    std::function<void()> AfterLayout;
    std::function<void()> BeforeShowing;
  };
  ErrorInfo InitializeWindow(WatcherManager& manager, const OwnInitializeSteps& own);

  // The controller's counts for the figures; a window may narrow them before they are shown.
  struct RunCounts {
    double Iterations = 0;
    double TrialUnderWay = 0;
    double LogTrials = 0;
    double ValidTrials = 0;
    double Elapsed = 0;
    // The trial figure a window shows in place of the one chosen from the counts; the start-up
    // still ends with the trial the add-in reports under way.
    std::optional<double> TrialShown{};
  };
  RunCounts ReadRunCounts() const;
  // Iteration, the end of the start-up animation, the bar, trial and run time, with the goals.
  // `logTrialCount`: write the trial count to the diagnostic log before the bar.
  void ShowRunFigures(const RunCounts& counts, bool logTrialCount);
  // The start-up animation has ended with the first trial.
  virtual void StartUpEnded() {}
  // Extra widths of the captions and text boxes for the user's language.
  virtual SmallWindowFigures::LanguageWidths ExtraWidths() const = 0;

  void ApplyRunStateConfig() override;
  bool RunPauseStopActive() const noexcept;
  // No run button keeps a focus rectangle after it was used.
  void SendFocusAway();
  long LanguageID() const;

 public:
  // ---- Controls, under their own names ----
  ui::ProgressBar& vbalProgressBar;
  ui::Label& LabelIteration;
  ui::TextBox& TextIteration;
  ui::Frame& FrameBothGdAndCorvana;
  ui::Label& LabelTrial;
  ui::TextBox& TextTrial;
  ui::Label& LabelRuntime;
  ui::TextBox& TextRuntime;
  ui::Label& FrameDivider;
  ui::Frame& FrameBottom;
  ui::Button& CommandRun;
  ui::Button& CommandPause;
  ui::Button& CommandStop;
  ui::Button& CommandWatcher;
  ui::Button& CommandToSendFocusTo;
  ui::Timer& TimerInitialization;

 protected:
  bool m_IgnoreButtonEvents = false;
  bool m_ExcelUpdateButtonInactive = false;

 private:
  void ApplyLanguageLayout();
  void PlaceWindow();
  void HideProgressBar();

  std::vector<FigureRow> m_Rows;  // iteration first
  std::vector<ButtonPicture> m_Buttons;
  std::int32_t m_LastTop = 0;
  std::int32_t m_LastLeft = 0;
  std::int32_t m_PlacedTop = 0;
  std::int32_t m_PlacedLeft = 0;
  bool m_RunPauseStopInactive = false;
  bool m_WatcherButtonInactive = false;
  bool m_ProgressBarShown = true;
  std::uint32_t m_StartTickCount = 0;
  double m_InitializationRemainder = SmallWindowFigures::kInitialRemainder;
};

}  // namespace corvana
