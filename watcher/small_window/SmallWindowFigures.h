#pragma once

#include <string>

// The small window's figures as rules on plain numbers, so that they hold without a window.
namespace corvana::SmallWindowFigures {

// Extra widths in twips for languages whose texts are longer: A widens the captions, B the
// text boxes (B differs in constraint-solver runs, whose texts are longer still).
struct LanguageWidths {
  int Captions = 0;
  int TextBoxes = 0;
};
LanguageWidths ExtraWidthsForLanguage(int languageId, bool constraintSolverMode);

// Iteration and trial figures shown in the text boxes.
struct IterationAndTrial {
  double Iteration = 0;
  double Trial = 0;
};
IterationAndTrial SelectIterationAndTrial(bool multiProcess, double numIterations, double numTrialUnderWay,
                                          double logTrialCount, double numIterationsInCompletedSimulation);

// Share of the run's budget used, in percent: the larger of the trial share and the time share,
// each raised to 1 once it is under way; 0 when there is no goal. Not capped at 100.
double ProgressPercent(double logTrialCount, double trialGoal, double elapsedTicks, double millisecondsGoal);

// Start-up animation of a multi-process run: a linear climb to 90 % over the duration, then a
// creep that closes a twentieth of the remaining gap per tick and never passes 99 %.
// `remainder` starts at 0.1 and shrinks with each tick after the linear phase.
double InitializationPercent(double elapsedMs, double durationMs, double& remainder);
inline constexpr double kInitialRemainder = 0.1;
inline constexpr double kInitializationMsMultiProcess = 25000;
inline constexpr double kInitializationMsSingle = 10000;

// Bar value 0..100 for a percentage (half to even; a value above 100 shows a full bar).
int BarValue(double percent);
// "37%": the percentage with the pattern "0" followed by "%".
std::string PercentText(double percent);

}  // namespace corvana::SmallWindowFigures
