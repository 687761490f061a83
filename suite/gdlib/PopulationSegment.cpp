#include "suite/gdlib/PopulationSegment.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "suite/gdlib/GdError.h"
#include "suite/gdlib/PopulationHeader.h"
#include "suite/gdlib/ScopeNames.h"
#include "suite/gdlib/gdlib8.h"

namespace gdlib {
namespace {

// A process that has ended but not yet been waited for (a zombie) counts as gone.
bool ProcessAlive(std::int32_t pid) {
  if (pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH)) return false;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const auto close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

// "corvana-gd-<scope hash>-pop-<handle>" of any scope.
bool IsPopulationName(std::string_view name) {
  const std::string_view scopePrefix = "corvana-gd-";
  return name.starts_with(scopePrefix) && name.find("-pop-", scopePrefix.size()) != std::string_view::npos;
}

}  // namespace

void* PopulationSegment::Create(std::size_t bytes, std::int32_t& handle) {
  std::random_device device;
  int fd = -1;
  std::string name;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    handle = static_cast<std::int32_t>(device() & 0x7ffffffe) + 1;
    name = ScopeNames::PopulationSegment(handle);
    fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) FailErrno("Cannot create the population segment", errno);
  }
  if (fd < 0) Fail(GdErrSystem, "No free population handle.");
  int rc = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes));
  if (rc != 0) {
    ::close(fd);
    ::shm_unlink(name.c_str());
    if (rc == ENOSPC) Fail(GdErrNoSpace, "Not enough shared memory for the population.");
    FailErrno("Cannot size the population segment", rc);
  }
  void* base = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  ::close(fd);
  if (base == MAP_FAILED) {
    ::shm_unlink(name.c_str());
    FailErrno("Cannot map the population segment", errno);
  }
  return base;
}

void* PopulationSegment::Open(std::int32_t handle, std::size_t& bytes) {
  std::string name = ScopeNames::PopulationSegment(handle);
  int fd = ::shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) {
    if (errno == ENOENT) Fail(GdErrUnknownHandle, "There is no population " + std::to_string(handle) + ".");
    FailErrno("Cannot open population " + std::to_string(handle), errno);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(sizeof(PopulationHeader))) {
    ::close(fd);
    Fail(GdErrUnknownHandle, "Population " + std::to_string(handle) + " is not ready.");
  }
  bytes = static_cast<std::size_t>(st.st_size);
  void* base = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  ::close(fd);
  if (base == MAP_FAILED) FailErrno("Cannot map population " + std::to_string(handle), errno);
  return base;
}

void PopulationSegment::Remove(std::int32_t handle) {
  ::shm_unlink(ScopeNames::PopulationSegment(handle).c_str());
}

int PopulationSegment::ReclaimStale() {
  int removed = 0;
  DIR* dir = ::opendir("/dev/shm");
  if (!dir) return 0;
  while (dirent* entry = ::readdir(dir)) {
    if (!IsPopulationName(entry->d_name)) continue;
    std::string name = std::string("/") + entry->d_name;
    int fd = ::shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) continue;
    struct stat st {};
    bool stale = false;
    // A segment still being set up has no magic yet and is left alone.
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
        st.st_size >= static_cast<off_t>(sizeof(PopulationHeader))) {
      PopulationHeader header{};
      if (::pread(fd, &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header))
        stale = header.Magic == kPopulationMagic && !ProcessAlive(header.OwnerPid);
    }
    ::close(fd);
    if (stale && ::shm_unlink(name.c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace gdlib
