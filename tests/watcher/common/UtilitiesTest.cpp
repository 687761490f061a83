#include "watcher/common/Utilities.h"

#include <gtest/gtest.h>

#include "EnglishResources.h"
#include "common/ComError.h"
#include "suite/objectlib/MarkerValues.h"
#include "tests/support/ThrowsComError.h"
#include "watcher/common/ClassicFormat.h"
#include "watcher/common/WatcherOLShared.h"

using namespace corvana;
using namespace corvana::Utilities;

TEST(Utilities, ResourceStringsNeedAServer) {
  g_ResourceServer.reset();
  EXPECT_THAT([] { GetResourceString(4306); },
              test::ThrowsComError(0x8004000Au, "GetResourceString", "Missing resource server."));
  // The question helpers trap it and give an empty text.
  EXPECT_EQ(StopQuestionText(false), "");
}

TEST(Utilities, ElapsedTimeSwitchesToUnboundedHoursAt23Hours) {
  EXPECT_EQ(FormatElapsedTime(0), "00:00:00");
  EXPECT_EQ(FormatElapsedTime(3723000), "01:02:03");
  EXPECT_EQ(FormatElapsedTime(82799000), "22:59:59");
  EXPECT_EQ(FormatElapsedTime(82800000), "23:00:00");
  EXPECT_EQ(FormatElapsedTime(90061000), "25:01:01");
  EXPECT_EQ(FormatElapsedTime(90061999), "25:01:01");  // the long form truncates
  EXPECT_EQ(FormatElapsedTime(1000000000), "277:46:40");
}

TEST(Utilities, TimeSeparatorMustBeOneCharacter) {
  EXPECT_EQ(GetTimeSeparator(), ":");
  ClassicFormat::SetTimeSeparator(".");
  EXPECT_EQ(GetTimeSeparator(), ".");
  EXPECT_EQ(FormatElapsedTime(90061000), "25.01.01");
  ClassicFormat::SetTimeSeparator("h:");
  EXPECT_EQ(GetTimeSeparator(), ":");
  EXPECT_EQ(FormatElapsedTime(90061000), "25:01:01");
  ClassicFormat::SetTimeSeparator("\xE2\x80\xA7");  // one character, three bytes
  EXPECT_EQ(GetTimeSeparator(), "\xE2\x80\xA7");
  ClassicFormat::SetTimeSeparator(":");
  // The stopping tab's long-status rule counts the same way.
  EXPECT_EQ(CharacterCount("Gr\xC3\xB6\xC3\x9F"
                           "e \xE2\x80\xA7 1"),
            9u);
}

TEST(Utilities, RoundUpToOneSignificantDigit) {
  EXPECT_EQ(RoundUpToOneSignificantDigit(347), 400);
  EXPECT_EQ(RoundUpToOneSignificantDigit(7), 7);
  EXPECT_EQ(RoundUpToOneSignificantDigit(1001), 2000);
  EXPECT_EQ(RoundUpToOneSignificantDigit(10), 10);
  EXPECT_EQ(RoundUpToOneSignificantDigit(2468), 3000);
  EXPECT_EQ(RoundUpToOneSignificantDigit(0.3), 0.3);
  EXPECT_EQ(RoundUpToOneSignificantDigit(0.31), 0.4);
  EXPECT_EQ(RoundUpToOneSignificantDigit(-347), -300);
  EXPECT_EQ(RoundUpToOneSignificantDigit(0), 0);
}

using UtilitiesText = EnglishResources;

TEST_F(UtilitiesText, QuestionTexts) {
  EXPECT_EQ(StopQuestionText(true), Text(4307));
  EXPECT_EQ(SolverQuestionText(1), Text(4526));
  EXPECT_NE(SolverQuestionText(3).find("3 hard constraints"), std::string::npos);
}

TEST_F(UtilitiesText, MoveOnQuestionNamesTheNextConstrainingValue) {
  double underWay = 1;
  WatcherOLShared::SetChannelReader([&](long) { return underWay; });
  const Collection values({10.0, 12.5, "n/a"});
  EXPECT_EQ(MoveOnQuestionText(values),
            "Move on to the next optimization (with constraining value 12.5000)?");
  underWay = 0;
  EXPECT_EQ(MoveOnQuestionText(values), "Move on to the next optimization (with constraining value 10)?");
  underWay = 2;  // the next value is not a number
  EXPECT_EQ(MoveOnQuestionText(values), "Move on to the next optimization?");
  underWay = 3;  // past the last value
  EXPECT_EQ(MoveOnQuestionText(values), "Move on to the next optimization?");
  WatcherOLShared::SetChannelReader(nullptr);
}

TEST_F(UtilitiesText, ConstraintSolverValues) {
  EXPECT_EQ(ConstraintSolverValueText(1, true), Text(4508));
  EXPECT_EQ(ConstraintSolverValueText(1.9, true), Text(4508));
  EXPECT_EQ(ConstraintSolverValueText(3.7, true), Text(4509, 3.0));
  EXPECT_EQ(ConstraintSolverValueText(0, true), Text(4509, 0.0));
  EXPECT_EQ(ConstraintSolverValueText(3.7, false), "3");
  EXPECT_EQ(ConstraintSolverValueText(1, false), "1");
  for (double special : {kMissingValue, kEngineNoValue, kLargestValue, kSmallestValue})
    EXPECT_EQ(ConstraintSolverValueText(special, true), WatcherOLShared::GetCommonString(1));
}
