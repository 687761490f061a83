#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "common/Variant.h"

namespace corvana {

// Diagnostic logging state, one per process.
extern bool g_LoggingEnabled;
extern std::string g_LogFilePath;
extern std::uint32_t g_LastLogTick;  // tick of the previous line, or of the start of logging

// The diagnostic log "Corvana.log" in the suite's logging folder. Written only after
// StartLogging, which the start-up runs when a marker file is present.
namespace DebugLogFile {

inline constexpr const char* kMarkerFileName = "OrrendelLoggingDetail.txt";
inline constexpr const char* kMarkerFileNameDoubled = "OrrendelLoggingDetail.txt.txt";

// Milliseconds since an arbitrary start, wrapping at 32 bits. Tests install a manual clock; an
// empty function restores the monotonic clock.
using TickSource = std::function<std::uint32_t()>;
void SetTickSource(TickSource source);
std::uint32_t TickCount();

// True when either marker file is in the logging folder (false when the folder cannot be read).
bool LoggingRequested();
// Enables logging into the logging folder's "Corvana.log" and deletes the old log.
void StartLogging();
// Deletes the log file when logging is on; errors are ignored.
void DeleteLogFile();

// "WATCHER, <tick>  <ms since previous line> <text>" + CR LF, appended with the file opened and
// closed for the line. Nothing happens while logging is off. A file that cannot be written raises
// the file-access error 0x800A004B with the path and the reason. The lvalue form hands the built
// line back in `text`.
void WriteLine(std::string& text);
void WriteLine(const std::string& text);

// "Array <name>: " and the first min(size, maxCount) elements, each followed by two blanks.
void WriteArray(std::span<const double> values, const std::string& name, long maxCount);
void WriteArray(std::span<const Variant> values, const std::string& name, long maxCount);

// "<logging folder>/Corvana.log", or "<logging folder>/Corvana<suffix as trimmed text>.log".
std::string LogFilePath();
std::string LogFilePath(const Variant& suffix);

}  // namespace DebugLogFile
}  // namespace corvana
