#include "suite/gdlib/TrialLogFormat.h"

#include <cstring>

#include "suite/gdlib/GdError.h"

namespace gdlib::TrialLogFormat {

std::uint32_t RecordBytes(std::int32_t numConstraints, std::int32_t numGenes) {
  return static_cast<std::uint32_t>(sizeof(RecordHead) + 8 * (3 * std::size_t(numConstraints) + numGenes) +
                                    8);
}

std::uint64_t Checksum(std::span<const std::byte> bytes) {
  // Word-wise multiply-xor: fast enough to check every record of a long log as it is indexed.
  std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ bytes.size();
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    hash = (hash ^ word) * 0xff51afd7ed558ccdull;
    hash ^= hash >> 32;
  }
  for (; i < bytes.size(); ++i) hash = (hash ^ std::to_integer<std::uint64_t>(bytes[i])) * 0x100000001b3ull;
  return hash ^ (hash >> 29);
}

namespace {

void Put(std::vector<std::byte>& out, const void* data, std::size_t size) {
  const auto* p = static_cast<const std::byte*>(data);
  out.insert(out.end(), p, p + size);
}

[[noreturn]] void Corrupt(const std::string& why) {
  Fail(GdErrLogCorrupt, "Not a valid trial log: " + why + ".");
}

}  // namespace

std::vector<std::byte> EncodeHeader(const Header& header) {
  std::vector<std::byte> out(sizeof(FixedHeader));
  for (const ConstraintInfo& c : header.Constraints) {
    std::uint32_t length = static_cast<std::uint32_t>(c.Name.size());
    Put(out, &c.HardNotSoft, 4);
    Put(out, &c.HasValue, 4);
    Put(out, &length, 4);
    Put(out, c.Name.data(), c.Name.size());
  }
  while (out.size() % 8) out.push_back(std::byte{0});
  FixedHeader fixed{};
  std::memcpy(fixed.Magic, kMagic, sizeof kMagic);
  fixed.Version = kVersion;
  fixed.HeaderBytes = static_cast<std::uint32_t>(out.size());
  fixed.NumChromosomes = header.NumChromosomes;
  fixed.NumGenes = header.NumGenes;
  fixed.NumConstraints = static_cast<std::int32_t>(header.Constraints.size());
  fixed.IsEfficientFrontier = header.IsEfficientFrontier;
  fixed.RecordBytes = RecordBytes(fixed.NumConstraints, fixed.NumGenes);
  std::memcpy(out.data(), &fixed, sizeof fixed);
  fixed.Checksum = static_cast<std::uint32_t>(Checksum(out));
  std::memcpy(out.data(), &fixed, sizeof fixed);
  return out;
}

Header DecodeHeader(std::span<const std::byte> bytes) {
  if (bytes.size() < sizeof(FixedHeader)) Corrupt("the file is shorter than a header");
  FixedHeader fixed;
  std::memcpy(&fixed, bytes.data(), sizeof fixed);
  if (std::memcmp(fixed.Magic, kMagic, sizeof kMagic) != 0) Corrupt("wrong file signature");
  if (fixed.Version != kVersion) Corrupt("unknown version " + std::to_string(fixed.Version));
  if (fixed.NumGenes < 0 || fixed.NumGenes > kMaxGenes || fixed.NumConstraints < 0 ||
      fixed.NumConstraints > kMaxConstraints || fixed.NumChromosomes < 0 || fixed.NumChromosomes > kMaxGenes)
    Corrupt("impossible counts");
  if (fixed.RecordBytes != RecordBytes(fixed.NumConstraints, fixed.NumGenes)) Corrupt("wrong record size");
  if (fixed.HeaderBytes < sizeof(FixedHeader) || fixed.HeaderBytes % 8 || fixed.HeaderBytes > bytes.size())
    Corrupt("wrong header size");
  std::vector<std::byte> copy(bytes.begin(), bytes.begin() + fixed.HeaderBytes);
  FixedHeader zeroed = fixed;
  zeroed.Checksum = 0;
  std::memcpy(copy.data(), &zeroed, sizeof zeroed);
  if (static_cast<std::uint32_t>(Checksum(copy)) != fixed.Checksum) Corrupt("header checksum mismatch");

  Header header;
  header.NumChromosomes = fixed.NumChromosomes;
  header.NumGenes = fixed.NumGenes;
  header.NumConstraints = fixed.NumConstraints;
  header.IsEfficientFrontier = fixed.IsEfficientFrontier;
  header.HeaderBytes = fixed.HeaderBytes;
  header.RecordBytes = fixed.RecordBytes;
  std::size_t pos = sizeof(FixedHeader);
  for (std::int32_t i = 0; i < fixed.NumConstraints; ++i) {
    if (pos + 12 > fixed.HeaderBytes) Corrupt("constraint table cut short");
    ConstraintInfo c;
    std::uint32_t length;
    std::memcpy(&c.HardNotSoft, copy.data() + pos, 4);
    std::memcpy(&c.HasValue, copy.data() + pos + 4, 4);
    std::memcpy(&length, copy.data() + pos + 8, 4);
    pos += 12;
    if (length > kMaxNameBytes || pos + length > fixed.HeaderBytes) Corrupt("constraint name cut short");
    c.Name.assign(reinterpret_cast<const char*>(copy.data() + pos), length);
    pos += length;
    header.Constraints.push_back(std::move(c));
  }
  return header;
}

}  // namespace gdlib::TrialLogFormat
