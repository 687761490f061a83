#include "watcher/watcher_window/FormProgress.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>

// The genetic-algorithm parameters under the summary: the crossover and mutation rates, shown
// for the genetic engine only and never changed here.

namespace corvana {

void FormProgress::GeneticParameters_SetVisible(bool visible) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &LabelGeneticAlgorithmParameters, &FrameGroupSettingsDivider, &LabelCrossoverRate,
           &ScrollCrossover, &TextCrossover, &CommandCrossover, &LabelMutationRate, &ScrollMutation,
           &TextMutation, &CommandMutation})
    c->SetVisible(visible);
}

void FormProgress::GeneticParameters_Lock() {
  // The rates cannot change once the run has stopped.
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&ScrollCrossover, &TextCrossover, &CommandCrossover,
                                           &ScrollMutation, &TextMutation, &CommandMutation})
    c->SetEnabled(false);
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
