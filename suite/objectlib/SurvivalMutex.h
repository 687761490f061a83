#pragma once

#include <string>

namespace corvana {

// A named survival mutex of the suite: a lock file "<name>.lock" in the runtime directory, held
// with a shared flock for as long as the holder lives. The kernel drops the lock when the holder
// exits or crashes, so a dead holder never keeps the name alive. Several processes may hold the
// same name at once; the name exists while any of them does.
class SurvivalMutex {
 public:
  // An empty runtime directory means the suite's (SuiteFolders::RuntimeDirectory at Take).
  explicit SurvivalMutex(std::string name, std::string runtimeDirectory = {});
  ~SurvivalMutex();
  SurvivalMutex(const SurvivalMutex&) = delete;
  SurvivalMutex& operator=(const SurvivalMutex&) = delete;

  // Takes the mutex (no-op when held already). Raises 0x8004000A when the lock file cannot be
  // created or locked.
  void Take();
  void Release() noexcept;
  bool IsHeld() const noexcept { return m_Fd >= 0; }
  const std::string& Name() const noexcept { return m_Name; }

  // True while some live process, this one included, holds the named mutex.
  static bool Exists(const std::string& name);
  // Same, in an explicit runtime directory.
  static bool ExistsIn(const std::string& runtimeDirectory, const std::string& name);
  static std::string LockFilePath(const std::string& runtimeDirectory, const std::string& name);

 private:
  std::string m_Name;
  std::string m_RuntimeDirectory;
  int m_Fd = -1;
};

}  // namespace corvana
