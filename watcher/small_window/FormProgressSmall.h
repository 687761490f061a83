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

// The compact progress window shown while a single optimization runs: five figures, a bar of the
// run's budget used, and the run buttons. Every figure comes from the manager; every click goes
// to it.
class FormProgressSmall : public ProgressForm<SmallWindow> {
 public:
  explicit FormProgressSmall(ui::Platform& platform);
  ~FormProgressSmall() override;

  // ---- SmallWindow ----
  void Initialize(WatcherManager& manager) override;
  void InitializeAfterFirstTrial() override {}
  void Update() override;
  void Dispose() override;
  void ApplyFormLocalization() override;
  void ControlsAfterStopClickedDisableEnable(bool enable) override;
  void UpdateRunPauseButtons() override;
  void SetExcelUpdateButtonState(bool pressed) override;

  // Writes True to channel 10 when the user has moved the window since the last look.
  void CheckWindowMoved();
  void ProcessMenuCommand(const std::string& p_Key);

  // ---- Events ----
  void CommandRun_Click();
  void CommandPause_Click();
  void CommandStop_Click();
  void CommandWatcher_Click();
  void CommandExcelUpdate_Click();
  void TimerInitialization_Timer();
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);

  bool ProgressBarShown() const noexcept { return m_ProgressBarShown; }
  bool RunPauseStopInactive() const noexcept { return m_RunPauseStopInactive; }
  bool WatcherButtonInactive() const noexcept { return m_WatcherButtonInactive; }
  RunState Mode() const noexcept { return m_RunState; }

 private:
  void ApplyRunStateConfig() override;
  void PlaceWindow();
  void SendFocusAway();
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
  ui::Label& LabelOriginal;
  ui::TextBox& TextOriginal;
  ui::Label& LabelBest;
  ui::TextBox& TextBest;
  ui::Label& FrameDivider;
  ui::Frame& FrameBottom;
  ui::Button& CommandRun;
  ui::Button& CommandPause;
  ui::Button& CommandStop;
  ui::Button& CommandExcelUpdate;
  ui::Button& CommandWatcher;
  ui::Button& CommandToSendFocusTo;
  ui::Timer& TimerInitialization;

 private:
  std::int32_t m_LastTop = 0;
  std::int32_t m_LastLeft = 0;
  std::int32_t m_PlacedTop = 0;
  std::int32_t m_PlacedLeft = 0;
  bool m_IgnoreButtonEvents = false;
  bool m_ExcelUpdateButtonInactive = false;
  bool m_RunPauseStopInactive = false;
  bool m_WatcherButtonInactive = false;
  bool m_ProgressBarShown = true;
  std::uint32_t m_StartTickCount = 0;
  double m_InitializationRemainder = 0.1;
};

}  // namespace corvana
