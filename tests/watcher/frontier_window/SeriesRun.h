#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/frontier_window/FormProgressEF.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {

// A watched efficient-frontier series over `values`, its trial log written as the add-in would.
class SeriesRun : public WatcherRun {
 public:
  explicit SeriesRun(std::vector<double> values, Options options = {})
      : WatcherRun(SeriesOptions(std::move(values), std::move(options))) {}

  FormProgressEF& Full() { return WatcherRun::Full<FormProgressEF>(); }
  // One trial of optimization `index`, its genes a tenth of its value.
  void LogTrial(std::int32_t index, double value, bool newBest) {
    Log().Append({.Value = value, .Genes = {value / 10, value / 10}, .Optimization = index}, newBest);
  }
  void StartRunning() {
    LogTrial(1, 1, true);
    Start(0);
  }
  void UnderWay(double optimization) { WriteDouble(ChannelEFNumOptimizationUnderWay, optimization); }

 private:
  static Options SeriesOptions(std::vector<double> values, Options options) {
    options.Genes = 2;
    options.Series = true;
    options.Inputs = [values](WatcherManager& m) {
      m.Input_EFConstrainedStatistic = 12;
      m.Input_EFPerformAnalysis = true;
      m.Input_EFNumConstrainingValues = static_cast<std::int32_t>(values.size());
      m.Input_EFConstraintDisplayFormula_LHSide = "Risk";
      m.Input_EFConstraintOperatorAsString = "<=";
      m.Input_EFConstraintFormula = "Risk <= X";
      m.Input_OptimizationObjectiveStr = "Return";
      m.Input_EFConstrainedCellNumberFormat_ShortIfDate = "General";
      Collection collection;
      for (double v : values) collection.Add(v);
      m.Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final = collection;
      m.Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial = collection;
    };
    return options;
  }
};

}  // namespace corvana
