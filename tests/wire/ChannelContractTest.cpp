#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "addin/WatcherChannels.h"
#include "suite/gdlib/gdlib8.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "wire/XLWatcherChannels.h"

using namespace corvana;

TEST(ChannelContractTest, EveryChannelHasOneNumberAndOneKind) {
  std::set<int> numbers;
  for (const ChannelInfo& info : kAllChannels)
    EXPECT_TRUE(numbers.insert(info.Channel).second) << info.Channel;
  // 2..21 with none missing: a number only one side knows is how the two drifted before.
  EXPECT_EQ(*numbers.begin(), 2);
  EXPECT_EQ(*numbers.rbegin(), 21);
  EXPECT_EQ(numbers.size(), 20u);
}

// What the add-in writes on a channel, the Watcher reads back with the byte count of the channel's
// kind, and no other channel is touched by it.
TEST(ChannelContractTest, EveryChannelCrossesAtItsKindsWidth) {
  TempDir runtime;
  ScopedEnv scope("ORRENDEL_RUNTIME_DIR", runtime.Path());
  addin::WatcherChannels::ResetForNewRun();
  for (const ChannelInfo& info : kAllChannels) {
    const int n = info.Channel;
    switch (info.Kind) {
      case ChannelKind::Boolean: {
        addin::WatcherChannels::WriteBool(info.Channel, true);
        std::int16_t word = 0;
        ASSERT_EQ(GdReadTempData(info.Channel, &word, 2), 0) << n;
        EXPECT_EQ(word, -1) << n;
        break;
      }
      case ChannelKind::Long: {
        addin::WatcherChannels::WriteLong(info.Channel, 1000 + n);
        std::int32_t value = 0;
        ASSERT_EQ(GdReadTempData(info.Channel, &value, 4), 0) << n;
        EXPECT_EQ(value, 1000 + n) << n;
        break;
      }
      case ChannelKind::Double: {
        addin::WatcherChannels::WriteDouble(info.Channel, n + 0.25);
        double value = 0;
        ASSERT_EQ(GdReadTempData(info.Channel, &value, 8), 0) << n;
        EXPECT_EQ(value, n + 0.25) << n;
        break;
      }
    }
  }
  // Each value is still where it was written (no two channels share storage), and a new run starts
  // from nothing on every channel.
  const auto expectAll = [](bool written) {
    for (const ChannelInfo& info : kAllChannels) {
      const int n = info.Channel;
      switch (info.Kind) {
        case ChannelKind::Boolean:
          EXPECT_EQ(addin::WatcherChannels::ReadBool(info.Channel), written) << n;
          break;
        case ChannelKind::Long:
          EXPECT_EQ(addin::WatcherChannels::ReadLong(info.Channel), written ? 1000 + n : 0) << n;
          break;
        case ChannelKind::Double:
          EXPECT_EQ(addin::WatcherChannels::ReadDouble(info.Channel), written ? n + 0.25 : 0) << n;
          break;
      }
    }
  };
  expectAll(true);
  addin::WatcherChannels::ResetForNewRun();
  expectAll(false);
}
