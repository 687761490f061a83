#include "suite/objectlib/SurvivalMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/SuiteFolders.h"

namespace corvana {

namespace {

void CheckName(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
    RaiseInvalidArgument("SurvivalMutex", "name");
}

int OpenLockFile(const std::string& path, int flags) {
  int fd;
  do fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
  while (fd < 0 && errno == EINTR);
  return fd;
}

int Flock(int fd, int operation) {
  int rc;
  do rc = ::flock(fd, operation);
  while (rc < 0 && errno == EINTR);
  return rc;
}

}  // namespace

SurvivalMutex::SurvivalMutex(std::string name, std::string runtimeDirectory)
    : m_Name(std::move(name)), m_RuntimeDirectory(std::move(runtimeDirectory)) {
  CheckName(m_Name);
}

SurvivalMutex::~SurvivalMutex() {
  Release();
}

std::string SurvivalMutex::LockFilePath(const std::string& runtimeDirectory, const std::string& name) {
  CheckName(name);
  return runtimeDirectory + "/" + name + ".lock";
}

void SurvivalMutex::Take() {
  if (IsHeld()) return;
  const std::string dir = m_RuntimeDirectory.empty() ? SuiteFolders::RuntimeDirectory() : m_RuntimeDirectory;
  const std::string path = LockFilePath(dir, m_Name);
  const int fd = OpenLockFile(path, O_RDWR | O_CREAT);
  if (fd < 0)
    RaiseApplicationError("SurvivalMutex",
                          "Cannot create the lock file " + path + ": " + std::strerror(errno) + ".");
  // Shared: several holders may keep the name alive together; Exists asks for it exclusively.
  if (Flock(fd, LOCK_SH) != 0) {
    const int error = errno;
    ::close(fd);
    RaiseApplicationError("SurvivalMutex", "Cannot lock " + path + ": " + std::strerror(error) + ".");
  }
  m_Fd = fd;
}

void SurvivalMutex::Release() noexcept {
  if (m_Fd < 0) return;
  // The lock file stays: removing it could race with a holder that has just opened it.
  ::close(m_Fd);
  m_Fd = -1;
}

bool SurvivalMutex::Exists(const std::string& name) {
  return ExistsIn(SuiteFolders::RuntimeDirectory(), name);
}

bool SurvivalMutex::ExistsIn(const std::string& runtimeDirectory, const std::string& name) {
  const std::string path = LockFilePath(runtimeDirectory, name);
  const int fd = OpenLockFile(path, O_RDONLY);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    RaiseApplicationError("SurvivalMutex",
                          "Cannot open the lock file " + path + ": " + std::strerror(errno) + ".");
  }
  const bool free = Flock(fd, LOCK_EX | LOCK_NB) == 0;
  const int error = errno;
  ::close(fd);  // also drops the probe's own lock
  if (!free && error != EWOULDBLOCK)
    RaiseApplicationError("SurvivalMutex",
                          "Cannot test the lock file " + path + ": " + std::strerror(error) + ".");
  return !free;
}

}  // namespace corvana
