#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "suite/gdlib/gdlib8.h"
#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/WaitUntil.h"

namespace corvana::e2e {
namespace {

// Floors on the portfolio's 5th percentile, loosest first: the higher the floor, the less mean
// return a portfolio can reach.
const QString kFloors = "-0.20,-0.16,-0.12,-0.08,-0.04";

class FrontierSeriesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::StartCoreApplication("e2e-frontier"); }
  void SetUp() override {
    if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
    ASSERT_TRUE(m_Session.Ready()) << m_Session.Error().toStdString();
  }
  QString LogPath() const { return m_Session.File("series.gdlog"); }
  // Trials of optimization `index` of the series in the log (0: the whole log).
  long TrialsOf(std::int32_t index) {
    std::int32_t trials = 0, steps = 0;
    if (GdLogGetRecordCounts2WVB(LogPath().toUtf8().constData(), &trials, index, &steps) != 0) return -1;
    return trials;
  }

  E2eSession m_Session;
};

TEST_F(FrontierSeriesTest, SeriesWatchedToTheEndWithOneMoveOn) {
  // The second optimization is cut short by the user; every other one runs its 1500 trials.
  const auto shot = [&](const char* form, const char* name) {
    return QStringLiteral("screenshot %1 %2\n").arg(form, m_Session.File(name));
  };
  const QString script =
      "wait-trials 1700\n"
      "next-optimization\n"
      "answer yes\n"
      "sleep 1\n" +
      shot("FormProgressSmallEF", "frontier-small-window.png") +
      "wait-status stopped\n"
      "wait-modal\n"
      "wait-form FormProgressEF\n"
      "wait-property FormProgressEF TabMain SelectedIndex 3\n"
      // What the user finds at the end: the curves and the frontier, the best per value,
      // and the progress steps of one value in the log.
      "select-tab FormProgressEF TabMain 0\n" +
      shot("FormProgressEF", "frontier-progress.png") + "select-tab FormProgressEF TabMain 1\n" +
      shot("FormProgressEF", "frontier-summary.png") +
      "select-tab FormProgressEF TabMain 2\n"
      "set-combo FormProgressEF ComboLogType 3\n"
      "sleep 1\n" +
      shot("FormProgressEF", "frontier-log.png") + "click FormProgressEF CommandOK\n";
  auto addin = m_Session.StartAddin({"run", "--trials", "1500", "--efficient-frontier", kFloors, "--script",
                                     m_Session.WriteFile("series.script", script), "--trial-log", LogPath(),
                                     "--frontier-chart", m_Session.File("frontier.svg")});
  const QJsonObject r = E2eSession::Finish(*addin);
  ASSERT_EQ(addin->exitCode(), 0) << QJsonDocument(r).toJson().toStdString();
  EXPECT_FALSE(r.contains("script_error")) << r["script_error"].toString().toStdString();
  EXPECT_TRUE(r["end_of_run"].toObject()["shown_to_user"].toBool());

  const QJsonArray optimizations = r["optimizations"].toArray();
  ASSERT_EQ(optimizations.size(), 5);
  EXPECT_LT(optimizations[1].toObject()["trials"].toInt(), 1500);
  for (int k : {0, 2, 3, 4}) EXPECT_EQ(optimizations[k].toObject()["trials"].toInt(), 1500) << k;

  // One frontier point per value, rising in X; the tightest floor allows the least return.
  const QJsonArray frontier = r["frontier"].toArray();
  ASSERT_EQ(frontier.size(), 5);
  for (int k = 1; k < 5; ++k)
    EXPECT_GT(frontier[k].toObject()["constraining_value"].toDouble(),
              frontier[k - 1].toObject()["constraining_value"].toDouble());
  EXPECT_GT(frontier[0].toObject()["best_value"].toDouble(), frontier[4].toObject()["best_value"].toDouble());
  EXPECT_TRUE(frontier[4].toObject()["best_is_valid"].toBool());

  // The Watcher charted the frontier through the host object: a picture with a dot per point, in
  // the frontier's blue.
  EXPECT_EQ(r["frontier_chart"].toString(), m_Session.File("frontier.svg"));
  QFile chart(m_Session.File("frontier.svg"));
  ASSERT_TRUE(chart.open(QIODevice::ReadOnly));
  const QByteArray svg = chart.readAll();
  EXPECT_EQ(svg.count("<circle"), 5);
  EXPECT_TRUE(svg.contains("fill=\"#0000ff\""));
  for (const char* picture :
       {"frontier-small-window.png", "frontier-progress.png", "frontier-summary.png", "frontier-log.png"})
    m_Session.CheckPicture(picture);
}

TEST_F(FrontierSeriesTest, AddinKilledInTheThirdOptimizationEndsTheWatcher) {
  auto addin = m_Session.StartAddin(
      {"run", "--trials", "400", "--efficient-frontier", kFloors, "--trial-log", LogPath()});
  test::WaitUntil([&] { return TrialsOf(3) >= 50; }, std::chrono::seconds(60));
  ASSERT_GE(TrialsOf(3), 50);
  const qint64 watcher = m_Session.WatcherPid();
  ASSERT_GT(watcher, 0);
  addin->kill();
  addin->waitForFinished(5000);
  EXPECT_TRUE(E2eSession::WaitForExit(watcher, 2000));
}

}  // namespace
}  // namespace corvana::e2e
