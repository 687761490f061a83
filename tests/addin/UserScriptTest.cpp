#include <gtest/gtest.h>

#include "addin/UserScript.h"

namespace corvana::addin {
namespace {

using Kind = ScriptStep::Kind;

std::string ErrorOf(const std::string& text) {
  try {
    UserScript::Parse(text);
  } catch (const ScriptError& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(UserScriptTest, ParsesStepsWithTheirArguments) {
  const auto steps = UserScript::Parse(
      "# a comment line\n"
      "\n"
      "wait-trials 50   # trailing comment\n"
      "click FormProgressSmall CommandPauseOptimization\n"
      "set-text FormRate TextRate  0.25 per cent \n"
      "set-check FormProgress CheckLogAllTrials on\n"
      "select-tab FormProgress TabMain 6\n"
      "answer no\n"
      "sleep 0.5\n"
      "stop-timer\n"
      "next-optimization\n"
      "wait-property FormProgressSmall - Caption Corvana (2 worker processes)\n"
      "wait-question\n"
      "resize FormProgress 21000 13500\n"
      "hover FormProgress PopulationColorGraph 1200 45\n"
      "close FormRate\n"
      "wait-rate crossover 0.25\n");
  ASSERT_EQ(steps.size(), 15u);
  EXPECT_EQ(steps[0].What, Kind::WaitTrials);
  EXPECT_EQ(steps[0].Number, 50);
  EXPECT_EQ(steps[0].Line, 3);
  EXPECT_EQ(steps[1].Form, "FormProgressSmall");
  EXPECT_EQ(steps[1].Control, "CommandPauseOptimization");
  EXPECT_EQ(steps[2].Text, "0.25 per cent");
  EXPECT_EQ(steps[3].Number, 1);
  EXPECT_EQ(steps[4].Number, 6);
  EXPECT_EQ(steps[5].Text, "no");
  EXPECT_EQ(steps[6].Number, 0.5);
  EXPECT_EQ(steps[7].What, Kind::StopTimer);
  EXPECT_EQ(steps[8].What, Kind::NextOptimization);
  EXPECT_EQ(steps[9].Control, "");  // the window itself
  EXPECT_EQ(steps[9].Text, "Caption Corvana (2 worker processes)");
  EXPECT_EQ(steps[10].What, Kind::WaitQuestion);
  EXPECT_EQ(steps[11].Form, "FormProgress");
  EXPECT_EQ(steps[11].Number, 21000);
  EXPECT_EQ(steps[11].Number2, 13500);
  EXPECT_EQ(steps[12].What, Kind::Hover);
  EXPECT_EQ(steps[12].Control, "PopulationColorGraph");
  EXPECT_EQ(steps[12].Number, 1200);
  EXPECT_EQ(steps[12].Number2, 45);
  EXPECT_EQ(steps[13].What, Kind::Close);
  EXPECT_EQ(steps[13].Form, "FormRate");
  EXPECT_EQ(steps[14].What, Kind::WaitRate);
  EXPECT_EQ(steps[14].Text, "crossover");
  EXPECT_EQ(steps[14].Number, 0.25);
}

TEST(UserScriptTest, MalformedLinesAreNamed) {
  EXPECT_EQ(ErrorOf("sleep 1\njump FormProgress\n"), "line 2: unknown command \"jump\"");
  EXPECT_EQ(ErrorOf("click FormProgress\n"), "line 1: expected \"click FORM CONTROL\"");
  EXPECT_EQ(ErrorOf("next-optimization now\n"), "line 1: expected \"next-optimization\"");
  EXPECT_EQ(ErrorOf("click A B C\n"), "line 1: expected \"click FORM CONTROL\"");
  EXPECT_EQ(ErrorOf("wait-trials many\n"), "line 1: \"many\" is not a number");
  EXPECT_EQ(ErrorOf("wait-trials 2.5\n"), "line 1: wait-trials needs a whole number from 1 to 2147483647");
  // Numbers no step can hold are refused, not cast into something else.
  EXPECT_EQ(ErrorOf("wait-trials 1e300\n"), "line 1: wait-trials needs a whole number from 1 to 2147483647");
  EXPECT_EQ(ErrorOf("wait-trials 0\n"), "line 1: wait-trials needs a whole number from 1 to 2147483647");
  EXPECT_EQ(ErrorOf("select-tab F C 1e300\n"),
            "line 1: select-tab needs a whole number from -2147483648 to 2147483647");
  EXPECT_EQ(ErrorOf("set-combo F C -3e9\n"),
            "line 1: set-combo needs a whole number from -2147483648 to 2147483647");
  EXPECT_EQ(ErrorOf("set-scroll F C 2.5\n"),
            "line 1: set-scroll needs a whole number from -2147483648 to 2147483647");
  EXPECT_EQ(UserScript::Parse("set-scroll F C -40\n").at(0).Number, -40);
  EXPECT_EQ(ErrorOf("sleep -1\n"), "line 1: sleep needs a number of seconds from 0 to 86400");
  EXPECT_EQ(ErrorOf("sleep 1e300\n"), "line 1: sleep needs a number of seconds from 0 to 86400");
  EXPECT_EQ(ErrorOf("answer maybe\n"), "line 1: expected \"answer yes|no|ok|cancel\"");
  EXPECT_EQ(ErrorOf("wait-status done\n"), "line 1: expected \"wait-status running|paused|stopped\"");
  EXPECT_EQ(ErrorOf("set-check F C yes\n"), "line 1: expected \"set-check FORM CONTROL on|off\"");
  EXPECT_EQ(ErrorOf("wait-rate elitism 0.5\n"), "line 1: expected \"wait-rate crossover|mutation RATE\"");
  EXPECT_EQ(ErrorOf("wait-rate mutation 1.5\n"), "line 1: wait-rate needs a rate from 0 to 1");
  EXPECT_EQ(ErrorOf("hover F C -1 2\n"), "line 1: hover needs a whole number from 0 to 2147483647");
  EXPECT_EQ(ErrorOf("hover F C 1\n"), "line 1: expected \"hover FORM CONTROL X Y\"");
  EXPECT_EQ(ErrorOf("close\n"), "line 1: expected \"close FORM\"");
  EXPECT_EQ(ErrorOf("resize FormProgress 0 9000\n"),
            "line 1: resize needs a whole number from 1 to 2147483647");
  EXPECT_THROW(UserScript::Load("/nonexistent/script"), ScriptError);
}

}  // namespace
}  // namespace corvana::addin
