#pragma once

#include <cstdint>

#include "wire/XLWatcherChannels.h"

namespace corvana::addin {

// Typed access to the channels through the engine library. Booleans travel as 16-bit -1 / 0.
// Failures raise a ComError with the engine's text.
class WatcherChannels {
 public:
  static bool ReadBool(XLWatcherChannels channel);
  static void WriteBool(XLWatcherChannels channel, bool value);
  static std::int32_t ReadLong(XLWatcherChannels channel);
  static void WriteLong(XLWatcherChannels channel, std::int32_t value);
  static double ReadDouble(XLWatcherChannels channel);
  static void WriteDouble(XLWatcherChannels channel, double value);

  // Clears what an earlier run of this suite scope may have left, before the Watcher looks.
  static void ResetForNewRun();
};

}  // namespace corvana::addin
