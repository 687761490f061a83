#include "watcher/frontier_window/FormProgressSmallEF.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/small_window/SmallWindowFigures.h"
#include "watcher/ui/WindowUtilities.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {

namespace {

using Utilities::GetResourceString;

constexpr int kRowHeight = 380;
constexpr int kCaptionLeft = 120;
constexpr int kCaptionWidth = 1500;
constexpr int kTextLeft = 1680;
constexpr int kTextWidth = 2900;
constexpr int kClientWidth = kTextLeft + kTextWidth + 120;
constexpr int kBarSpace = 500;  // what the window loses when the bar is removed

// Languages whose initialization message goes into the iteration box rather than onto the bar.
bool LongInitializationMessage(long language) {
  return language == 25 || language == 4 || language == 17;
}

}  // namespace

FormProgressSmallEF::LanguageWidths FormProgressSmallEF::ExtraWidthsForLanguage(long languageId) {
  switch (languageId) {
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

FormProgressSmallEF::FormProgressSmallEF(ui::Platform& platform)
    : ProgressForm(platform, "FormProgressSmallEF"),
      vbalProgressBar(m_Form.Add<ui::ProgressBar>("vbalProgressBar")),
      LabelIteration(m_Form.Add<ui::Label>("LabelIteration")),
      TextIteration(m_Form.Add<ui::TextBox>("TextIteration")),
      FrameBothGdAndCorvana(m_Form.Add<ui::Frame>("FrameBothGdAndCorvana")),
      LabelTrial(m_Form.Add<ui::Label>("LabelTrial")),
      TextTrial(m_Form.Add<ui::TextBox>("TextTrial")),
      LabelRuntime(m_Form.Add<ui::Label>("LabelRuntime")),
      TextRuntime(m_Form.Add<ui::TextBox>("TextRuntime")),
      FrameDivider(m_Form.Add<ui::Label>("FrameDivider")),
      FrameBottom(m_Form.Add<ui::Frame>("FrameBottom")),
      CommandRun(m_Form.Add<ui::Button>("CommandRun")),
      CommandPause(m_Form.Add<ui::Button>("CommandPause")),
      CommandStop(m_Form.Add<ui::Button>("CommandStop")),
      CommandWatcher(m_Form.Add<ui::Button>("CommandWatcher")),
      CommandToSendFocusTo(m_Form.Add<ui::Button>("CommandToSendFocusTo")),
      TimerInitialization(m_Form.Add<ui::Timer>("TimerInitialization", 500, false)) {
  m_Form.SetBorderStyle(ui::BorderStyle::FixedToolWindow);
  m_Form.SetIconKey(ui::PictureKeys::kProgressIcon);

  vbalProgressBar.Move(120, 100, kClientWidth - 240, 340);
  LabelIteration.Move(kCaptionLeft, 640, kCaptionWidth, 255);
  TextIteration.Move(kTextLeft, 600, kTextWidth, 300);
  FrameBothGdAndCorvana.Move(0, 600 + kRowHeight, kClientWidth, 2 * kRowHeight);
  int row = 0;
  for (auto [label, text] : {std::pair{&LabelTrial, &TextTrial}, std::pair{&LabelRuntime, &TextRuntime}}) {
    label->SetContainer("FrameBothGdAndCorvana");
    text->SetContainer("FrameBothGdAndCorvana");
    label->Move(kCaptionLeft, row * kRowHeight + 40, kCaptionWidth, 255);
    text->Move(kTextLeft, row * kRowHeight, kTextWidth, 300);
    ++row;
  }
  for (auto* text : {&TextIteration, &TextTrial, &TextRuntime}) {
    text->SetLocked(true);
    text->SetAlignment(ui::Alignment::Right);
  }
  const int dividerTop = FrameBothGdAndCorvana.Top() + FrameBothGdAndCorvana.Height() + 40;
  FrameDivider.SetDivider(true);
  FrameDivider.Move(60, dividerTop, kClientWidth - 120, 30);
  FrameBottom.Move(0, dividerTop + 80, kClientWidth, 600);
  int left = 120;
  for (auto [button, key] :
       {std::pair{&CommandRun, ui::PictureKeys::kRun}, std::pair{&CommandPause, ui::PictureKeys::kPause},
        std::pair{&CommandStop, ui::PictureKeys::kStop},
        std::pair{&CommandWatcher, ui::PictureKeys::kWatcher}}) {
    button->SetContainer("FrameBottom");
    button->SetPictureKey(key);
    button->Move(left, 90, 600, 420);
    left += 660;
  }
  CommandToSendFocusTo.SetContainer("FrameBottom");
  CommandToSendFocusTo.SetVisible(false);
  m_Form.SetWidth(m_Form.Width() - m_Form.ScaleWidth() + kClientWidth);
  m_Form.SetHeight(m_Form.Height() - m_Form.ScaleHeight() + FrameBottom.Top() + FrameBottom.Height());

  CommandRun.Click = [this] { CommandRun_Click(); };
  CommandPause.Click = [this] { CommandPause_Click(); };
  CommandStop.Click = [this] { CommandStop_Click(); };
  CommandWatcher.Click = [this] { CommandWatcher_Click(); };
  TimerInitialization.Tick = [this] { TimerInitialization_Timer(); };
  m_Form.Load = [this] { Form_Load(); };
  m_Form.QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
}

FormProgressSmallEF::~FormProgressSmallEF() = default;

long FormProgressSmallEF::LanguageID() const {
  return g_ResourceServer ? g_ResourceServer->LanguageID() : 9;
}

void FormProgressSmallEF::Initialize(WatcherManager& manager) {
  m_Manager = &manager;
  m_IgnoreButtonEvents = true;
  Log("entering FormProgressSmallEF.Initialize");
  ErrorInfo err;
  ResumeNext(err, [&] {
    m_ProgressBarShown = true;
    m_InitializationRemainder = SmallWindowFigures::kInitialRemainder;
    vbalProgressBar.SetValue(0);
    vbalProgressBar.SetText("");
    ApplyLanguageLayout();
    if (!manager.Input_SuppressProgressWindow)
      ui::WindowUtilities::MakeTopMost(m_Form.GetPlatform(), m_Form.Id());
    GoToRunningConfig();
    Update();
    Log("FormProgressSmallEF.Initialize, Update method returned");
    if (!manager.Input_SuppressProgressWindow) {
      m_Form.Show(ui::ShowMode::Modeless);
      m_Form.Refresh();
    }
    m_LastTop = m_PlacedTop = m_Form.Top();
    m_LastLeft = m_PlacedLeft = m_Form.Left();
    m_StartTickCount = m_Form.GetPlatform().TickCount();
    // The buttons stay usable during a multi-process start-up: only the bar is animated.
    if (manager.Input_MCoreOptimization)
      TimerInitialization.SetEnabled(true);
    else if (manager.Input_Runtime_TrialCount <= 0 && manager.Input_Runtime_Milliseconds <= 0)
      HideProgressBar();
  });
  m_IgnoreButtonEvents = false;
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

void FormProgressSmallEF::ApplyLanguageLayout() {
  ApplyFormLocalization();
  FrameBothGdAndCorvana.SetBorderVisible(false);
  FrameBottom.SetBorderVisible(false);
  const LanguageWidths extra = ExtraWidthsForLanguage(LanguageID());
  const int both = extra.Captions + extra.TextBoxes;
  if (both == 0) return;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&FrameBothGdAndCorvana, &FrameBottom,
                                                            &vbalProgressBar, &FrameDivider})
    c->SetWidth(c->Width() + both);
  m_Form.SetWidth(m_Form.Width() + both);
  for (auto* button : {&CommandRun, &CommandPause, &CommandStop, &CommandWatcher})
    button->SetLeft(button->Left() + both);
  for (auto* label : {&LabelIteration, &LabelTrial, &LabelRuntime})
    label->SetWidth(label->Width() + extra.Captions);
  for (auto* text : {&TextIteration, &TextTrial, &TextRuntime}) {
    text->SetLeft(text->Left() + extra.Captions);
    text->SetWidth(text->Width() + extra.TextBoxes);
  }
}

void FormProgressSmallEF::Dispose() {
  TimerInitialization.SetEnabled(false);
  m_Manager = nullptr;
}

void FormProgressSmallEF::ApplyRunStateConfig() {
  m_IgnoreButtonEvents = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_Form.Refresh();
  m_IgnoreButtonEvents = false;
}

void FormProgressSmallEF::ControlsAfterStopClickedDisableEnable(bool enable) {
  for (auto [button, key] :
       {std::pair{&CommandRun, ui::PictureKeys::kRun}, std::pair{&CommandPause, ui::PictureKeys::kPause},
        std::pair{&CommandStop, ui::PictureKeys::kStop},
        std::pair{&CommandWatcher, ui::PictureKeys::kWatcher}})
    button->SetPictureKey(enable ? std::string(key) : ui::GreyPicture(key));
  m_ExcelUpdateButtonInactive = !enable;
  m_RunPauseStopInactive = !enable;
  m_WatcherButtonInactive = !enable;
}

void FormProgressSmallEF::UpdateRunPauseButtons() {
  const bool inactive = m_RunPauseStopInactive;
  m_RunPauseStopInactive = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_RunPauseStopInactive = inactive;
}

void FormProgressSmallEF::PlaceWindow() {
  // On the screen that holds the add-in's window, where the user is looking.
  const auto host =
      m_Manager ? static_cast<ui::WindowId>(static_cast<std::uint32_t>(m_Manager->Input_ExcelAppHwnd)) : 0;
  const ui::Rect area = m_Form.GetPlatform().WorkArea(host);
  m_Form.SetLeft(area.Left + 100);
  m_Form.SetTop(area.Top + area.Height - m_Form.Height() - 100);
}

void FormProgressSmallEF::HideProgressBar() {
  vbalProgressBar.SetVisible(false);
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &LabelIteration, &TextIteration, &FrameBothGdAndCorvana, &FrameDivider, &FrameBottom})
    c->SetTop(c->Top() - kBarSpace);
  m_Form.SetHeight(m_Form.Height() - kBarSpace);
  m_ProgressBarShown = false;
  // Keep the bottom margin unless the user has put the window elsewhere.
  if (m_Form.Top() == m_PlacedTop && m_Form.Left() == m_PlacedLeft) {
    PlaceWindow();
    m_PlacedTop = m_LastTop = m_Form.Top();
    m_PlacedLeft = m_LastLeft = m_Form.Left();
  }
}

void FormProgressSmallEF::CheckWindowMoved() {
  if (m_Form.Top() == m_LastTop && m_Form.Left() == m_LastLeft) return;
  ResumeNext([&] { GdLib::GdWriteTempData(ChannelWatcherWindowChanged, Variant(true), 2); });
  m_LastTop = m_Form.Top();
  m_LastLeft = m_Form.Left();
}

void FormProgressSmallEF::Update() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  const bool multiProcess = m.Input_MCoreOptimization;
  double numIterations = 0, numTrialUnderWay = 0, logTrialCount = 0, validTrialCount = 0, elapsed = 0;
  ResumeNext([&] { numIterations = m.NumIterations(); });
  ResumeNext([&] { numTrialUnderWay = m.NumTrialUnderWay(); });
  ResumeNext([&] { logTrialCount = m.LogTrialCount(); });
  ResumeNext([&] { validTrialCount = m.LogValidTrialCount(); });
  ResumeNext([&] { elapsed = m.ElapsedTicks(); });
  // The goals hold for each optimization of the series: the trials shown and the bar are those of
  // the optimization under way, not of the whole log.
  ResumeNext([&] {
    const auto underWay = static_cast<std::int32_t>(WatcherOLShared::GetEFNumOptimizationUnderWay());
    if (underWay < 1) return;
    std::int32_t trials = 0, steps = 0;
    if (GdLib::GdLogGetRecordCounts2WVB(m.Input_LogPath, trials, underWay, steps) != 0) return;
    numTrialUnderWay = trials;
    logTrialCount = validTrialCount = trials;
  });

  SmallWindowFigures::IterationAndTrial figures;
  ResumeNext([&] {
    figures = SmallWindowFigures::SelectIterationAndTrial(
        multiProcess, numIterations, numTrialUnderWay, logTrialCount,
        !multiProcess && numIterations == 0 && logTrialCount != 0 ? m.NumIterationsInCompletedSimulation()
                                                                  : 0);
  });
  std::string iterationText = DoubleToText(figures.Iteration);
  if (m.Input_Runtime_NumIterations > 0)
    ResumeNext([&] {
      iterationText = GetResourceString(4118, Variant(iterationText), Variant(m.Input_Runtime_NumIterations));
    });
  if (!(multiProcess && TimerInitialization.Enabled() && LongInitializationMessage(LanguageID())))
    TextIteration.SetText(iterationText);

  // No buttons were greyed for the start-up: its end only stops the animation.
  const bool noGoal = m.Input_Runtime_TrialCount <= 0 && m.Input_Runtime_Milliseconds <= 0;
  if (TimerInitialization.Enabled() && (numTrialUnderWay > 0 || numIterations > 0)) {
    TimerInitialization.SetEnabled(false);
    if (noGoal && m_ProgressBarShown) HideProgressBar();
  }

  if (vbalProgressBar.Visible() && !TimerInitialization.Enabled()) {
    const double percent = SmallWindowFigures::ProgressPercent(logTrialCount, m.Input_Runtime_TrialCount,
                                                               elapsed, m.Input_Runtime_Milliseconds);
    if (percent > 0) {
      vbalProgressBar.SetValue(SmallWindowFigures::BarValue(percent));
      vbalProgressBar.SetText(SmallWindowFigures::PercentText(percent));
    }
  }

  std::string trialText = DoubleToText(figures.Trial);
  if (logTrialCount != validTrialCount)
    ResumeNext([&] { trialText = GetResourceString(4119, Variant(trialText), Variant(validTrialCount)); });
  std::string runtimeText;
  ResumeNext([&] { runtimeText = Utilities::FormatElapsedTime(elapsed); });
  if (m.Input_Runtime_TrialCount <= 0) {
    if (m.Input_Runtime_Milliseconds > 0)
      ResumeNext([&] {
        runtimeText = GetResourceString(4121, Variant(runtimeText),
                                        Variant(Utilities::FormatElapsedTime(m.Input_Runtime_Milliseconds)));
      });
  } else {
    ResumeNext([&] {
      trialText = GetResourceString(4120, Variant(trialText), Variant(m.Input_Runtime_TrialCount));
    });
  }
  TextTrial.SetText(trialText);
  TextRuntime.SetText(runtimeText);
  CheckWindowMoved();
}

void FormProgressSmallEF::TimerInitialization_Timer() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  std::int32_t status = 0;
  ResumeNext([&] { status = GdLib::GdPopGetRunStatus(m.Input_PopHandle); });
  if (status == GdRunStatusPaused) return;
  const double duration = m.Input_MCoreOptimization ? SmallWindowFigures::kInitializationMsMultiProcess
                                                    : SmallWindowFigures::kInitializationMsSingle;
  const double elapsed = static_cast<double>(m_Form.GetPlatform().TickCount() - m_StartTickCount);
  const double percent =
      SmallWindowFigures::InitializationPercent(elapsed, duration, m_InitializationRemainder);
  if (percent <= 0) return;
  vbalProgressBar.SetValue(SmallWindowFigures::BarValue(percent));
  std::string message;
  ResumeNext([&] { message = GetResourceString(4126); });
  if (LongInitializationMessage(LanguageID())) {
    vbalProgressBar.SetText(SmallWindowFigures::PercentText(percent));
    TextIteration.SetText(message);
  } else {
    vbalProgressBar.SetText(message + SmallWindowFigures::PercentText(percent));
  }
}

void FormProgressSmallEF::CommandRun_Click() {
  if (m_IgnoreButtonEvents || m_RunPauseStopInactive || !m_Manager) return;
  ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgressSmallEF::CommandPause_Click() {
  if (m_IgnoreButtonEvents || m_RunPauseStopInactive || !m_Manager) return;
  ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgressSmallEF::CommandStop_Click() {
  if (m_IgnoreButtonEvents || m_RunPauseStopInactive || !m_Manager) return;
  ResumeNext([&] { m_Manager->CommandStopOptimization_ProcessClick(); });
}

void FormProgressSmallEF::CommandWatcher_Click() {
  if (m_WatcherButtonInactive || !m_Manager) return;
  ResumeNext([&] { m_Manager->SwitchToWatcherWindow(); });
}

void FormProgressSmallEF::Form_Load() {
  ResumeNext([&] { ui::WindowUtilities::SetFormIcon(m_Form); });
  PlaceWindow();
}

void FormProgressSmallEF::Form_QueryUnload(bool& cancel, int unloadMode) {
  // The user cannot close it; the manager unloads it.
  if (unloadMode == ui::kUnloadFormControlMenu || unloadMode == ui::kUnloadAppTaskManager) cancel = true;
}

}  // namespace corvana
