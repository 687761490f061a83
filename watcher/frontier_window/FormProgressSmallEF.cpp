#include "watcher/frontier_window/FormProgressSmallEF.h"

#include "common/ErrorTrap.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/ui/WindowUtilities.h"

namespace corvana {

using Utilities::GetResourceString;

FormProgressSmallEF::FormProgressSmallEF(ui::Platform& platform)
    : SmallProgressForm(platform, "FormProgressSmallEF") {
  LayOut({{&LabelTrial, &TextTrial}, {&LabelRuntime, &TextRuntime}},
         {{&CommandRun, ui::PictureKeys::kRun},
          {&CommandPause, ui::PictureKeys::kPause},
          {&CommandStop, ui::PictureKeys::kStop},
          {&CommandWatcher, ui::PictureKeys::kWatcher}});
}

FormProgressSmallEF::~FormProgressSmallEF() = default;

SmallWindowFigures::LanguageWidths FormProgressSmallEF::ExtraWidths() const {
  // One text-box column whatever the mode: a series has no constraint-solver run.
  switch (LanguageID()) {
    case 4: return {0, 900};
    case 7: return {300, 130};
    case 9: return {300, 0};
    case 10: return {0, 400};
    case 12: return {450, -80};
    case 17: return {100, 150};
    case 22: return {550, 30};
    case 25: return {400, 800};
    default: return {0, 0};
  }
}

void FormProgressSmallEF::Initialize(WatcherManager& manager) {
  // The buttons stay usable during a multi-process start-up: only the bar is animated.
  const ErrorInfo err = InitializeWindow(manager, {});
  if (!err) {
    Log("Exiting FormProgressSmallEF.Initialize without error");
    return;
  }
  const std::string text = "Error in FormProgressSmallEF.Initialize method: " + err.Description + " (" +
                           std::to_string(static_cast<std::int32_t>(err.Number)) + ")";
  Log(text);
  ResumeNext([&] { manager.DisplayMessage(text, false); });
}

void FormProgressSmallEF::ApplyFormLocalization() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ResumeNext([&] { ui::WindowUtilities::ApplyFormLocalization(m_Form); });
  ResumeNext([&] {
    GetResourceString(4124);  // fetched with the caption, never shown
    std::string caption = GetResourceString(4125);
    if (m.Input_MCoreNumWorkerProcesses > 1)
      caption += " " + GetResourceString(4127, Variant(m.Input_MCoreNumWorkerProcesses));
    m_Form.SetCaption(caption);
  });
  const auto caption = [](ui::Label& label, long id) {
    ResumeNext([&] { label.SetCaption(GetResourceString(id)); });
  };
  caption(LabelIteration, 4102);
  caption(LabelTrial, 4104);
  caption(LabelRuntime, 4105);
  const auto tip = [](ui::Button& button, long id) {
    ResumeNext([&] { button.SetToolTipText(GetResourceString(id)); });
  };
  tip(CommandWatcher, 4108);
  tip(CommandRun, 4110);
  tip(CommandPause, 4111);
  tip(CommandStop, 4112);
}

void FormProgressSmallEF::Update() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  RunCounts counts = ReadRunCounts();
  // The goals hold for each optimization of the series: the trials shown and the bar are those of
  // the optimization under way, not of the whole log.
  ResumeNext([&] {
    const auto underWay = static_cast<std::int32_t>(WatcherOLShared::GetEFNumOptimizationUnderWay());
    if (underWay < 1) return;
    std::int32_t trials = 0, steps = 0;
    if (GdLib::GdLogGetRecordCounts2WVB(m.Input_LogPath, trials, underWay, steps) != 0) return;
    counts.TrialShown = counts.LogTrials = counts.ValidTrials = trials;
  });
  ShowRunFigures(counts, false);
  CheckWindowMoved();
}

// Unlike the single window's, a click always moves the focus away, even when it starts nothing.
void FormProgressSmallEF::CommandRun_Click() {
  SendFocusAway();
  if (RunPauseStopActive()) ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgressSmallEF::CommandPause_Click() {
  SendFocusAway();
  if (RunPauseStopActive()) ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgressSmallEF::CommandStop_Click() {
  SendFocusAway();
  if (RunPauseStopActive()) ResumeNext([&] { m_Manager->CommandStopOptimization_ProcessClick(); });
}

}  // namespace corvana
