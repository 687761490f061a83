#include "suite/gdlib/ChannelTable.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "suite/gdlib/GdError.h"
#include "suite/gdlib/ScopeNames.h"
#include "suite/gdlib/gdlib8.h"

namespace gdlib {
namespace {

constexpr std::size_t kTableBytes = GD_CHANNEL_COUNT * sizeof(std::uint64_t);
static_assert(std::atomic_ref<std::uint64_t>::is_always_lock_free);

void CheckArguments(int channel, const void* value, int numBytes) {
  if (channel < 0 || channel >= GD_CHANNEL_COUNT)
    Fail(GdErrChannelOutOfRange, "Channel " + std::to_string(channel) + " is outside 0.." +
                                     std::to_string(GD_CHANNEL_COUNT - 1) + ".");
  if (numBytes != 2 && numBytes != 4 && numBytes != 8)
    Fail(GdErrBadByteCount, "A channel value has 2, 4 or 8 bytes, not " + std::to_string(numBytes) + ".");
  if (!value) Fail(GdErrNullPointer, "The channel value pointer is null.");
}

}  // namespace

ChannelTable& ChannelTable::Instance() {
  static auto* table = new ChannelTable;  // never destroyed: calls may come during exit
  return *table;
}

std::uint64_t* ChannelTable::Slots() {
  std::string path = ScopeNames::ChannelFile();
  std::lock_guard lock(m_Mutex);
  if (m_Slots && path == m_Path) return m_Slots;
  if (m_Slots) ::munmap(m_Slots, kTableBytes);
  m_Slots = nullptr;

  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) FailErrno("Cannot open the channel table " + path, errno);
  // Extending with posix_fallocate is safe when several processes race here: the file only grows,
  // zero-filled, and a full file system is an error here rather than a SIGBUS later.
  int rc = ::posix_fallocate(fd, 0, kTableBytes);
  if (rc != 0) {
    ::close(fd);
    if (rc == ENOSPC) Fail(GdErrNoSpace, "No space for the channel table " + path + ".");
    FailErrno("Cannot size the channel table " + path, rc);
  }
  void* map = ::mmap(nullptr, kTableBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) FailErrno("Cannot map the channel table " + path, errno);
  m_Slots = static_cast<std::uint64_t*>(map);
  m_Path = path;
  return m_Slots;
}

void ChannelTable::Read(int channel, void* value, int numBytes) {
  CheckArguments(channel, value, numBytes);
  std::uint64_t word = std::atomic_ref<std::uint64_t>(Slots()[channel]).load(std::memory_order_acquire);
  std::memcpy(value, &word, static_cast<std::size_t>(numBytes));
}

void ChannelTable::Write(int channel, const void* value, int numBytes) {
  CheckArguments(channel, value, numBytes);
  std::uint64_t word = 0;
  std::memcpy(&word, value, static_cast<std::size_t>(numBytes));
  std::atomic_ref<std::uint64_t>(Slots()[channel]).store(word, std::memory_order_release);
}

void ChannelTable::Release() {
  std::lock_guard lock(m_Mutex);
  if (m_Slots) ::munmap(m_Slots, kTableBytes);
  m_Slots = nullptr;
  m_Path.clear();
}

}  // namespace gdlib
