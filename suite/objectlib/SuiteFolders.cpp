#include "suite/objectlib/SuiteFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "suite/objectlib/ErrorRaising.h"

namespace corvana {

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Home() {
  std::string home = Env("HOME");
  return home.empty() ? "/tmp" : home;
}

// An XDG base folder: the variable when it holds an absolute path, else the default below home.
std::string XdgBase(const char* variable, const char* homeRelative) {
  std::string value = Env(variable);
  if (!value.empty() && value.front() == '/') return value;
  return Home() + "/" + homeRelative;
}

void CreateQuietly(const std::string& folder, fs::perms perms) {
  std::error_code ec;
  if (fs::create_directories(folder, ec)) fs::permissions(folder, perms, ec);
}

}  // namespace

std::string SuiteFolders::SystemDirectory() {
  if (std::string dir = Env("ORRENDEL_SYSTEM_DIR"); !dir.empty()) return dir;
  std::vector<std::string> candidates{XdgBase("XDG_DATA_HOME", ".local/share") + "/corvana"};
  std::string dataDirs = Env("XDG_DATA_DIRS");
  if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
  std::istringstream parts(dataDirs);
  for (std::string part; std::getline(parts, part, ':');)
    if (!part.empty() && part.front() == '/') candidates.push_back(part + "/corvana");
  std::error_code ec;
  for (const auto& candidate : candidates)
    if (fs::is_directory(candidate, ec)) return candidate;
  return candidates.front();
}

std::string SuiteFolders::LoggingFolder() {
  std::string dir = Env("ORRENDEL_LOG_DIR");
  if (dir.empty()) dir = XdgBase("XDG_STATE_HOME", ".local/state") + "/corvana/log";
  CreateQuietly(dir, fs::perms::owner_all);
  return dir;
}

std::string SuiteFolders::RuntimeDirectory() {
  std::string dir = Env("ORRENDEL_RUNTIME_DIR");
  if (dir.empty()) {
    const std::string xdg = Env("XDG_RUNTIME_DIR");
    std::error_code ec;
    if (!xdg.empty() && fs::is_directory(xdg, ec))
      dir = xdg + "/corvana";
    else
      dir = "/tmp/corvana-" + std::to_string(getuid());
  }
  CreateQuietly(dir, fs::perms::owner_all);
  // Another user could have placed the folder (or a link) there first, to see or spoil our locks.
  struct stat info {};
  if (::lstat(dir.c_str(), &info) == 0 && (!S_ISDIR(info.st_mode) || info.st_uid != getuid()))
    RaiseApplicationError("SuiteFolders", "The runtime folder " + dir + " is not a folder of this user.");
  return dir;
}

std::string SuiteFolders::TrialLogFolder() {
  const std::string dir = LoggingFolder() + "/trials";
  CreateQuietly(dir, fs::perms::owner_all);
  return dir;
}

std::string SuiteFolders::ResourceDirectory() {
  return SystemDirectory() + "/resources";
}

}  // namespace corvana
