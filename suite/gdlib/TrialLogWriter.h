#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "suite/gdlib/TrialLogFormat.h"
#include "suite/gdlib/gdlib8.h"

namespace gdlib {

// Appends records to one trial log. The log file appears, complete with its header, in one step
// and is never overwritten; each record reaches the file in one write.
class TrialLogWriter {
 public:
  // Throws GdErrLogExists when the path is taken.
  static std::int32_t Create(const std::string& path, const TrialLogFormat::Header& header);
  static void Append(std::int32_t handle, std::int32_t constrainingValueIndex, const GdLogRecord& record);
  static void Close(std::int32_t handle);
  static void CloseAll();

  ~TrialLogWriter();

 private:
  TrialLogWriter(int fd, TrialLogFormat::Header header) : m_Fd(fd), m_Header(std::move(header)) {}
  void Write(std::int32_t constrainingValueIndex, const GdLogRecord& record);

  int m_Fd;
  TrialLogFormat::Header m_Header;
  std::uint32_t m_Sequence = 0;
  std::vector<std::byte> m_Buffer;
};

}  // namespace gdlib
