#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "suite/gdlib/gdlib8.h"

namespace gdlib {

// The trial log on disk: a header written once (the file appears only when it is complete), then
// fixed-size records appended whole. Every record ends with a checksum of its bytes, so a record
// that is not complete yet, or that is garbage, is never taken for data.
namespace TrialLogFormat {

inline constexpr char kMagic[8] = {'C', 'R', 'V', 'T', 'L', 'O', 'G', '1'};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint32_t kRecordMagic = 0x43455254;  // "TREC"
inline constexpr std::int32_t kMaxGenes = 1 << 20;
inline constexpr std::int32_t kMaxConstraints = 1 << 16;
inline constexpr std::uint32_t kMaxNameBytes = 4096;

struct FixedHeader {
  char Magic[8];
  std::uint32_t Version;
  std::uint32_t HeaderBytes;  // fixed part + constraint table
  std::int32_t NumChromosomes;
  std::int32_t NumGenes;
  std::int32_t NumConstraints;
  std::int32_t IsEfficientFrontier;
  std::uint32_t RecordBytes;
  std::uint32_t Checksum;  // of the whole header with this field 0
};
static_assert(sizeof(FixedHeader) == 40);

struct RecordHead {
  std::uint32_t Magic;
  std::int32_t Kind;
  std::int32_t ConstrainingValueIndex;
  std::int32_t TrialNumber;
  std::int32_t ElapsedSeconds;
  std::uint32_t Sequence;  // 1-based position in the file
  double ValueWithoutPenalties;
  double ValueWithPenalties;
  GdLogRecordInfo Info;
};
static_assert(sizeof(GdLogRecordInfo) == 64);
static_assert(sizeof(RecordHead) == 104);

struct ConstraintInfo {
  std::string Name;
  std::int32_t HardNotSoft = 0;
  std::int32_t HasValue = 0;
};

struct Header {
  std::int32_t NumChromosomes = 0;
  std::int32_t NumGenes = 0;
  std::int32_t NumConstraints = 0;
  std::int32_t IsEfficientFrontier = 0;
  std::uint32_t HeaderBytes = 0;
  std::uint32_t RecordBytes = 0;
  std::vector<ConstraintInfo> Constraints;
};

// Head, three constraint arrays, genes, checksum word (64-bit aligned).
std::uint32_t RecordBytes(std::int32_t numConstraints, std::int32_t numGenes);
std::uint64_t Checksum(std::span<const std::byte> bytes);

std::vector<std::byte> EncodeHeader(const Header& header);
// Decodes and validates a header from the first bytes of a file. `bytes` may hold more than the
// header. Throws GdError(GdErrLogCorrupt) for anything that is not a complete, valid header.
Header DecodeHeader(std::span<const std::byte> bytes);

}  // namespace TrialLogFormat
}  // namespace gdlib
