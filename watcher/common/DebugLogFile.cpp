#include "watcher/common/DebugLogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/ComError.h"
#include "suite/objectlib/NumericHelpers.h"
#include "suite/objectlib/SuiteFolders.h"

namespace corvana {

bool g_LoggingEnabled = false;
std::string g_LogFilePath;
std::uint32_t g_LastLogTick = 0;

namespace DebugLogFile {

namespace {

DebugLogFile::TickSource& Source() {
  static TickSource source;
  return source;
}

std::uint32_t MonotonicMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

template <class Element, class ToText>
void WriteElements(std::span<const Element> values, const std::string& name, long maxCount, ToText toText) {
  if (!g_LoggingEnabled) return;
  // The last index written is lower bound + min(upper - lower, maxCount - 1).
  const long upper = static_cast<long>(values.size()) - 1;
  const long count = std::min(upper, maxCount - 1);
  std::string line = "Array " + name + ": ";
  for (long i = 0; i <= count; ++i) line += toText(values[static_cast<std::size_t>(i)]) + "  ";
  WriteLine(line);
}

}  // namespace

void SetTickSource(TickSource source) {
  Source() = std::move(source);
}

std::uint32_t TickCount() {
  return Source() ? Source()() : MonotonicMilliseconds();
}

bool LoggingRequested() {
  const std::string folder = SuiteFolders::LoggingFolder();
  return FileExists(folder + "/" + kMarkerFileName) || FileExists(folder + "/" + kMarkerFileNameDoubled);
}

void StartLogging() {
  g_LoggingEnabled = true;
  g_LastLogTick = TickCount();
  g_LogFilePath = LogFilePath();
  DeleteLogFile();
}

void DeleteLogFile() {
  if (!g_LoggingEnabled) return;
  std::error_code ignored;
  std::filesystem::remove(g_LogFilePath, ignored);
}

void WriteLine(std::string& text) {
  if (!g_LoggingEnabled) return;
  const std::uint32_t t1 = TickCount();
  const std::uint32_t t2 = TickCount();
  // Unsigned subtraction keeps the difference right across the 32-bit wrap.
  const std::uint32_t sincePrevious = t2 - g_LastLogTick;
  text = "WATCHER, " + std::to_string(t1) + "  " + std::to_string(sincePrevious) + " " + text;
  g_LastLogTick = TickCount();

  // The log shows what the user works on: only its owner may read it, whatever the umask.
  const int fd = ::open(g_LogFilePath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  std::FILE* file = fd >= 0 && ::fchmod(fd, 0600) == 0 ? ::fdopen(fd, "ab") : nullptr;
  bool written = false;
  int error = errno;
  if (fd >= 0 && !file) ::close(fd);
  if (file) {
    written = std::fputs(text.c_str(), file) >= 0 && std::fputs("\r\n", file) >= 0;
    if (!written) error = errno;
    if (std::fclose(file) != 0 && written) {
      written = false;
      error = errno;
    }
  }
  if (!written)
    RaiseError(0x800A004B, "DebugLogFile.WriteLine",
               "Path/File access error: " + g_LogFilePath + " (" + std::strerror(error) + ").");
}

void WriteLine(const std::string& text) {
  if (!g_LoggingEnabled) return;
  std::string line = text;
  WriteLine(line);
}

void WriteArray(std::span<const double> values, const std::string& name, long maxCount) {
  WriteElements(values, name, maxCount, [](double v) { return DoubleToText(v); });
}

void WriteArray(std::span<const Variant> values, const std::string& name, long maxCount) {
  WriteElements(values, name, maxCount, [](const Variant& v) { return v.ToString(); });
}

std::string LogFilePath() {
  return SuiteFolders::LoggingFolder() + "/Corvana.log";
}

std::string LogFilePath(const Variant& suffix) {
  return SuiteFolders::LoggingFolder() + "/Corvana" + Trimmed(suffix.ToString()) + ".log";
}

}  // namespace DebugLogFile
}  // namespace corvana
