#include "watcher/small_window/FormProgressSmall.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/WindowUtilities.h"

namespace corvana {

using Utilities::GetResourceString;

FormProgressSmall::FormProgressSmall(ui::Platform& platform)
    : SmallProgressForm(platform, "FormProgressSmall"),
      LabelOriginal(m_Form.Add<ui::Label>("LabelOriginal")),
      TextOriginal(m_Form.Add<ui::TextBox>("TextOriginal")),
      LabelBest(m_Form.Add<ui::Label>("LabelBest")),
      TextBest(m_Form.Add<ui::TextBox>("TextBest")),
      CommandExcelUpdate(m_Form.Add<ui::Button>("CommandExcelUpdate")) {
  LayOut({{&LabelTrial, &TextTrial},
          {&LabelRuntime, &TextRuntime},
          {&LabelOriginal, &TextOriginal},
          {&LabelBest, &TextBest}},
         {{&CommandRun, ui::PictureKeys::kRun},
          {&CommandPause, ui::PictureKeys::kPause},
          {&CommandStop, ui::PictureKeys::kStop},
          {&CommandExcelUpdate, ui::PictureKeys::kExcelUpdate},
          {&CommandWatcher, ui::PictureKeys::kWatcher}});
  CommandExcelUpdate.Click = [this] { CommandExcelUpdate_Click(); };
  CommandExcelUpdate.MouseUp = [this](int button, int, int x, int y) {
    if (button != ui::kRightButton) return;
    ResumeNext([&] {
      ProcessMenuCommand(
          m_Form.GetPlatform().ShowPopupMenu(m_ExcelUpdatingMenu, m_Form, &CommandExcelUpdate, x, y));
    });
  };
}

FormProgressSmall::~FormProgressSmall() = default;

void FormProgressSmall::Initialize(WatcherManager& manager) {
  const ErrorInfo err = InitializeWindow(manager, {.AfterLayout =
                                                       [&] {
                                                         // The Excel-updating button is never shown in this
                                                         // window.
                                                         CommandWatcher.SetLeft(CommandExcelUpdate.Left());
                                                         CommandExcelUpdate.SetVisible(false);
                                                       },
                                                   .BeforeShowing =
                                                       [&] {
                                                         // A multi-process run starts with every button grey
                                                         // until its first trial.
                                                         if (manager.Input_MCoreOptimization)
                                                           ControlsAfterStopClickedDisableEnable(false);
                                                       }});
  if (!err) return;
  const std::string text = "Error in FormProgressSmall.Initialize method: " + err.Description + " (" +
                           std::to_string(static_cast<std::int32_t>(err.Number)) + ")";
  Log(text);
  RaiseApplicationError("FormProgressSmall.Initialize", text);
}

SmallWindowFigures::LanguageWidths FormProgressSmall::ExtraWidths() const {
  return SmallWindowFigures::ExtraWidthsForLanguage(LanguageID(),
                                                    m_Manager && m_Manager->Input_ConstraintSolverMode);
}

void FormProgressSmall::ApplyFormLocalization() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ResumeNext([&] { ui::WindowUtilities::ApplyFormLocalization(m_Form); });
  ResumeNext([&] {
    std::string caption;
    if (m.Input_ConstraintSolverMode) {
      caption = GetResourceString(4123);
    } else {
      caption = GetResourceString(4100);
      if (m.Input_MCoreNumWorkerProcesses > 1)
        caption += " " + GetResourceString(4127, Variant(m.Input_MCoreNumWorkerProcesses));
    }
    m_Form.SetCaption(caption);
  });
  const auto caption = [](ui::Label& label, long id) {
    ResumeNext([&] { label.SetCaption(GetResourceString(id)); });
  };
  caption(LabelIteration, 4102);
  caption(LabelTrial, 4104);
  caption(LabelRuntime, 4105);
  caption(LabelOriginal, 4106);
  caption(LabelBest, 4107);
  const auto tip = [](ui::Button& button, long id) {
    ResumeNext([&] { button.SetToolTipText(GetResourceString(id)); });
  };
  tip(CommandWatcher, 4108);
  tip(CommandExcelUpdate, 4122);
  tip(CommandRun, 4110);
  tip(CommandPause, 4111);
  tip(CommandStop, 4112);
  m_ExcelUpdatingMenu.Clear();
  for (auto [key, id] : {std::pair{"mnuExcelUpdating_On", 4114}, std::pair{"mnuExcelUpdating_Best", 4116},
                         std::pair{"mnuExcelUpdating_Off", 4117}}) {
    std::string text;
    ResumeNext([&] { text = GetResourceString(id); });
    m_ExcelUpdatingMenu.AddItem(key, text);
  }
}

void FormProgressSmall::StartUpEnded() {
  ControlsAfterStopClickedDisableEnable(true);
}

void FormProgressSmall::SetExcelUpdateButtonState(bool pressed) {
  const bool inactive = m_ExcelUpdateButtonInactive;
  m_ExcelUpdateButtonInactive = true;
  CommandExcelUpdate.SetPressed(pressed);
  m_ExcelUpdateButtonInactive = inactive;
}

void FormProgressSmall::Update() {
  Log("FormProgressSmall.Update: Entering");
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ShowRunFigures(ReadRunCounts(), true);
  const auto valueText = [&](double value) {
    return m.Input_ConstraintSolverMode ? Utilities::ConstraintSolverValueText(value, true)
                                        : m.FormatTargetValue(value);
  };
  ResumeNext([&] { TextOriginal.SetText(valueText(m.OriginalObjectiveValue())); });
  ResumeNext([&] { TextBest.SetText(valueText(m.BestObjectiveValue())); });
  CheckWindowMoved();
  Log("FormProgressSmall.Update: Exiting");
}

void FormProgressSmall::CommandRun_Click() {
  if (!RunPauseStopActive()) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgressSmall::CommandPause_Click() {
  if (!RunPauseStopActive()) return;
  SendFocusAway();
  ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgressSmall::CommandStop_Click() {
  if (!RunPauseStopActive()) return;
  Log("FormProgressSmall.CommandStop_Click: Entering");
  ErrorInfo err;
  ResumeNext(err, [&] {
    SendFocusAway();
    Log("FormProgress.CommandStop_Click: SendFocusAway returned");
    m_Manager->CommandStopOptimization_ProcessClick();
    Log("FormProgress.CommandStop_Click: m_Manager.CommandStopOptimization_ProcessClick returned");
  });
  Log(err ? "FormProgressSmall.CommandStop_Click: exiting with error"
          : "FormProgressSmall.CommandStop_Click: exiting without error");
}

void FormProgressSmall::CommandExcelUpdate_Click() {
  if (m_ExcelUpdateButtonInactive || !m_Manager) return;
  ResumeNext([&] {
    const bool pressed = !CommandExcelUpdate.Pressed();
    m_ExcelUpdateButtonInactive = true;
    CommandExcelUpdate.SetPressed(pressed);
    m_ExcelUpdateButtonInactive = false;
    m_Manager->SetWatcherExcelUpdateButtonState(pressed);
  });
}

void FormProgressSmall::ProcessMenuCommand(const std::string& p_Key) {
  ChooseExcelUpdating(p_Key);
}

}  // namespace corvana
