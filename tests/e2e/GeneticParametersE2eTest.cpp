#include <gtest/gtest.h>

#include <QFile>
#include <QProcessEnvironment>

#include "tests/e2e/E2eSession.h"
#include "tests/support/QtTestSupport.h"

namespace corvana::e2e {
namespace {

// The scripted user steers the run's rates through the Watcher's controls while the add-in runs;
// `wait-rate` reads every group's rate back through the engine on the add-in's side.
class GeneticParametersE2eTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::StartCoreApplication("e2e-rates"); }
  void SetUp() override {
    if (!QFile::exists(CORVANA_BIN_DIR "/corvana-watcher")) GTEST_SKIP() << "the Watcher is not built";
    ASSERT_TRUE(m_Session.Ready()) << m_Session.Error().toStdString();
  }

  QJsonObject RunScript(const QString& script) {
    const QStringList args = {"run",
                              "--trials",
                              "2000000",
                              "--minutes",
                              "3",
                              "--script",
                              m_Session.WriteFile("user.script", script),
                              "--trial-log",
                              m_Session.File("trials.gdlog")};
    auto addin = m_Session.StartAddin(args);
    const QJsonObject result = E2eSession::Finish(*addin);
    m_ExitCode = addin->exitCode();
    return result;
  }

  void CheckPicture(const QString& name) const { m_Session.CheckPicture(name); }

  E2eSession m_Session;
  int m_ExitCode = -1;
};

TEST_F(GeneticParametersE2eTest, ScrollBarAndRateDialogSteerEveryGroup) {
  const QString colours = m_Session.File("watcher-population-graph.png");
  const QString progress = m_Session.File("watcher-rate-change.png");
  const QJsonObject r = RunScript(
      "wait-trials 300\n"
      "click FormProgressSmall CommandWatcher\n"
      "wait-form FormProgress\n"
      "select-tab FormProgress TabMain 1\n"
      // The scroll bar: every group breeds with the new rate from then on.
      "set-scroll FormProgress ScrollCrossover 30\n"
      "wait-rate crossover 0.3\n"
      "wait-property FormProgress TextCrossover Text 0.3000\n"
      // The rate dialog: a rate out of range is refused with a message, then a good one goes out.
      "click FormProgress CommandCrossover\n"
      "wait-form FormRate\n"
      "set-text FormRate TextRate 2\n"
      "click FormRate CommandOK\n"
      "answer ok\n"
      "set-text FormRate TextRate 0.65\n"
      "click FormRate CommandOK\n"
      "wait-rate crossover 0.65\n"
      "wait-property FormProgress ScrollCrossover Value 65\n"
      // Closed with its close box the dialog is a Cancel: nothing changes.
      "click FormProgress CommandCrossover\n"
      "wait-form FormRate\n"
      "set-text FormRate TextRate 0.1\n"
      "close FormRate\n"
      "sleep 1.5\n"
      "wait-rate crossover 0.65\n"
      "wait-property FormProgress ScrollCrossover Value 65\n"
      // Automatic mutation: the Watcher shows the engine's rate and offers no control over it.
      "wait-property FormProgress ScrollMutation Enabled false\n"
      "wait-trials 1500\n"
      "select-tab FormProgress TabMain 4\n"
      "sleep 1.5\n"
      "hover FormProgress PopulationColorGraph 600 600\n"
      "screenshot FormProgress " +
      colours +
      "\n"
      "select-tab FormProgress TabMain 0\n"
      "sleep 1.5\n"
      "screenshot FormProgress " +
      progress +
      "\n"
      // The log while the run goes on, newest trials at the bottom.
      "select-tab FormProgress TabMain 2\n"
      "sleep 1.5\n"
      "screenshot FormProgress " +
      m_Session.File("watcher-log.png") +
      "\n"
      "click FormProgress CommandStop\n"
      "answer yes\n"
      "wait-status stopped\n"
      "wait-modal\n"
      "wait-form FormProgress\n"
      "click FormProgress CommandOK\n");
  ASSERT_EQ(m_ExitCode, 0) << r["script_error"].toString().toStdString();
  EXPECT_EQ(r["stop_reason"].toString(), "user");
  CheckPicture("watcher-population-graph.png");
  CheckPicture("watcher-rate-change.png");
  CheckPicture("watcher-log.png");
}

}  // namespace
}  // namespace corvana::e2e
