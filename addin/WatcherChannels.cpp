#include "addin/WatcherChannels.h"

#include "addin/EngineCall.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin {

namespace {
template <class T>
T Read(XLWatcherChannels channel) {
  T value{};
  CheckEngine(GdReadTempData(static_cast<std::int16_t>(channel), &value, sizeof value), "GdReadTempData");
  return value;
}
template <class T>
void Write(XLWatcherChannels channel, T value) {
  CheckEngine(GdWriteTempData(static_cast<std::int16_t>(channel), &value, sizeof value), "GdWriteTempData");
}
}  // namespace

bool WatcherChannels::ReadBool(XLWatcherChannels channel) {
  return Read<std::int16_t>(channel) != 0;
}
void WatcherChannels::WriteBool(XLWatcherChannels channel, bool value) {
  Write<std::int16_t>(channel, value ? std::int16_t{-1} : std::int16_t{0});
}
std::int32_t WatcherChannels::ReadLong(XLWatcherChannels channel) {
  return Read<std::int32_t>(channel);
}
void WatcherChannels::WriteLong(XLWatcherChannels channel, std::int32_t value) {
  Write(channel, value);
}
double WatcherChannels::ReadDouble(XLWatcherChannels channel) {
  return Read<double>(channel);
}
void WatcherChannels::WriteDouble(XLWatcherChannels channel, double value) {
  Write(channel, value);
}

void WatcherChannels::ResetForNewRun() {
  for (const ChannelInfo& info : kAllChannels) {
    switch (info.Kind) {
      case ChannelKind::Boolean: WriteBool(info.Channel, false); break;
      case ChannelKind::Long: WriteLong(info.Channel, 0); break;
      case ChannelKind::Double: WriteDouble(info.Channel, 0); break;
    }
  }
}

}  // namespace corvana::addin
