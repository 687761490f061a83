#include "watcher/watcher_window/FormProgress.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <tuple>

#include "common/ErrorTrap.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/graph/OGrGraph.h"
#include "watcher/rate_dialog/FormRate.h"
#include "watcher/ui/WindowUtilities.h"

// The genetic-algorithm parameters under the summary: the crossover and mutation rates the engine
// uses, changed live for every group of the population.

namespace corvana {

namespace {

constexpr int kRateMaximum = 100;
// Crossover never stops altogether.
constexpr double kLowestCrossoverRate = 0.01;
constexpr const char* kAutoPrefix = "Auto=";

int RatePosition(double rate, const ui::ScrollBar& bar) {
  if (!std::isfinite(rate)) return bar.Min();
  return std::clamp(static_cast<int>(std::lround(rate * bar.Max())), bar.Min(), bar.Max());
}

std::string RateText(double rate) {
  return WatcherOLShared::FormatNumberDefault(rate).ToString();
}

// The rate a rate text shows ("Auto=" aside); false when it shows none.
bool RateOfText(std::string text, double& rate) {
  if (text.rfind(kAutoPrefix, 0) == 0) text.erase(0, std::string(kAutoPrefix).size());
  return FormRate::ParseRate(text, rate);
}

}  // namespace

void FormProgress::GeneticParameters_Construct() {
  for (auto* bar : {&ScrollCrossover, &ScrollMutation}) {
    bar->SetMin(0);
    bar->SetMax(kRateMaximum);
    bar->SetLargeChange(10);
    bar->SetSmallChange(1);
  }
  TextCrossover.SetFlat(true);
  TextMutation.SetFlat(true);
  TextCrossover.SetLocked(true);
  TextMutation.SetLocked(true);
  // The buttons open the rate dialog; its prompt names the rate.
  CommandCrossover.SetCaption("...");
  CommandMutation.SetCaption("...");
  ScrollCrossover.Change = [this] { ScrollCrossover_Change(); };
  ScrollMutation.Change = [this] { ScrollMutation_Change(); };
  CommandCrossover.Click = [this] { CommandCrossover_Click(); };
  CommandMutation.Click = [this] { CommandMutation_Click(); };
}

void FormProgress::GeneticParameters_SetVisible(bool visible) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &LabelGeneticAlgorithmParameters, &FrameGroupSettingsDivider, &LabelCrossoverRate,
           &ScrollCrossover, &TextCrossover, &CommandCrossover, &LabelMutationRate, &ScrollMutation,
           &TextMutation, &CommandMutation})
    c->SetVisible(visible);
}

void FormProgress::GeneticParameters_Initialize() {
  GeneticParameters_Update();
}

void FormProgress::GeneticParameters_ShowMutationText(double rate) {
  const bool isAuto = m_Manager && m_Manager->Input_GAMutationIsAuto;
  TextMutation.SetText((isAuto ? kAutoPrefix : "") + RateText(rate));
}

void FormProgress::GeneticParameters_Update() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  const std::int32_t pop = m.Input_PopHandle;
  const std::string handle = std::to_string(pop);
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ErrorInfo err;
  Log("GeneticParameters_Update: about to call GdPopLock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopLock(pop); });
  Log("GeneticParameters_Update: GdPopLock returned");
  // Nothing between the lock and the unlock leaves the procedure: every failure is trapped.
  ResumeNext(err, [&] {
    const bool editable = !m.Input_GAMutationIsAuto && m_RunState != RunState::Stopping;
    if (ScrollMutation.Enabled() != editable) ScrollMutation.SetEnabled(editable);
    if (CommandMutation.Enabled() != editable) CommandMutation.SetEnabled(editable);

    double mutation = 0;
    bool mutationRead = false;
    if (m.Input_GAMutationIsAuto) {
      mutationRead = GdLib::GdChrGetCurrentMutationRate(pop, 1, mutation) == 0;
    } else {
      bool isAuto = false;
      const std::int16_t rc = GdLib::GdChrGetMutationMode(pop, 1, isAuto, mutation);
      if (rc != 0) GdLib::LogGdLibError("GeneticParameters_Update", "GdChrGetMutationMode", rc, false);
      mutationRead = rc == 0;
    }
    if (mutationRead) {
      ScrollMutation.SetValue(RatePosition(mutation, ScrollMutation));
      GeneticParameters_ShowMutationText(mutation);
    }

    // The markers of rate changes span the best values drawn so far.
    ResumeNext([&] { GeneticParameters_StretchMarkers(); });

    double crossover = 0;
    if (GdLib::GdChrGetCrossoverRate(pop, 1, crossover) == 0) {
      ScrollCrossover.SetValue(RatePosition(crossover, ScrollCrossover));
      TextCrossover.SetText(RateText(crossover));
    }
  });
  Log("GeneticParameters_Update: about to call GdPopUnlock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopUnlock(pop); });
  Log("GeneticParameters_Update: GdPopUnlock returned");
  m_UpdatingControls = wasUpdating;
  if (err) Log("Error in GeneticParameters_Update: " + err.Description + " (" + ErrorNumberText(err) + ")");
}

void FormProgress::GeneticParameters_SendValuesToGdLib() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  const std::int32_t pop = m.Input_PopHandle;
  const std::string handle = std::to_string(pop);
  const long groups = m.Input_GroupNames.Count();
  ErrorInfo err;
  Log("GeneticParameters_SendValuesToGdLib: about to call GdPopLock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopLock(pop); });
  Log("GeneticParameters_SendValuesToGdLib: GdPopLock returned");
  ResumeNext(err, [&] {
    // Each group's failure is reported and the next group still gets the rate.
    const auto setAll = [&](const char* call, auto&& set) {
      for (std::int32_t g = 1; g <= groups; ++g) {
        std::int16_t rc = 0;
        ErrorInfo callErr;
        if (!ResumeNext(callErr, [&] { rc = set(g); })) rc = GdErrInternal;
        if (rc != 0)
          ResumeNext([&] {
            GdLib::LogGdLibError("GeneticParameters_SendValuesToGdLib",
                                 std::string(call) + ", group=" + std::to_string(g), rc, false);
          });
      }
    };
    double rate = 0;
    if (!m.Input_GAMutationIsAuto && RateOfText(TextMutation.Text(), rate))
      setAll("GdChrSetMutationMode",
             [&](std::int32_t g) { return GdLib::GdChrSetMutationMode(pop, g, rate); });
    if (RateOfText(TextCrossover.Text(), rate))
      setAll("GdChrSetCrossoverRate",
             [&](std::int32_t g) { return GdLib::GdChrSetCrossoverRate(pop, g, rate); });
  });
  Log("GeneticParameters_SendValuesToGdLib: about to call GdPopUnlock(" + handle + ")");
  ResumeNext([&] { GdLib::GdPopUnlock(pop); });
  Log("GeneticParameters_SendValuesToGdLib: GdPopUnlock returned");
  ResumeNext([&] { GeneticParameters_MarkRateChange(); });
  if (err)
    Log("Error in GeneticParameters_SendValuesToGdLib: " + err.Description + " (" + ErrorNumberText(err) +
        ")");
}

void FormProgress::GeneticParameters_MarkRateChange() {
  if (!m_Manager) return;
  // A thin line at the trial where the new rates took effect, named with them in the legend, so
  // that what a change did to progress can be seen.
  const double trial = m_Manager->LogTrialCount();
  if (trial < 1) return;  // before the first trial there is no progress to mark it on
  const std::string name =
      Res(4023) + " " + TextCrossover.Text() + ", " + Res(4024) + " " + TextMutation.Text();
  if (!m_GraphAllTrials || !m_InitializedAfterFirstTrial) {
    // Made before the graph shows its first trial: marked as soon as it does.
    if (!m_PendingRateMarkers.empty() && m_PendingRateMarkers.back().first == trial)
      m_PendingRateMarkers.back().second = name;
    else
      m_PendingRateMarkers.emplace_back(trial, name);
    return;
  }
  GeneticParameters_AddMarker(trial, name);
  GeneticParameters_StretchMarkers();
}

void FormProgress::GeneticParameters_AddPendingMarkers() {
  if (!m_GraphAllTrials) return;
  for (const auto& [trial, name] : m_PendingRateMarkers) GeneticParameters_AddMarker(trial, name);
  m_PendingRateMarkers.clear();
  GeneticParameters_StretchMarkers();
}

void FormProgress::GeneticParameters_AddMarker(double trial, const std::string& name) {
  if (!m_RateMarkers.empty() && m_RateMarkers.back().first == trial) {
    m_GraphAllTrials->RenameCurve(m_RateMarkers.back().second, name);
  } else {
    const int id = m_GraphAllTrials->AddCurve(kOGrCurveLine, OGrData{}, name);
    m_GraphAllTrials->SetCurveColor(id, OGrColor{128, 128, 128});
    m_RateMarkers.emplace_back(trial, id);
  }
  // With a legend shown, the progress curve (the graph's first) is named too.
  const OGrCurve& best = m_GraphAllTrials->Curves().front();
  if (best.ID() != m_RateMarkers.front().second && best.Name().empty())
    m_GraphAllTrials->RenameCurve(best.ID(), Res(4303));
  m_GraphAllTrials->SetLegendVisible(true);
}

void FormProgress::GeneticParameters_StretchMarkers() {
  if (m_RateMarkers.empty() || m_GraphAllTrials->Curves().empty()) return;
  // The progress curve is the graph's first; the markers come after it.
  const std::vector<double> best = m_GraphAllTrials->Curves().front().Data().Y;
  const auto finite = [](double v) { return std::isfinite(v) && std::abs(v) < 1e300; };
  double low = 0, high = 0;
  bool any = false;
  for (double v : best) {
    if (!finite(v)) continue;
    low = any ? std::min(low, v) : v;
    high = any ? std::max(high, v) : v;
    any = true;
  }
  if (!any) return;
  if (high - low <= std::abs(high) * 1e-9) {
    // A flat curve still gets a line a user can see, not a dot on it.
    const double pad = std::max(std::abs(high) * 0.01, 1e-9);
    low -= pad;
    high += pad;
  }
  for (const auto& [trial, id] : m_RateMarkers)
    m_GraphAllTrials->ChangeDataSource(id, OGrData{{trial, trial}, {low, high}}, "");
}

void FormProgress::GeneticParameters_DisableControls() {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&ScrollCrossover, &ScrollMutation,
                                                            &CommandCrossover, &CommandMutation})
    c->SetEnabled(false);
}

void FormProgress::GeneticParameters_HideRateDialog() {
  if (m_FormRate) ResumeNext([&] { m_FormRate->GetForm().Hide(); });
}

void FormProgress::ScrollCrossover_Change() {
  if (m_UpdatingControls) return;
  ResumeNext([&] {
    double rate = static_cast<double>(ScrollCrossover.Value()) / ScrollCrossover.Max();
    if (rate < kLowestCrossoverRate) {
      m_UpdatingControls = true;
      ResumeNext([&] { ScrollCrossover.SetValue(RatePosition(kLowestCrossoverRate, ScrollCrossover)); });
      m_UpdatingControls = false;
      rate = static_cast<double>(ScrollCrossover.Value()) / ScrollCrossover.Max();
    }
    TextCrossover.SetText(RateText(rate));
    GeneticParameters_SendValuesToGdLib();
  });
  // The arrow keys would otherwise go on moving the bar the user has just let go.
  ResumeNext([&] { SGGridSummary.SetFocus(); });
}

void FormProgress::ScrollMutation_Change() {
  if (m_UpdatingControls) return;
  ResumeNext([&] {
    GeneticParameters_ShowMutationText(static_cast<double>(ScrollMutation.Value()) / ScrollMutation.Max());
    GeneticParameters_SendValuesToGdLib();
  });
  ResumeNext([&] { SGGridSummary.SetFocus(); });
}

void FormProgress::GeneticParameters_AskForRate(bool isCrossover) {
  if (m_UpdatingControls) return;
  ui::Platform& platform = m_Form.GetPlatform();
  ui::WindowUtilities::MakeNotTopMost(platform, m_Form.Id());
  ResumeNext([&] {
    ui::TextBox& text = isCrossover ? TextCrossover : TextMutation;
    ui::ScrollBar& bar = isCrossover ? ScrollCrossover : ScrollMutation;
    double current = 0;
    if (!RateOfText(text.Text(), current)) current = static_cast<double>(bar.Value()) / bar.Max();
    if (!m_FormRate) m_FormRate = std::make_unique<FormRate>(platform);
    bool flag = isCrossover;
    double rate = current;
    if (!m_FormRate->ShowDialog(flag, current, rate, m_Form.Id())) return;
    // The run may have stopped while the dialog was open: a stopped run takes no new rate.
    if (m_RunState == RunState::Stopping) return;
    m_UpdatingControls = true;
    ResumeNext([&] {
      if (isCrossover)
        TextCrossover.SetText(RateText(rate));
      else
        GeneticParameters_ShowMutationText(rate);
      bar.SetValue(RatePosition(rate, bar));
    });
    m_UpdatingControls = false;
    GeneticParameters_SendValuesToGdLib();
  });
  m_FormRate.reset();
  if (m_RunState != RunState::Stopping) ui::WindowUtilities::MakeTopMost(platform, m_Form.Id());
}

void FormProgress::CommandCrossover_Click() {
  GeneticParameters_AskForRate(true);
}

void FormProgress::CommandMutation_Click() {
  GeneticParameters_AskForRate(false);
}

void FormProgress::GeneticParameters_Layout(int top, int width) {
  LabelGeneticAlgorithmParameters.Move(120, top, width, 240);
  FrameGroupSettingsDivider.Move(120, top + 265, width, 30);
  for (auto row : {std::tuple{&LabelCrossoverRate, &ScrollCrossover, &TextCrossover, &CommandCrossover},
                   std::tuple{&LabelMutationRate, &ScrollMutation, &TextMutation, &CommandMutation}}) {
    top += 420;
    auto [label, scroll, text, command] = row;
    label->Move(120, top + 40, 2200, 240);
    scroll->Move(2400, top, std::max(1000, width - 2400 - 2300), 300);
    text->Move(scroll->Left() + scroll->Width() + 120, top, 1000, 300);
    command->Move(text->Left() + 1120, top - 20, 1050, 340);
  }
}

}  // namespace corvana
