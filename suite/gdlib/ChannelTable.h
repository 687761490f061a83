#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace gdlib {

// The temp-data channels of one suite scope: a file in the runtime directory, mapped shared,
// holding one 8-byte slot per channel. Each slot is read and written as one atomic word, so a
// reader never sees half of a value.
class ChannelTable {
 public:
  static ChannelTable& Instance();

  void Read(int channel, void* value, int numBytes);
  void Write(int channel, const void* value, int numBytes);
  // Unmaps the table (GdFree); the next access maps it again.
  void Release();

 private:
  ChannelTable() = default;
  std::uint64_t* Slots();  // maps on first use, or again when the runtime directory changed

  std::mutex m_Mutex;
  std::string m_Path;
  std::uint64_t* m_Slots = nullptr;
};

}  // namespace gdlib
