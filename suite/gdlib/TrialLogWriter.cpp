#include "suite/gdlib/TrialLogWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "suite/gdlib/GdError.h"

namespace gdlib {
namespace {

std::mutex g_WritersMutex;
std::int32_t g_NextHandle = 1;
// Never destroyed: a host may still close its logs from its own static destructors.
std::map<std::int32_t, std::unique_ptr<TrialLogWriter>>& Writers() {
  static auto* writers = new std::map<std::int32_t, std::unique_ptr<TrialLogWriter>>;
  return *writers;
}

void WriteAll(int fd, const std::byte* data, std::size_t size, const std::string& what) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      // A file-size or quota limit is a full disk as far as the log is concerned.
      if (errno == ENOSPC || errno == EFBIG || errno == EDQUOT)
        Fail(GdErrNoSpace, "No space left for " + what + ".");
      FailErrno("Cannot write " + what, errno);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

}  // namespace

std::int32_t TrialLogWriter::Create(const std::string& path, const TrialLogFormat::Header& header) {
  std::vector<std::byte> bytes = TrialLogFormat::EncodeHeader(header);
  TrialLogFormat::Header decoded = TrialLogFormat::DecodeHeader(bytes);

  // Write the header under a private name and link it into place, so that a reader never sees a
  // log without its complete header and an existing log is never replaced.
  static std::atomic<int> counter{0};
  std::string temp = path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  // Trials show what the user works on: owner-only, whatever the umask.
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0 && ::fchmod(fd, 0600) != 0) {
    const int chmodErrno = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    FailErrno("Cannot create the log " + path, chmodErrno);
  }
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR)
      Fail(GdErrLogNotFound, "The folder of the log " + path + " does not exist.");
    FailErrno("Cannot create the log " + path, errno);
  }
  try {
    WriteAll(fd, bytes.data(), bytes.size(), "the log header");
  } catch (...) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  ::close(fd);
  int rc = ::link(temp.c_str(), path.c_str());
  int linkErrno = errno;
  ::unlink(temp.c_str());
  if (rc != 0) {
    struct stat info {};
    if (linkErrno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
      Fail(GdErrLogExists, "The log " + path + " is a folder.");
    if (linkErrno == EEXIST) Fail(GdErrLogExists, "The log " + path + " already exists.");
    FailErrno("Cannot create the log " + path, linkErrno);
  }
  fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) FailErrno("Cannot open the log " + path, errno);

  std::lock_guard lock(g_WritersMutex);
  std::int32_t handle = g_NextHandle++;
  Writers()[handle] = std::unique_ptr<TrialLogWriter>(new TrialLogWriter(fd, std::move(decoded)));
  return handle;
}

TrialLogWriter::~TrialLogWriter() {
  ::close(m_Fd);
}

void TrialLogWriter::Append(std::int32_t handle, std::int32_t constrainingValueIndex,
                            const GdLogRecord& record) {
  std::lock_guard lock(g_WritersMutex);
  auto it = Writers().find(handle);
  if (it == Writers().end()) Fail(GdErrUnknownHandle, "There is no open log " + std::to_string(handle) + ".");
  it->second->Write(constrainingValueIndex, record);
}

void TrialLogWriter::Write(std::int32_t constrainingValueIndex, const GdLogRecord& record) {
  using namespace TrialLogFormat;
  const std::int32_t nc = m_Header.NumConstraints;
  const std::int32_t ng = m_Header.NumGenes;
  if (record.Kind != GdLogKindTrial && record.Kind != GdLogKindProgressStep)
    Fail(GdErrInvalidArgument, "Record kind " + std::to_string(record.Kind) + " is neither 0 nor 1.");
  if (constrainingValueIndex < 1)
    Fail(GdErrInvalidArgument,
         "The constraining-value index starts at 1, not " + std::to_string(constrainingValueIndex) + ".");
  if (nc > 0 && (!record.ConstraintStatus || !record.ConstraintValues || !record.ConstraintPenalties))
    Fail(GdErrNullPointer, "The record's constraint arrays are missing.");
  if (ng > 0 && !record.GeneValues) Fail(GdErrNullPointer, "The record's gene values are missing.");

  m_Buffer.assign(m_Header.RecordBytes, std::byte{0});
  RecordHead head{};
  head.Magic = kRecordMagic;
  head.Kind = record.Kind;
  head.ConstrainingValueIndex = constrainingValueIndex;
  head.TrialNumber = record.TrialNumber;
  head.ElapsedSeconds = static_cast<std::int32_t>(record.Info.ElapsedSeconds);
  head.Sequence = m_Sequence + 1;
  head.ValueWithoutPenalties = record.ValueWithoutPenalties;
  head.ValueWithPenalties = record.ValueWithPenalties;
  head.Info = record.Info;
  head.Info.ConstrainingValueIndex = constrainingValueIndex;
  std::byte* p = m_Buffer.data();
  std::memcpy(p, &head, sizeof head);
  p += sizeof head;
  for (const double* array : {record.ConstraintStatus, record.ConstraintValues, record.ConstraintPenalties}) {
    if (nc > 0) std::memcpy(p, array, 8 * std::size_t(nc));
    p += 8 * std::size_t(nc);
  }
  if (ng > 0) std::memcpy(p, record.GeneValues, 8 * std::size_t(ng));
  std::span<const std::byte> body(m_Buffer.data(), m_Buffer.size() - 8);
  std::uint64_t checksum = Checksum(body);
  std::memcpy(m_Buffer.data() + body.size(), &checksum, 8);

  try {
    WriteAll(m_Fd, m_Buffer.data(), m_Buffer.size(), "a log record");
  } catch (...) {
    // A record that did not fit is taken back whole, so the next one starts on a boundary.
    off_t end =
        static_cast<off_t>(m_Header.HeaderBytes) + static_cast<off_t>(m_Sequence) * m_Header.RecordBytes;
    [[maybe_unused]] int rc = ::ftruncate(m_Fd, end);
    throw;
  }
  ++m_Sequence;
}

void TrialLogWriter::Close(std::int32_t handle) {
  std::lock_guard lock(g_WritersMutex);
  if (Writers().erase(handle) == 0)
    Fail(GdErrUnknownHandle, "There is no open log " + std::to_string(handle) + ".");
}

void TrialLogWriter::CloseAll() {
  std::lock_guard lock(g_WritersMutex);
  Writers().clear();
}

}  // namespace gdlib
