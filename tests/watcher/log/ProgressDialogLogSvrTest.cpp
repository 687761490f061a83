#include "watcher/log/ProgressDialogLogSvr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/ui/Grid.h"

namespace corvana {
namespace {

// The diagnostic log tells what the grid read and what the engine answered, numbers as the
// program shows them everywhere else.
TEST(ProgressDialogLogSvrLog, ReadsAreLoggedWithTheValuesAsRead) {
  WatcherRun run;
  run.Manager.Input_LogPath = run.LogPath() + ".grid";
  const std::string path = run.Manager.Input_LogPath;
  TrialLogWriter log(path, 2, {{"Risk", 0, true}});
  log.Append({.Value = 2.5, .Genes = {1.5, 3}, .Values = {0.25}}, true);
  log.Append({.Value = 1e20}, false);
  ui::Grid grid{"SGGridLog"};
  ProgressDialogLogSvr source;
  source.InitializeAndAddColumnsToGrid(grid, run.Manager);
  run.NewLogLines();

  std::vector<Variant> values;
  EXPECT_EQ(source.IsgGridDataSource_GetRowCount(), 2);
  source.IsgGridDataSource_GetRowData(0, 0, values);
  source.IsgGridDataSource_GetRowData(1, 0, values);
  source.Dispose();
  EXPECT_TRUE(
      InOrder(run.NewLogLines(), {"About to call GdLogGetRecordCounts2WVB with LogPath: " + path +
                                      ", m_Manager.IDForGdLogReadRecordVB=0",
                                  "GdLogGetRecordCounts2WVB returned TrialCount=2, progressStepCount=1, rc=0",
                                  "About to call GdLogReadRecordVB with LogPath=" + path +
                                      ", recordNum=1, m_Manager.IDForGdLogReadRecordVB=0",
                                  "GdLogReadRecordVB returned valueWithPenalties=2.5, recalcNum=1, rc=0",
                                  "Array constraintValues: 0.25  ", "Array geneValues: 1.5  3  ",
                                  "About to call GdLogReadRecordVB with LogPath=" + path +
                                      ", recordNum=2, m_Manager.IDForGdLogReadRecordVB=0",
                                  "GdLogReadRecordVB returned valueWithPenalties=1E+20, recalcNum=2, rc=0",
                                  "WATCHER: ProgressDialogLogServer.Dispose: Set m_Manager = Nothing"}));
}

}  // namespace
}  // namespace corvana
