#include <cstdint>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "GdLibTestSupport.h"
#include "suite/gdlib/gdlib8.h"

using namespace gdtest;

TEST(Channels, ValuesOfEachSizeComeBackAsWrittenAndAShortWriteClearsTheRest) {
  std::int16_t flag = -1, flagBack = 0;
  std::int32_t count = 123456789, countBack = 0;
  double value = -2.5e-300, valueBack = 0;
  ASSERT_EQ(GdWriteTempData(10, &flag, 2), 0);
  ASSERT_EQ(GdWriteTempData(11, &count, 4), 0);
  ASSERT_EQ(GdWriteTempData(255, &value, 8), 0);
  ASSERT_EQ(GdReadTempData(10, &flagBack, 2), 0);
  ASSERT_EQ(GdReadTempData(11, &countBack, 4), 0);
  ASSERT_EQ(GdReadTempData(255, &valueBack, 8), 0);
  EXPECT_EQ(flagBack, -1);
  EXPECT_EQ(countBack, count);
  EXPECT_EQ(valueBack, value);

  // A short write clears the rest of the slot.
  double wide = std::numeric_limits<double>::max();
  ASSERT_EQ(GdWriteTempData(12, &wide, 8), 0);
  std::int16_t narrow = 7;
  ASSERT_EQ(GdWriteTempData(12, &narrow, 2), 0);
  std::int64_t word = -1;
  ASSERT_EQ(GdReadTempData(12, &word, 8), 0);
  EXPECT_EQ(word, 7);
}

TEST(Channels, BadArgumentsAreRefusedWithTextAndTouchNothing) {
  std::int32_t value = 5;
  ASSERT_EQ(GdWriteTempData(13, &value, 4), 0);
  std::int32_t other = 9;
  EXPECT_EQ(GdWriteTempData(-1, &other, 4), GdErrChannelOutOfRange);
  EXPECT_EQ(GdWriteTempData(GD_CHANNEL_COUNT, &other, 4), GdErrChannelOutOfRange);
  EXPECT_EQ(GdWriteTempData(13, &other, 3), GdErrBadByteCount);
  EXPECT_EQ(GdWriteTempData(13, &other, 16), GdErrBadByteCount);
  EXPECT_EQ(GdWriteTempData(13, nullptr, 4), GdErrNullPointer);
  EXPECT_EQ(GdReadTempData(13, nullptr, 4), GdErrNullPointer);
  EXPECT_EQ(ReadInt(13), 5);

  char text[256];
  for (int code : {GdErrChannelOutOfRange, GdErrBadByteCount, GdErrNullPointer}) {
    ASSERT_EQ(GdGetErrorTextWVB(code, text, sizeof text), 0);
    EXPECT_GT(std::strlen(text), 10u) << code;
  }
  char name[64], method[64], message[256];
  ASSERT_NE(GdGetExceptionInfoWVB(GdErrBadByteCount, name, 64, method, 64, message, 256), 0);
  EXPECT_STREQ(method, "GdWriteTempData");
  EXPECT_NE(std::strstr(message, "16"), nullptr);
}

TEST(Channels, AnotherProcessSeesWritesBothWays) {
  WriteInt(20, 0);
  WriteInt(21, 0);
  pid_t child = Fork([] {
    std::int32_t v = 1;
    GdWriteTempData(20, &v, 4);
    // Wait for the answer from the other side.
    return WaitUntil([] {
      std::int32_t answer = 0;
      GdReadTempData(21, &answer, 4);
      return answer == 2;
    })
               ? 0
               : 1;
  });
  EXPECT_TRUE(WaitUntil([] { return ReadInt(20) == 1; }));
  WriteInt(21, 2);
  EXPECT_EQ(Wait(child), 0);
}

TEST(ErrorTexts, EveryCodeTheLibraryReturnsHasAText) {
  char text[256];
  for (int code = GdErrInternal; code <= 0; ++code) {
    EXPECT_EQ(GdGetErrorTextWVB(code, text, sizeof text), 0) << code;
    EXPECT_GT(std::strlen(text), 0u) << code;
  }
  EXPECT_EQ(GdGetErrorTextWVB(-999, text, sizeof text), GdErrInvalidArgument);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(GdGetErrorTextWVB(-1, nullptr, 10), GdErrNullPointer);
  char tiny[4];
  EXPECT_EQ(GdGetErrorTextWVB(GdErrLogCorrupt, tiny, sizeof tiny), 0);
  EXPECT_STREQ(tiny, "The");
}
