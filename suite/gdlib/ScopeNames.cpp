#include "suite/gdlib/ScopeNames.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "suite/gdlib/GdError.h"

namespace gdlib {
namespace {

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

void MakeDirectories(const std::string& path) {
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    std::string part = path.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) FailErrno("Cannot create " + part, errno);
  }
}

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string ScopeHash() {
  std::string dir = ScopeNames::RuntimeDirectory();
  char resolved[PATH_MAX];
  if (::realpath(dir.c_str(), resolved)) dir = resolved;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(Fnv1a(dir)));
  return text;
}

}  // namespace

std::string ScopeNames::RuntimeDirectory() {
  std::string dir = FromEnvironment("ORRENDEL_RUNTIME_DIR");
  if (dir.empty()) {
    std::string xdg = FromEnvironment("XDG_RUNTIME_DIR");
    struct stat st {};
    bool usable = !xdg.empty() && ::stat(xdg.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (usable) {
      dir = xdg + "/corvana";
    } else {
      dir = "/tmp/corvana-";
      dir += std::to_string(::getuid());
    }
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  MakeDirectories(dir);
  return dir;
}

std::string ScopeNames::PopulationPrefix() {
  std::string prefix = "corvana-gd-";
  prefix += ScopeHash();
  prefix += "-pop-";
  return prefix;
}

std::string ScopeNames::PopulationSegment(std::int32_t handle) {
  std::string name = "/";
  name += PopulationPrefix();
  name += std::to_string(handle);
  return name;
}

std::string ScopeNames::ChannelFile() {
  return RuntimeDirectory() + "/gdlib8-channels";
}

}  // namespace gdlib
