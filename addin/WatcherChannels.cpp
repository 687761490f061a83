#include "addin/WatcherChannels.h"

#include "addin/EngineCall.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin {

namespace {
template <class T>
T Read(Channel channel) {
  T value{};
  CheckEngine(GdReadTempData(static_cast<std::int16_t>(channel), &value, sizeof value), "GdReadTempData");
  return value;
}
template <class T>
void Write(Channel channel, T value) {
  CheckEngine(GdWriteTempData(static_cast<std::int16_t>(channel), &value, sizeof value), "GdWriteTempData");
}
}  // namespace

bool WatcherChannels::ReadBool(Channel channel) {
  return Read<std::int16_t>(channel) != 0;
}
void WatcherChannels::WriteBool(Channel channel, bool value) {
  Write<std::int16_t>(channel, value ? std::int16_t{-1} : std::int16_t{0});
}
std::int32_t WatcherChannels::ReadLong(Channel channel) {
  return Read<std::int32_t>(channel);
}
void WatcherChannels::WriteLong(Channel channel, std::int32_t value) {
  Write(channel, value);
}
double WatcherChannels::ReadDouble(Channel channel) {
  return Read<double>(channel);
}
void WatcherChannels::WriteDouble(Channel channel, double value) {
  Write(channel, value);
}

void WatcherChannels::ResetForNewRun() {
  for (Channel c : {Channel::StopGenerateOptimizationSummary, Channel::StopWriteLogOfAllTrials,
                    Channel::StopWriteLogOfProgressSteps, Channel::FirstTrialInfoAvailable,
                    Channel::WatcherInitializedAfterFirstTrial, Channel::WatcherWindowChanged,
                    Channel::WatcherSentCommandToShowItModally, Channel::OLToldWatcherToStopTimer,
                    Channel::WatcherStoppedTimer})
    WriteBool(c, false);
  for (Channel c : {Channel::StopSolutionToKeep, Channel::GraphAllTrialsInitialNumTrialsShown,
                    Channel::NumLastTrialsToShow, Channel::ShowExcelRecalculations,
                    Channel::AskUserAboutSolver, Channel::AskUserAboutInconsistentConstraints})
    WriteLong(c, 0);
  for (Channel c : {Channel::NumIterations, Channel::NumIterationsInCompletedSimulation,
                    Channel::NumTrialUnderWay, Channel::EFNumOptimizationUnderWay})
    WriteDouble(c, 0);
}

}  // namespace corvana::addin
