#include "suite/gdlib/TrialLogReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "suite/gdlib/GdError.h"

namespace gdlib {
namespace {

constexpr std::size_t kMaxHeaderBytes = 64u << 20;
constexpr std::size_t kChunkBytes = 4u << 20;  // indexing reads at most this much per pread
constexpr std::size_t kMaxOpenLogs = 64;

void ReadAt(int fd, std::byte* data, std::size_t size, off_t offset) {
  while (size > 0) {
    ssize_t n = ::pread(fd, data, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailErrno("Cannot read the log", errno);
    if (n == 0) Fail(GdErrLogCorrupt, "The log ended inside a record.");
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
}

// Why a record is not a record, or empty when it is one.
std::string CheckRecord(std::span<const std::byte> bytes, std::uint64_t position) {
  using namespace TrialLogFormat;
  RecordHead head;
  std::memcpy(&head, bytes.data(), sizeof head);
  std::uint64_t stored;
  std::memcpy(&stored, bytes.data() + bytes.size() - 8, 8);
  if (head.Magic != kRecordMagic) return "record " + std::to_string(position + 1) + " has no record mark";
  if (Checksum(bytes.first(bytes.size() - 8)) != stored)
    return "record " + std::to_string(position + 1) + " fails its checksum";
  if (head.Sequence != position + 1) return "record " + std::to_string(position + 1) + " is out of sequence";
  if ((head.Kind != GdLogKindTrial && head.Kind != GdLogKindProgressStep) || head.ConstrainingValueIndex < 1)
    return "record " + std::to_string(position + 1) + " has an unknown kind";
  return {};
}

}  // namespace

TrialLogReader::Index::~Index() {
  if (Fd >= 0) ::close(Fd);
}

TrialLogReader& TrialLogReader::Instance() {
  static auto* reader = new TrialLogReader;  // never destroyed: see Population's map
  return *reader;
}

std::shared_ptr<TrialLogReader::Index> TrialLogReader::Open(const std::string& path, bool checkPath) {
  if (path.empty()) Fail(GdErrLogNotFound, "The log path is empty.");
  if (!checkPath) {
    // A log path is never reused, so a record read may trust the file it already has open.
    std::lock_guard lock(m_Mutex);
    if (auto it = m_Indexes.find(path); it != m_Indexes.end()) return it->second;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) Fail(GdErrLogNotFound, "The log " + path + " does not exist.");
    FailErrno("Cannot read the log " + path, errno);
  }
  if (!S_ISREG(st.st_mode)) Fail(GdErrLogCorrupt, "The log " + path + " is not a file.");

  std::lock_guard lock(m_Mutex);
  if (auto it = m_Indexes.find(path); it != m_Indexes.end()) {
    if (it->second->Device == st.st_dev && it->second->Inode == st.st_ino) return it->second;
    m_Indexes.erase(it);  // another file under the same name: start over
  }
  auto index = std::make_shared<Index>();
  index->Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (index->Fd < 0) FailErrno("Cannot open the log " + path, errno);
  if (::fstat(index->Fd, &st) != 0) FailErrno("Cannot read the log " + path, errno);
  index->Device = st.st_dev;
  index->Inode = st.st_ino;

  const auto size = static_cast<std::size_t>(st.st_size);
  if (size < sizeof(TrialLogFormat::FixedHeader))
    Fail(GdErrLogCorrupt, "Not a valid trial log: " + path + " is shorter than a header.");
  TrialLogFormat::FixedHeader fixed;
  ReadAt(index->Fd, reinterpret_cast<std::byte*>(&fixed), sizeof fixed, 0);
  std::size_t headerBytes = std::min<std::size_t>({fixed.HeaderBytes, size, kMaxHeaderBytes});
  std::vector<std::byte> bytes(std::max(headerBytes, sizeof fixed));
  ReadAt(index->Fd, bytes.data(), bytes.size(), 0);
  index->Header = TrialLogFormat::DecodeHeader(bytes);

  if (m_Indexes.size() >= kMaxOpenLogs) m_Indexes.erase(m_Indexes.begin());
  m_Indexes[path] = index;
  return index;
}

void TrialLogReader::CatchUp(Index& index) {
  if (!index.Damage.empty()) Fail(GdErrLogCorrupt, "Damaged trial log: " + index.Damage + ".");
  struct stat st {};
  if (::fstat(index.Fd, &st) != 0) FailErrno("Cannot read the log", errno);
  const std::uint64_t recordBytes = index.Header.RecordBytes;
  const std::uint64_t headerBytes = index.Header.HeaderBytes;
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  if (size < headerBytes + index.IndexedRecords * recordBytes) {
    index.Damage = "the log became shorter";
    Fail(GdErrLogCorrupt, "Damaged trial log: " + index.Damage + ".");
  }
  const std::uint64_t complete = (size - headerBytes) / recordBytes;
  const std::uint64_t perChunk = std::max<std::uint64_t>(1, kChunkBytes / recordBytes);
  const bool series = index.Header.IsEfficientFrontier != 0;
  // A chunk lives only while it is indexed: an open log holds no more than one record's bytes.
  std::vector<std::byte> chunk;
  while (index.IndexedRecords < complete) {
    std::uint64_t first = index.IndexedRecords;
    std::uint64_t count = std::min(perChunk, complete - first);
    chunk.resize(count * recordBytes);
    ReadAt(index.Fd, chunk.data(), chunk.size(), static_cast<off_t>(headerBytes + first * recordBytes));
    for (std::uint64_t i = 0; i < count; ++i) {
      std::span<const std::byte> bytes(chunk.data() + i * recordBytes, recordBytes);
      std::uint64_t position = first + i;
      if (std::string why = CheckRecord(bytes, position); !why.empty()) {
        // The last record may still be on its way into the file; anything before it is damage.
        if (position + 1 == complete) return;
        index.Damage = why;
        Fail(GdErrLogCorrupt, "Damaged trial log: " + why + ".");
      }
      TrialLogFormat::RecordHead head;
      std::memcpy(&head, bytes.data(), sizeof head);
      const auto at = static_cast<std::uint32_t>(position);
      auto note = [&](Sequence& s) {
        if (head.Kind == GdLogKindTrial)
          ++s.Trials;
        else
          s.ProgressSteps.push_back(at);
      };
      note(index.Whole);
      if (series) note(index.ByConstrainingValue[head.ConstrainingValueIndex]);
      index.IndexedRecords = position + 1;
    }
  }
}

void TrialLogReader::GetCounts(const std::string& path, std::int32_t constrainingValueIndex, Counts& counts) {
  if (constrainingValueIndex < 0)
    Fail(GdErrInvalidArgument,
         "The constraining-value index " + std::to_string(constrainingValueIndex) + " is negative.");
  std::shared_ptr<Index> index = Open(path);
  std::lock_guard lock(index->Mutex);
  auto fill = [&] {
    const Sequence* s = &index->Whole;
    Sequence none;
    if (constrainingValueIndex > 0 && index->Header.IsEfficientFrontier) {
      auto it = index->ByConstrainingValue.find(constrainingValueIndex);
      s = it == index->ByConstrainingValue.end() ? &none : &it->second;
    }
    counts.Trials = static_cast<std::int32_t>(s->Trials);
    counts.ProgressSteps = static_cast<std::int32_t>(s->ProgressSteps.size());
  };
  try {
    CatchUp(*index);
  } catch (const GdError&) {
    fill();
    throw;
  }
  fill();
}

TrialLogFormat::Header TrialLogReader::GetHeader(const std::string& path) {
  std::shared_ptr<Index> index = Open(path);
  std::lock_guard lock(index->Mutex);
  return index->Header;
}

std::uint64_t TrialLogReader::TrialPosition(const Index& index, std::uint64_t trial) {
  // Before the j-th progress step (0-based) lie steps[j] - j trials; the trial sits after every
  // step with at most `trial` trials before it.
  const std::vector<std::uint32_t>& steps = index.Whole.ProgressSteps;
  std::size_t low = 0, high = steps.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (steps[middle] - middle <= trial)
      low = middle + 1;
    else
      high = middle;
  }
  return trial + low;
}

void TrialLogReader::ReadInto(Index& index, std::int32_t recordNumber, std::int32_t selector) {
  if (selector < 0)
    Fail(GdErrInvalidArgument, "Record selector " + std::to_string(selector) + " is negative.");
  // Selector 0 reads the log's trials; otherwise progress steps (of one constraining value in a series).
  auto steps = [&]() -> const std::vector<std::uint32_t>* {
    if (!index.Header.IsEfficientFrontier) return &index.Whole.ProgressSteps;
    auto it = index.ByConstrainingValue.find(selector);
    return it == index.ByConstrainingValue.end() ? nullptr : &it->second.ProgressSteps;
  };
  auto size = [&]() -> std::uint64_t {
    if (selector == 0) return index.Whole.Trials;
    const auto* s = steps();
    return s ? s->size() : 0;
  };
  auto known = [&] { return recordNumber >= 1 && static_cast<std::uint64_t>(recordNumber) <= size(); };
  if (!known()) {
    try {
      CatchUp(index);
    } catch (const GdError&) {
      if (!known()) throw;
    }
    if (!known())
      Fail(GdErrRecordOutOfRange,
           "Record " + std::to_string(recordNumber) + " is outside 1.." + std::to_string(size()) + ".");
  }
  const auto number = static_cast<std::uint64_t>(recordNumber - 1);
  const std::uint64_t position = selector == 0 ? TrialPosition(index, number) : (*steps())[number];
  const std::uint64_t recordBytes = index.Header.RecordBytes;
  index.Buffer.resize(recordBytes);
  ReadAt(index.Fd, index.Buffer.data(), recordBytes,
         static_cast<off_t>(index.Header.HeaderBytes + position * recordBytes));
  if (std::string why = CheckRecord(index.Buffer, position); !why.empty())
    Fail(GdErrLogCorrupt, "Damaged trial log: " + why + ".");
  TrialLogFormat::RecordHead head;
  std::memcpy(&head, index.Buffer.data(), sizeof head);
  if (selector == 0 && head.Kind != GdLogKindTrial)
    Fail(GdErrLogCorrupt, "Damaged trial log: record " + std::to_string(position + 1) + " is not a trial.");
}

void TrialLogReader::Clear() {
  std::lock_guard lock(m_Mutex);
  m_Indexes.clear();
}

}  // namespace gdlib
