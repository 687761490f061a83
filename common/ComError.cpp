#include "common/ComError.h"

#include <cstdio>

namespace corvana {

ComError::ComError(std::uint32_t code, std::string source, std::string description)
    : std::runtime_error(description),
      m_Code(code),
      m_Source(std::move(source)),
      m_Description(std::move(description)) {}

std::string ComError::CodeText(std::uint32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", code);
  return buffer;
}

void RaiseError(std::uint32_t code, const std::string& source, const std::string& description) {
  throw ComError(code, source, description);
}

}  // namespace corvana
