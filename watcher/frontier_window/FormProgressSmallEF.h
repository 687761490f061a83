#pragma once

#include <cstdint>
#include <string>

#include "watcher/controller/SmallWindow.h"
#include "watcher/progress_form/ProgressForm.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/ProgressBar.h"
#include "watcher/ui/TextBox.h"
#include "watcher/ui/Timer.h"

namespace corvana {

// The compact progress window of an efficient-frontier series: iteration, trial and run time of
// the optimization under way, the bar of the run's budget, and the run buttons. It shows no
// original or best value: each optimization of the series has its own.
class FormProgressSmallEF : public ProgressForm<SmallWindow> {
 public:
  explicit FormProgressSmallEF(ui::Platform& platform);
  ~FormProgressSmallEF() override;

  // Extra widths in twips for a language's longer texts: the captions and the text boxes.
  struct LanguageWidths {
    int Captions = 0;
    int TextBoxes = 0;
  };
  static LanguageWidths ExtraWidthsForLanguage(long languageId);

  // ---- SmallWindow ----
  void Initialize(WatcherManager& manager) override;
  void InitializeAfterFirstTrial() override {}
  void Update() override;
  void Dispose() override;
  void ApplyFormLocalization() override;
  void ControlsAfterStopClickedDisableEnable(bool enable) override;
  void UpdateRunPauseButtons() override;
  void SetExcelUpdateButtonState(bool) override {}  // this window has no such button

  // Writes True to channel 10 when the user has moved the window since the last look.
  void CheckWindowMoved();

  // ---- Events ----
  void CommandRun_Click();
  void CommandPause_Click();
  void CommandStop_Click();
  void CommandWatcher_Click();
  void TimerInitialization_Timer();
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);

  bool ProgressBarShown() const noexcept { return m_ProgressBarShown; }
  bool RunPauseStopInactive() const noexcept { return m_RunPauseStopInactive; }
  bool WatcherButtonInactive() const noexcept { return m_WatcherButtonInactive; }

 private:
  void ApplyRunStateConfig() override;
  void PlaceWindow();
  void HideProgressBar();
  void ApplyLanguageLayout();
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

 private:
  std::int32_t m_LastTop = 0;
  std::int32_t m_LastLeft = 0;
  std::int32_t m_PlacedTop = 0;
  std::int32_t m_PlacedLeft = 0;
  bool m_IgnoreButtonEvents = false;
  bool m_ExcelUpdateButtonInactive = false;  // kept as the single window keeps it; no button reads it
  bool m_RunPauseStopInactive = false;
  bool m_WatcherButtonInactive = false;
  bool m_ProgressBarShown = true;
  std::uint32_t m_StartTickCount = 0;
  double m_InitializationRemainder = 0.1;
};

}  // namespace corvana
