#include "watcher/small_window/SmallProgressForm.h"

#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
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

SmallProgressForm::SmallProgressForm(ui::Platform& platform, const std::string& name)
    : ProgressForm(platform, name),
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
  CommandRun.Click = [this] { CommandRun_Click(); };
  CommandPause.Click = [this] { CommandPause_Click(); };
  CommandStop.Click = [this] { CommandStop_Click(); };
  CommandWatcher.Click = [this] { CommandWatcher_Click(); };
  TimerInitialization.Tick = [this] { TimerInitialization_Timer(); };
  m_Form.Load = [this] { Form_Load(); };
  m_Form.QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
}

SmallProgressForm::~SmallProgressForm() = default;

void SmallProgressForm::LayOut(std::initializer_list<FigureRow> rows,
                               std::initializer_list<ButtonPicture> buttons) {
  vbalProgressBar.Move(120, 100, kClientWidth - 240, 340);
  LabelIteration.Move(kCaptionLeft, 640, kCaptionWidth, 255);
  TextIteration.Move(kTextLeft, 600, kTextWidth, 300);
  FrameBothGdAndCorvana.Move(0, 600 + kRowHeight, kClientWidth, static_cast<int>(rows.size()) * kRowHeight);
  m_Rows = {{&LabelIteration, &TextIteration}};
  int row = 0;
  for (auto [label, text] : rows) {
    label->SetContainer("FrameBothGdAndCorvana");
    text->SetContainer("FrameBothGdAndCorvana");
    label->Move(kCaptionLeft, row * kRowHeight + 40, kCaptionWidth, 255);
    text->Move(kTextLeft, row * kRowHeight, kTextWidth, 300);
    m_Rows.emplace_back(label, text);
    ++row;
  }
  for (auto [label, text] : m_Rows) {
    text->SetLocked(true);
    text->SetAlignment(ui::Alignment::Right);
  }
  const int dividerTop = FrameBothGdAndCorvana.Top() + FrameBothGdAndCorvana.Height() + 40;
  FrameDivider.SetDivider(true);
  FrameDivider.Move(60, dividerTop, kClientWidth - 120, 30);
  FrameBottom.Move(0, dividerTop + 80, kClientWidth, 600);
  m_Buttons.assign(buttons);
  int left = 120;
  for (auto [button, key] : m_Buttons) {
    button->SetContainer("FrameBottom");
    button->SetPictureKey(key);
    button->Move(left, 90, 600, 420);
    left += 660;
  }
  CommandToSendFocusTo.SetContainer("FrameBottom");
  CommandToSendFocusTo.SetVisible(false);
  m_Form.SetWidth(m_Form.Width() - m_Form.ScaleWidth() + kClientWidth);
  m_Form.SetHeight(m_Form.Height() - m_Form.ScaleHeight() + FrameBottom.Top() + FrameBottom.Height());
}

long SmallProgressForm::LanguageID() const {
  return g_ResourceServer ? g_ResourceServer->LanguageID() : 9;
}

ErrorInfo SmallProgressForm::InitializeWindow(WatcherManager& manager, const OwnInitializeSteps& own) {
  m_Manager = &manager;
  m_IgnoreButtonEvents = true;
  m_ProgressBarShown = true;
  m_InitializationRemainder = SmallWindowFigures::kInitialRemainder;
  Log("entering " + m_Form.Name() + ".Initialize");
  ErrorInfo err;
  ResumeNext(err, [&] {
    vbalProgressBar.SetValue(0);
    vbalProgressBar.SetText("");
    ApplyLanguageLayout();
    if (own.AfterLayout) own.AfterLayout();
    if (!manager.Input_SuppressProgressWindow)
      ui::WindowUtilities::MakeTopMost(m_Form.GetPlatform(), m_Form.Id());
    GoToRunningConfig();
    Update();
    Log(m_Form.Name() + ".Initialize, Update method returned");
    if (own.BeforeShowing) own.BeforeShowing();
    if (!manager.Input_SuppressProgressWindow) {
      m_Form.Show(ui::ShowMode::Modeless);
      m_Form.Refresh();
    }
    m_LastTop = m_PlacedTop = m_Form.Top();
    m_LastLeft = m_PlacedLeft = m_Form.Left();
    m_StartTickCount = m_Form.GetPlatform().TickCount();
    if (manager.Input_MCoreOptimization)
      TimerInitialization.SetEnabled(true);
    else if (manager.Input_Runtime_TrialCount <= 0 && manager.Input_Runtime_Milliseconds <= 0)
      HideProgressBar();
  });
  m_IgnoreButtonEvents = false;
  return err;
}

void SmallProgressForm::ApplyLanguageLayout() {
  ApplyFormLocalization();
  FrameBothGdAndCorvana.SetBorderVisible(false);
  FrameBottom.SetBorderVisible(false);
  const auto extra = ExtraWidths();
  const int both = extra.Captions + extra.TextBoxes;
  if (both == 0) return;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&FrameBothGdAndCorvana, &FrameBottom,
                                                            &vbalProgressBar, &FrameDivider})
    c->SetWidth(c->Width() + both);
  m_Form.SetWidth(m_Form.Width() + both);
  for (auto [button, key] : m_Buttons) button->SetLeft(button->Left() + both);
  for (auto [label, text] : m_Rows) {
    label->SetWidth(label->Width() + extra.Captions);
    text->SetLeft(text->Left() + extra.Captions);
    text->SetWidth(text->Width() + extra.TextBoxes);
  }
}

void SmallProgressForm::Dispose() {
  TimerInitialization.SetEnabled(false);
  m_Manager = nullptr;
}

void SmallProgressForm::ApplyRunStateConfig() {
  m_IgnoreButtonEvents = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_Form.Refresh();
  m_IgnoreButtonEvents = false;
}

void SmallProgressForm::ControlsAfterStopClickedDisableEnable(bool enable) {
  for (auto [button, key] : m_Buttons)
    button->SetPictureKey(enable ? std::string(key) : ui::GreyPicture(key));
  m_ExcelUpdateButtonInactive = !enable;
  m_RunPauseStopInactive = !enable;
  m_WatcherButtonInactive = !enable;
}

void SmallProgressForm::UpdateRunPauseButtons() {
  // Active afterwards whatever it was before: the controller calls this once the buttons count again.
  m_RunPauseStopInactive = true;
  PressRunPauseButtons(CommandRun, CommandPause);
  m_RunPauseStopInactive = false;
}

void SmallProgressForm::PlaceWindow() {
  // On the screen that holds the add-in's window, where the user is looking.
  const auto host =
      m_Manager ? static_cast<ui::WindowId>(static_cast<std::uint32_t>(m_Manager->Input_ExcelAppHwnd)) : 0;
  const ui::Rect area = m_Form.GetPlatform().WorkArea(host);
  m_Form.SetLeft(area.Left + 100);
  m_Form.SetTop(area.Top + area.Height - m_Form.Height() - 100);
}

void SmallProgressForm::HideProgressBar() {
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

void SmallProgressForm::CheckWindowMoved() {
  if (m_Form.Top() == m_LastTop && m_Form.Left() == m_LastLeft) return;
  ResumeNext([&] { GdLib::GdWriteTempData(ChannelWatcherWindowChanged, Variant(true), 2); });
  m_LastTop = m_Form.Top();
  m_LastLeft = m_Form.Left();
}

SmallProgressForm::RunCounts SmallProgressForm::ReadRunCounts() const {
  RunCounts c;
  if (!m_Manager) return c;
  WatcherManager& m = *m_Manager;
  ResumeNext([&] { c.Iterations = m.NumIterations(); });
  ResumeNext([&] { c.TrialUnderWay = m.NumTrialUnderWay(); });
  ResumeNext([&] { c.LogTrials = m.LogTrialCount(); });
  ResumeNext([&] { c.ValidTrials = m.LogValidTrialCount(); });
  ResumeNext([&] { c.Elapsed = m.ElapsedTicks(); });
  return c;
}

void SmallProgressForm::ShowRunFigures(const RunCounts& c, bool logTrialCount) {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  const bool multiProcess = m.Input_MCoreOptimization;
  SmallWindowFigures::IterationAndTrial figures;
  ResumeNext([&] {
    figures = SmallWindowFigures::SelectIterationAndTrial(
        multiProcess, c.Iterations, c.TrialUnderWay, c.LogTrials,
        !multiProcess && c.Iterations == 0 && c.LogTrials != 0 ? m.NumIterationsInCompletedSimulation() : 0);
  });
  if (c.TrialShown) figures.Trial = *c.TrialShown;

  std::string iterationText = DoubleToText(figures.Iteration);
  if (m.Input_Runtime_NumIterations > 0)
    ResumeNext([&] {
      iterationText = GetResourceString(4118, Variant(iterationText), Variant(m.Input_Runtime_NumIterations));
    });
  if (!(multiProcess && TimerInitialization.Enabled() && LongInitializationMessage(LanguageID())))
    TextIteration.SetText(iterationText);

  const bool noGoal = m.Input_Runtime_TrialCount <= 0 && m.Input_Runtime_Milliseconds <= 0;
  if (TimerInitialization.Enabled() && (c.TrialUnderWay > 0 || c.Iterations > 0)) {
    TimerInitialization.SetEnabled(false);
    StartUpEnded();
    if (noGoal && m_ProgressBarShown) HideProgressBar();
  }

  if (vbalProgressBar.Visible() && !TimerInitialization.Enabled()) {
    if (logTrialCount && m.Input_Runtime_TrialCount > 0) Log("PROBLEMX: " + DoubleToText(c.LogTrials));
    const double percent = SmallWindowFigures::ProgressPercent(c.LogTrials, m.Input_Runtime_TrialCount,
                                                               c.Elapsed, m.Input_Runtime_Milliseconds);
    if (percent > 0) {
      vbalProgressBar.SetValue(SmallWindowFigures::BarValue(percent));
      vbalProgressBar.SetText(SmallWindowFigures::PercentText(percent));
    }
  }

  std::string trialText = DoubleToText(figures.Trial);
  if (c.LogTrials != c.ValidTrials)
    ResumeNext([&] { trialText = GetResourceString(4119, Variant(trialText), Variant(c.ValidTrials)); });
  std::string runtimeText;
  ResumeNext([&] { runtimeText = Utilities::FormatElapsedTime(c.Elapsed); });
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
}

void SmallProgressForm::TimerInitialization_Timer() {
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

bool SmallProgressForm::RunPauseStopActive() const noexcept {
  return !m_IgnoreButtonEvents && !m_RunPauseStopInactive && m_Manager;
}

void SmallProgressForm::SendFocusAway() {
  CommandToSendFocusTo.SetFocus();
}

void SmallProgressForm::CommandWatcher_Click() {
  if (m_WatcherButtonInactive || !m_Manager) return;
  ResumeNext([&] { m_Manager->SwitchToWatcherWindow(); });
}

void SmallProgressForm::Form_Load() {
  ResumeNext([&] { ui::WindowUtilities::SetFormIcon(m_Form); });
  PlaceWindow();
}

void SmallProgressForm::Form_QueryUnload(bool& cancel, int unloadMode) {
  // The user cannot close it; the manager unloads it.
  if (unloadMode == ui::kUnloadFormControlMenu || unloadMode == ui::kUnloadAppTaskManager) cancel = true;
}

}  // namespace corvana
